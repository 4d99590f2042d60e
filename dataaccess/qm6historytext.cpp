#include "qm6historytext.h"
#include "qm6texts.h"

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString other(const QM6HistoryEntry &e)
{
    return QM6Texts::tr("printer %1 \"%2\" (key %3)").arg(QString::number(e.otherId), e.otherName, e.otherKey);
}

} // namespace

QString QM6HistoryText::Changes(const QList<QM6HistoryChange> &changes, bool valuesOnly)
{
    QStringList parts;
    for (const QM6HistoryChange &c : changes)
        parts << (valuesOnly ? QStringLiteral("%1 %2").arg(c.field, quoted(c.newValue))
                             : QStringLiteral("%1 %2 -> %3").arg(c.field, quoted(c.oldValue), quoted(c.newValue)));
    return parts.join(QStringLiteral("; "));
}

QString QM6HistoryText::Line(const QM6HistoryEntry &e)
{
    QString what;
    switch (e.kind) {
    case QM6HistoryEntry::Added:
        what = QM6Texts::tr("added: %1").arg(Changes(e.changes, true));
        break;
    case QM6HistoryEntry::Saved:
        what = e.changes.isEmpty() ? QM6Texts::tr("saved, no field changed") : QM6Texts::tr("saved: %1").arg(Changes(e.changes));
        break;
    case QM6HistoryEntry::TotalsSaved:
        what = e.changes.isEmpty() ? QM6Texts::tr("page totals saved, unchanged")
                                   : QM6Texts::tr("page totals saved: %1").arg(Changes(e.changes));
        break;
    case QM6HistoryEntry::MergedInto:
        what = QM6Texts::tr("merged into %1 with its jobs and merged printers; its history ends here").arg(other(e));
        break;
    case QM6HistoryEntry::MergeReceived:
        what = QM6Texts::tr("%1 merged into this printer with its jobs and merged printers").arg(other(e));
        if (!e.changes.isEmpty())
            what += QStringLiteral(": ") + Changes(e.changes);
        break;
    case QM6HistoryEntry::AliasMovedOut:
        what = QM6Texts::tr("merged printer %1 moved with its jobs to %2").arg(quoted(e.aliasKey), other(e));
        break;
    case QM6HistoryEntry::AliasMovedIn:
        what = QM6Texts::tr("merged printer %1 moved here with its jobs from %2").arg(quoted(e.aliasKey), other(e));
        break;
    case QM6HistoryEntry::AliasRemoved:
        what = QM6Texts::tr("merged printer %1 removed; its jobs stay with this printer").arg(quoted(e.aliasKey));
        break;
    case QM6HistoryEntry::Deleted:
        what = QM6Texts::tr("deleted; its jobs stay recorded");
        break;
    default:
        what = QM6Texts::tr("a change of an unknown kind (%1)").arg(qint32(e.kind));
        break;
    }
    return QStringLiteral("%1  %2  %3").arg(e.changedOn.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.changedBy, what);
}
