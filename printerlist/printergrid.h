// The printer grid's shape and content: eight columns, printer rows as outline nodes with
// the printers merged into them as child rows, and 75 empty rows after the data.
#pragma once

#include "qm6recordset.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <vector>

class FlexGrid;

namespace printerlist {

// Column numbers of the grid.
enum PrinterColumn : int {
    ColPrinterId = 0,
    ColPrinterKey = 1,
    ColName = 2,
    ColPort = 3,
    ColHost = 4,
    ColProfile = 5,
    ColConnectionType = 6,
    ColAccount = 7,
    ColumnCount = 8
};

constexpr int FillerRows = 75;
constexpr quint32 ColorActiveCaption = 0x80000002u;   // alias merged by hand
constexpr quint32 ColorGrayText = 0x80000011u;        // alias merged any other way

// Columns, hidden identifier columns, header captions and the connection-type display list
// (built from lookup list 6, a list of {code, text} rows).
void PrepareGrid(FlexGrid &grid, const QVariant &connectionTypes);

// "#1;Network share|#2;Direct IP|..." from a lookup list; empty for a list that is not one.
QString BuildComboList(const QVariant &list);

// Lower-cased copies of each record's name, port and host, made once per recordset when the
// user first filters by text, so that later refills search contiguous memory.
class MatchIndex {
public:
    bool Built() const { return !m_offsets.empty(); }
    void Build(const QM6Recordset &rs, int fName, int fPort, int fHost);
    // 1 or 0; -1 when the record holds text outside ASCII and needs Qt's case folding.
    // One search runs over all records at once: `next` carries the next hit from record to
    // record (start it at -1 and visit records in ascending order).
    int Matches(qsizetype record, QByteArrayView lowerNeedle, qsizetype &next) const;
    qsizetype Bytes() const;

private:
    QByteArray m_text;                 // per record: name NUL port NUL host
    std::vector<quint32> m_offsets;    // records + 1
    std::vector<bool> m_nonAscii;
};

struct FillFilter {
    qint32 connectionType = -1;   // -1: every type
    QString matchText;            // trimmed by the fill; empty: no match filter
};

// Rebuilds every row from the recordset (which may be null) and returns the number of data
// rows (printer rows and alias rows). Leaves the header row current; does not size columns,
// add the filler rows or collapse: the page does those steps in its own order.
// The index, when given, is built on first use and reused while the recordset lives.
qint32 FillRows(FlexGrid &grid, QM6Recordset *recordset, const FillFilter &filter, MatchIndex *index = nullptr);

// Case-insensitive substring test, as the filter applies it to name, port and host.
bool ContainsIgnoringCase(QUtf8StringView haystack, QUtf8StringView needle, const QString &needleText);

// Column widths for a grid Width twips wide holding printerCount data rows.
void SizeColumns(FlexGrid &grid, qint32 printerCount, qint32 widthTwips);

// Rounds halves to even, as the width arithmetic does.
qint32 RoundHalfEven(double value);

} // namespace printerlist
