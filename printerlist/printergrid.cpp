#include "printergrid.h"

#include "flexgrid.h"
#include "modlanguage.h"

#include <cmath>

namespace printerlist {

namespace {

// Language strings of the column headers.
constexpr int StrName = 213, StrProfile = 214, StrPort = 215, StrHost = 216, StrType = 217, StrAccount = 218;

// Column 2's alignment setting and the grid's outline-bar setting as the page applies them:
// left-aligned names, printer nodes drawn with a button that unfolds their aliases.
constexpr int NameColumnAlignment = 0;
constexpr int OutlineBarWithButtons = 2;

} // namespace

QString BuildComboList(const QVariant &list)
{
    if (list.typeId() != QMetaType::QVariantList)
        return QString();
    QString out;
    for (const QVariant &row : list.toList()) {
        const QVariantList entry = row.toList();
        out += QLatin1Char('#') + entry.value(0).toString() + QLatin1Char(';') + entry.value(1).toString() + QLatin1Char('|');
    }
    out.chop(1);
    return out;
}

void PrepareGrid(FlexGrid &grid, const QVariant &connectionTypes)
{
    grid.SetRedraw(false);
    grid.SetCols(ColumnCount);
    grid.SetColHidden(ColPrinterId, true);
    grid.SetColHidden(ColPrinterKey, true);
    grid.SetTextMatrix(0, ColName, modLanguage::GetLangString(StrName));
    grid.SetColAlignment(ColName, NameColumnAlignment);
    grid.SetTextMatrix(0, ColProfile, modLanguage::GetLangString(StrProfile));
    grid.SetTextMatrix(0, ColPort, modLanguage::GetLangString(StrPort));
    grid.SetTextMatrix(0, ColHost, modLanguage::GetLangString(StrHost));
    grid.SetTextMatrix(0, ColConnectionType, modLanguage::GetLangString(StrType));
    grid.SetOutlineBar(OutlineBarWithButtons);
    grid.SetColComboList(ColConnectionType, BuildComboList(connectionTypes));
    grid.SetTextMatrix(0, ColAccount, modLanguage::GetLangString(StrAccount));
    grid.SetRedraw(true);
}

qint32 FillRows(FlexGrid &grid, const std::shared_ptr<PrinterRows> &rows, const FillFilter &filter)
{
    grid.SetRows(1);
    if (!rows || rows->RecordCount() == 0)
        return 0;
    const qsizetype shown = rows->Select(filter, [&](std::span<const FlexGridSourceRow> found) { grid.AddSourceRows(rows, found); });
    rows->Recordset()->Move(rows->RecordCount());
    return qint32(shown);
}

qint32 RoundHalfEven(double value)
{
    return static_cast<qint32>(std::nearbyint(value));   // the default rounding mode is to nearest, ties to even
}

void SizeColumns(FlexGrid &grid, qint32 printerCount, qint32 widthTwips)
{
    const double room = double(widthTwips) - 400.0;
    if (printerCount == 0) {
        const qint32 w = RoundHalfEven(room / 6.0);
        if (w < 0)
            return;   // a width the grid refuses; the layout goes on without it
        for (int c : {ColProfile, ColPort, ColHost, ColConnectionType, ColName, ColAccount})
            grid.SetColWidth(c, w);
        return;
    }
    grid.AutoSize(ColName, ColAccount);
    qint32 used = 0;
    for (int c = ColPort; c <= ColAccount; ++c)
        if (!grid.ColHidden(c))
            used += grid.ColWidth(c);
    const qint32 w = RoundHalfEven(room - used);
    if (w > grid.ColWidth(ColName))
        grid.SetColWidth(ColName, w);
}

} // namespace printerlist
