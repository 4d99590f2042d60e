// Export List: the rows the printer grid shows, as a CSV file for a spreadsheet or a report.
// The rows are read from the grid at once (nothing else runs meanwhile) and written from that
// copy, so that the message loop the progress window runs cannot change what is written.
#pragma once

#include "progress.h"
#include "qm6error.h"

#include <QList>
#include <QString>
#include <QStringList>

class FlexGrid;

namespace printerlist {

// Rows written per progress step.
constexpr qint32 ExportChunk = 1000;

struct ExportTable {
    QStringList header;
    QList<QStringList> rows;
};

// The grid's data rows 1 to lastRow in the order shown, folded merged printers included: the
// visible columns as the grid shows them (a code column by its display text), then the
// printer's key, then for a merged printer the key of the printer it is merged into.
ExportTable SnapshotRows(const FlexGrid &grid, qint32 lastRow, const QString &keyCaption, const QString &mergedIntoCaption);

// Writes the table as RFC 4180 CSV in UTF-8 (with a byte order mark, which spreadsheets need
// to read UTF-8), header first, texts that a spreadsheet would run as a formula behind an
// apostrophe. The file is written whole or not at all. progress, when given, takes one step
// per ExportChunk rows; a cancel leaves no file and sets cancelled.
QM6ErrorPtr WriteCsv(const ExportTable &table, const QString &path, IProgress *progress, bool *cancelled);

} // namespace printerlist
