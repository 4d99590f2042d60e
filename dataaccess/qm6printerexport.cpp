#include "qm6printerexport.h"
#include "qm6connectionprivate.h"
#include "qm6csv.h"
#include "qm6printerfields.h"
#include "qm6printerrecord.h"
#include "qm6printerstore.h"
#include "qm6texts.h"

#include <QSaveFile>

QStringList QM6PrinterExport::Header()
{
    QStringList header{QStringLiteral("key")};
    for (int id = 0; id < QM6PrinterFields::Count; ++id)
        header << QLatin1String(QM6PrinterFields::Info(id).name);
    return header;
}

QStringList QM6PrinterExport::Fields(const QM6PrinterRecord &p)
{
    QStringList fields{p.m_printerKey};
    for (int id = 0; id < QM6PrinterFields::Count; ++id)
        fields << QM6PrinterFields::Get(p, id);
    return fields;
}

QM6ErrorPtr QM6PrinterExport::ForEachPrinter(QM6Connection *connection, const std::function<void(const QM6PrinterRecord &)> &each)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    const QString what = QM6Texts::tr("Reading every printer");
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT printer_id, ") + QM6PrinterStore::Columns() +
                                          QStringLiteral(" FROM printers WHERE deleted = 0 ORDER BY printer_id"), what))
        return e;
    q.setForwardOnly(true);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    QM6PrinterRecord p;
    while (q.next()) {
        p.m_printerId = q.value(0).toInt();
        QM6PrinterStore::ReadRow(q, 1, &p);
        each(p);
    }
    return {};
}

QM6ErrorPtr QM6PrinterExport::Write(QM6Connection *connection, const QString &path, qint64 *count)
{
    *count = 0;
    // Written beside the target and put in its place at the end: a failure leaves no half file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return MakeQM6Error(QM6Texts::tr("%1 cannot be written: %2.").arg(path, file.errorString()), QM6Error::ErrInvalid);
    QByteArray buffer = QM6Csv::Record(Header());
    bool written = true;
    QM6ErrorPtr e = ForEachPrinter(connection, [&](const QM6PrinterRecord &p) {
        buffer += QM6Csv::Record(Fields(p));
        ++*count;
        if (buffer.size() > (1 << 20)) {
            written = written && file.write(buffer) == buffer.size();
            buffer.clear();
        }
    });
    if (e)
        return e;
    written = written && file.write(buffer) == buffer.size();
    if (!written || !file.commit())
        return MakeQM6Error(QM6Texts::tr("%1 cannot be written: %2. Nothing was written.").arg(path, file.errorString()),
                            QM6Error::ErrInvalid);
    return {};
}
