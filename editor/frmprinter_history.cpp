// frmPrinter: the printer's change history on the Last Modified tab, newest first, in the
// user's language. Values are shown as the form shows them: a track profile, connection type
// or device type by its name in the form's lists, a flag as Yes or No. The list is designed to
// show eight entries and grows with the font like every control of the form.
#include "frmprinter.h"
#include "ui_frmprinter.h"

#include "modlanguage.h"
#include "qm6history.h"

#include <QHeaderView>
#include <QLocale>
#include <QTreeWidget>

using modLanguage::GetLangString;

namespace {

enum : qint32 {
    StrColumnWhen = 1500, StrColumnWho = 1501, StrColumnWhat = 1502, StrAdded = 1503, StrSaved = 1504,
    StrSavedNothing = 1505, StrTotals = 1506, StrMergedInto = 1507, StrMergeReceived = 1508, StrAliasMovedOut = 1509,
    StrAliasMovedIn = 1510, StrAliasRemoved = 1511, StrDeleted = 1512, StrFieldChange = 1513, StrFieldValue = 1514,
    StrOtherPrinter = 1515, StrUnknownKind = 1516, StrYes = 1517, StrNo = 1518, StrCaption = 1519, StrReadFailed = 1520,
};

// The fields as the history names them, with the texts the list shows for them.
const struct {
    const char *field;
    qint32 stringId;
} FieldNames[] = {
    {"name", 1530},          {"profile_id", 1531},          {"account_no", 1532}, {"connection_type", 1533},
    {"host", 1534},          {"port", 1535},                {"device", 1536},     {"device_type", 1537},
    {"model", 1538},         {"serial_no", 1539},           {"location", 1540},   {"is_color", 1541},
    {"is_duplex", 1542},     {"pop_early", 1543},           {"disable_color_mode", 1544},
    {"bw_total", 1545},      {"color_total", 1546},         {"auto_merge", 1547}, {"am_connection_types", 1548},
    {"am_device", 1549},     {"am_host", 1550},             {"am_port", 1551},    {"am_model", 1552},
};

QString fieldName(const QString &field)
{
    for (const auto &f : FieldNames)
        if (field == QLatin1String(f.field))
            return GetLangString(f.stringId);
    return field;
}

// The text of the entry of a list whose item data is code; the code itself when none has it.
QString listText(const QComboBox *combo, const QString &code)
{
    bool ok = false;
    const int index = combo->findData(code.toInt(&ok));
    return ok && index >= 0 ? combo->itemText(index) : code;
}

} // namespace

QString frmPrinter::HistoryValue(const QString &field, const QString &value) const
{
    if (field == QLatin1String("profile_id"))
        return listText(ui->cmbProfile, value);
    if (field == QLatin1String("connection_type"))
        return listText(ui->cmbConnection, value);
    if (field == QLatin1String("device_type"))
        return listText(ui->cmbDeviceType, value);
    if (field == QLatin1String("am_connection_types")) {
        QStringList names;
        for (const QString &code : value.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            names << listText(ui->cmbConnection, code);
        return names.join(QStringLiteral(", "));
    }
    if (field.startsWith(QLatin1String("is_")) || field == QLatin1String("pop_early") ||
        field == QLatin1String("disable_color_mode") || field == QLatin1String("auto_merge"))
        return GetLangString(value == QLatin1String("1") ? StrYes : StrNo);
    return value;
}

QString frmPrinter::HistoryText(const QM6HistoryEntry &entry, bool oneLine) const
{
    QStringList changes;
    for (const QM6HistoryChange &c : entry.changes)
        changes << (entry.kind == QM6HistoryEntry::Added
                        ? GetLangString(StrFieldValue, fieldName(c.field), HistoryValue(c.field, c.newValue))
                        : GetLangString(StrFieldChange, fieldName(c.field), HistoryValue(c.field, c.oldValue),
                                        HistoryValue(c.field, c.newValue)));
    const QString list = changes.join(oneLine ? QStringLiteral("; ") : QStringLiteral("\n"));
    const QString other = GetLangString(StrOtherPrinter, entry.otherName, entry.otherKey);
    switch (entry.kind) {
    case QM6HistoryEntry::Added:
        return GetLangString(StrAdded, list);
    case QM6HistoryEntry::Saved:
        return changes.isEmpty() ? GetLangString(StrSavedNothing) : GetLangString(StrSaved, list);
    case QM6HistoryEntry::TotalsSaved:
        return GetLangString(StrTotals, list);
    case QM6HistoryEntry::MergedInto:
        return GetLangString(StrMergedInto, other);
    case QM6HistoryEntry::MergeReceived: {
        const QString merged = GetLangString(StrMergeReceived, other);
        return changes.isEmpty() ? merged : merged + (oneLine ? QStringLiteral("; ") : QStringLiteral("\n")) + GetLangString(StrTotals, list);
    }
    case QM6HistoryEntry::AliasMovedOut:
        return GetLangString(StrAliasMovedOut, entry.aliasKey, other);
    case QM6HistoryEntry::AliasMovedIn:
        return GetLangString(StrAliasMovedIn, entry.aliasKey, other);
    case QM6HistoryEntry::AliasRemoved:
        return GetLangString(StrAliasRemoved, entry.aliasKey);
    case QM6HistoryEntry::Deleted:
        return GetLangString(StrDeleted);
    }
    return GetLangString(StrUnknownKind, qint32(entry.kind));
}

void frmPrinter::SetHistoryCaptions()
{
    ui->lblHistory->setText(GetLangString(StrCaption));
    ui->lstHistory->setHeaderLabels({GetLangString(StrColumnWhen), GetLangString(StrColumnWho), GetLangString(StrColumnWhat)});
    QHeaderView *header = ui->lstHistory->header();
    header->setStretchLastSection(true);
    header->setSectionsMovable(false);
}

void frmPrinter::ShowHistory()
{
    QTreeWidget *list = ui->lstHistory;
    list->clear();
    if (minsPrinter->PrinterId() < 0)
        return;   // a new printer has none yet
    QList<QM6HistoryEntry> entries;
    if (const QM6ErrorPtr error = QM6History::Read(minsConnection, minsPrinter->PrinterId(), QDateTime(), &entries)) {
        list->addTopLevelItem(new QTreeWidgetItem({QString(), QString(), GetLangString(StrReadFailed, error->Description())}));
        return;
    }
    QList<QTreeWidgetItem *> rows;
    rows.reserve(entries.size());
    for (const QM6HistoryEntry &entry : entries) {
        auto *row = new QTreeWidgetItem({QLocale().toString(entry.changedOn.toLocalTime(), QStringLiteral("MMM dd, yyyy HH:mm:ss")),
                                         entry.changedBy, HistoryText(entry, true)});
        row->setToolTip(2, HistoryText(entry, false));
        rows << row;
    }
    list->addTopLevelItems(rows);
    // The time and the user whole; the change takes the rest of the row.
    list->resizeColumnToContents(0);
    list->resizeColumnToContents(1);
}
