#include "printerdata.h"
#include "qm6connectionprivate.h"
#include "qm6texts.h"
#include "qm6printerlist.h"
#include "qm6rowreader.h"

PrinterData &PrinterData::Instance()
{
    thread_local PrinterData instance;
    return instance;
}

QM6ErrorPtr PrinterData::GetPrinters(const QM6ConnectionPtr &connection, QM6RecordsetPtr *recordset, bool)
{
    if (recordset)
        recordset->reset();
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    QM6RecordsetPtr rs = QM6PrinterList::NewRecordset();
    if (QM6ErrorPtr e = QM6PrinterList::Read(d, rs.get()))
        return e;
    rs->EndFill();
    if (recordset)
        *recordset = std::move(rs);
    return {};
}

QM6ErrorPtr PrinterData::GetPrintProfiles(const QM6ConnectionPtr &connection, QM6RecordsetPtr *recordset)
{
    using FT = QM6Recordset::FieldType;
    if (recordset)
        recordset->reset();
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    if (QM6ErrorPtr e = d->Ensure())
        return e;
    auto rs = std::make_shared<QM6Recordset>(QStringList{"PrintProfileId", "Name"}, QList<FT>{FT::Integer, FT::Text});
    std::unique_ptr<QM6RowReader> reader = QM6RowReader::For(d, QM6Texts::tr("Reading the track profiles"));
    if (QM6ErrorPtr e = QM6RowReader::Fill(*reader, "SELECT profile_id, name FROM track_profiles ORDER BY name, profile_id", rs.get()))
        return e;
    rs->EndFill();
    if (recordset)
        *recordset = std::move(rs);
    return {};
}
