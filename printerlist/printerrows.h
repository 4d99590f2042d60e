// The printer list's rows as the grid reads them: positions into the printer recordset, the
// filter that picks them, and the cells the grid asks for, read from the recordset as needed.
#pragma once

#include "flexgridrowsource.h"
#include "matchindex.h"
#include "qm6recordset.h"

#include <QString>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace printerlist {

struct FillFilter {
    qint32 connectionType = -1;   // -1: every type
    QString matchText;            // trimmed by the fill; empty: no match filter
};

// A record of the recordset gives up to two rows: its printer's row (from its own fields) and,
// when it carries a merged printer, that printer's row under it. A position is the record number
// times two, plus one for the merged printer's row.
//
// The grid keeps the object (and so the recordset) alive while it shows rows from it; a new
// recordset gets a new object. Nothing here changes the recordset.
class PrinterRows final : public FlexGridRowSource {
public:
    explicit PrinterRows(QM6RecordsetPtr recordset);
    ~PrinterRows() override;

    QM6Recordset *Recordset() const { return m_rs.get(); }
    qsizetype RecordCount() const { return m_rs ? m_rs->RecordCount() : 0; }

    // The rows the filter shows, in recordset order: a record's printer row unless the shown
    // record before it was of the same printer, then its merged printer's row if it has one.
    // They are handed to `take` a few thousand at a time, as they are found (so that they are
    // still in the processor's cache when the grid copies them); returns how many there were.
    qsizetype Select(const FillFilter &filter, const std::function<void(std::span<const FlexGridSourceRow>)> &take);

    // Stops making what column fits need (the list is about to be read again); made again if
    // these rows are still shown when it is next needed.
    void StopMaking();

    // The match test behind Select, kept with the recordset it indexes.
    MatchIndex &Matches() { return m_index; }
    // Memory held beside the recordset: the match index and what column fitting keeps.
    qsizetype Bytes() const;

    static quint32 PrinterPosition(qsizetype record) { return quint32(record) << 1; }
    static quint32 MergedPosition(qsizetype record) { return (quint32(record) << 1) | 1u; }

    QString Text(quint32 position, int col) const override;
    quint32 ForeColor(quint32 position) const override;
    std::vector<QList<QString>> LongestTexts(std::span<const int> cols, std::span<const quint32> positions,
                                             int count) const override;

private:
    // Where a column's text comes from on one kind of row.
    struct CellSource {
        enum Kind : quint8 { Empty, Text, Number, Indented } kind = Empty;
        int field = -1;
    };
    // What a fit over many rows needs to know of a column, made once per recordset so that it
    // looks at a few cells instead of every row shown. A column with a few distinct texts keeps
    // them and which one each row has; any other keeps its longest cells over every row.
    struct ColumnTop {
        std::vector<std::string> values;  // the distinct non-empty texts, when few
        std::vector<quint8> valueOf;      // per position (per record when merged rows have no such
                                          // cell): index into values, NoValue when empty
        bool byRecord = false;
        std::vector<quint8> lengthOf;     // when many: per position, the cell's UTF-8 length (255: that
                                          // long or longer)
        std::vector<quint32> positions;   // the longest cells, longest first
        size_t lastLength = 0;            // bytes of the last one kept
        bool complete = false;            // every non-empty cell is kept
    };
    static constexpr int DistinctCap = 64;
    static constexpr quint8 NoValue = 0xFF;
    // A merged printer's name is indented under its printer's.
    static constexpr char AliasIndent[] = "     ";
    static constexpr qsizetype AliasIndentLength = sizeof AliasIndent - 1;

    CellSource cellSource(int col, bool merged) const;
    QUtf8StringView text(int field, qsizetype record) const;
    qint64 integer(int field, qsizetype record) const;
    size_t cellLength(const CellSource &source, qsizetype record) const;
    QByteArrayView cellBytes(const CellSource &source, qsizetype record, std::string &scratch) const;
    std::vector<QList<QString>> longestIn(std::span<const int> cols, std::span<const quint32> positions, int count) const;
    void buildTop(int col, ColumnTop &top) const;
    using Tops = std::vector<std::unique_ptr<ColumnTop>>;
    void startTops(std::span<const int> cols) const;
    void takeTops() const;
    QList<QString> fromValues(const ColumnTop &top, std::span<const quint32> positions, int count) const;
    enum class FitFrom { Settled, RanOut, OutOfLookups };
    template <typename Shown>
    FitFrom fromTop(int col, const ColumnTop &top, int count, const Shown &shown, size_t lookups, QList<QString> &texts) const;
    QList<QString> fromLengths(int col, const ColumnTop &top, std::span<const quint32> positions, int count) const;
    std::vector<QList<QString>> readAll(std::span<const int> cols, std::span<const quint32> positions, int count) const;

    QM6RecordsetPtr m_rs;
    int m_fId, m_fKey, m_fName, m_fPort, m_fHost, m_fProfile, m_fType, m_fAccount;
    int m_fAliasKey, m_fAliasDevice, m_fAliasPort, m_fAliasHost, m_fAliasMerge;
    MatchIndex m_index;
    std::vector<FlexGridSourceRow> m_chunk;   // rows found and not yet taken
    // Per record, the rows it gives when nothing is filtered (ShapePrinter, ShapeMerged): made at
    // the first such Select, so that the next ones need not read identifiers again.
    std::vector<quint8> m_shapes;
    static constexpr quint8 ShapePrinter = 1, ShapeMerged = 2;
    mutable Tops m_tops;   // per column, once made
    // The tops are made on a thread of their own after the first fit of a long list (which reads
    // the shown cells instead), so that a load does not wait for them; the next fit takes them.
    mutable std::future<Tops> m_making;
    mutable std::atomic<bool> m_stop{false};
};

} // namespace printerlist
