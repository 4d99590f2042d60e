#include "listexport.h"

#include "flexgrid.h"
#include "printergrid.h"
#include "qm6csv.h"

#include <QHash>
#include <QSaveFile>

namespace printerlist {

namespace {

// "#1;Network share|#2;Direct IP" as code -> text.
QHash<QString, QString> comboTexts(const QString &list)
{
    QHash<QString, QString> texts;
    for (const QString &entry : list.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const qsizetype semicolon = entry.indexOf(QLatin1Char(';'));
        if (entry.startsWith(QLatin1Char('#')) && semicolon > 0)
            texts.insert(entry.mid(1, semicolon - 1), entry.mid(semicolon + 1));
    }
    return texts;
}

} // namespace

ExportTable SnapshotRows(const FlexGrid &grid, qint32 lastRow, const QString &keyCaption, const QString &mergedIntoCaption)
{
    ExportTable table;
    QList<int> columns;
    QHash<int, QHash<QString, QString>> displayed;
    for (int c = 0; c < grid.Cols(); ++c) {
        if (grid.ColHidden(c))
            continue;
        columns << c;
        table.header << grid.TextMatrix(0, c);
        if (const QString list = grid.ColComboList(c); !list.isEmpty())
            displayed.insert(c, comboTexts(list));
    }
    table.header << keyCaption << mergedIntoCaption;
    table.rows.reserve(lastRow);
    QString printerKey;   // of the last printer row: the one the merged rows below it belong to
    for (int r = 1; r <= lastRow && r < grid.Rows(); ++r) {
        const bool merged = grid.RowOutlineLevel(r) > 0;
        QStringList row;
        row.reserve(columns.size() + 2);
        for (const int c : columns) {
            QString text = grid.TextMatrix(r, c);
            // A merged printer's name is indented in the grid; the file marks it by a column.
            if (merged && c == ColName) {
                qsizetype indent = 0;
                while (indent < text.size() && text.at(indent) == QLatin1Char(' '))
                    ++indent;
                text.remove(0, indent);
            }
            const auto list = displayed.constFind(c);
            row << (list == displayed.constEnd() ? text : list->value(text, text));
        }
        const QString key = grid.TextMatrix(r, ColPrinterKey);
        if (!merged)
            printerKey = key;
        row << key << (merged ? printerKey : QString());
        table.rows << row;
    }
    return table;
}

QM6ErrorPtr WriteCsv(const ExportTable &table, const QString &path, IProgress *progress, bool *cancelled)
{
    *cancelled = false;
    QSaveFile file(path);
    auto failed = [&] { return MakeQM6Error(QStringLiteral("%1: %2").arg(path, file.errorString()), QM6Error::ErrInvalid); };
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    QByteArray chunk = QByteArrayLiteral("\xEF\xBB\xBF") + QM6Csv::Record(table.header, true);
    for (qsizetype i = 0; i < table.rows.size(); ++i) {
        chunk += QM6Csv::Record(table.rows[i], true);
        if ((i + 1) % ExportChunk != 0 && i + 1 < table.rows.size())
            continue;
        if (file.write(chunk) != chunk.size())
            return failed();
        chunk.clear();
        if (progress) {
            progress->Increment();
            if (progress->Cancelled()) {
                file.cancelWriting();
                *cancelled = true;
                return {};
            }
        }
    }
    if (!chunk.isEmpty() && file.write(chunk) != chunk.size())
        return failed();
    if (!file.commit())
        return failed();
    return {};
}

} // namespace printerlist
