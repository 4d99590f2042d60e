#include "qm6printerlist.h"
#include "qm6connectionprivate.h"
#include "qm6texts.h"
#include "qm6rowreader.h"

#include <QHash>
#include <algorithm>
#include <cstring>

const char QM6PrinterList::PgBeginSql[] = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
const char QM6PrinterList::PgSettingsSql[] = "SET LOCAL jit = off";
const char QM6PrinterList::ProfilesSql[] = "SELECT profile_id, name FROM track_profiles";
// Both lists come in the order of an index (printers_list, merged_printers_owner) that
// also holds every column read, so neither database sorts or visits table rows.
const char QM6PrinterList::AliasesSql[] =
    "SELECT owner_id, alias_key, device_name, port, host, merge_type FROM merged_printers ORDER BY owner_id, alias_key";
const char QM6PrinterList::PrintersSql[] =
    "SELECT printer_id, printer_key, name, port, host, profile_id, connection_type, account_no"
    " FROM printers WHERE deleted = 0 ORDER BY name, printer_id";

namespace {

using FT = QM6Recordset::FieldType;

// Fields of the list, in the recordset's order.
enum Field { FId, FKey, FName, FPort, FHost, FProfile, FType, FAccount, FAliasKey, FAliasDevice, FAliasPort, FAliasHost, FAliasMerge,
             FieldCount };
// Columns of the statements.
enum PrinterColumn { PId, PKey, PName, PPort, PHost, PProfileId, PType, PAccount, PrinterColumns };
enum AliasColumn { AOwner, AKey, ADevice, APort, AHost, AMerge, AliasColumns };
constexpr int AliasTexts = 4;

QM6Cell textCell(const char *data, qsizetype size)
{
    QM6Cell c;
    c.text = data;
    c.size = size;
    c.null = false;
    return c;
}

// The merged printers, read in owner order, each owner's together in one block of bytes
// that starts with their number. The merge looks them up in printer order, that is at
// random: a printer's merged printers then cost one look at a bit (in a table small
// enough for the cache) and one at their block, instead of one per field.
class AliasStore {
public:
    explicit AliasStore(qsizetype expectedBytes) { m_data.reserve(size_t(expectedBytes)); }

    // One row of AliasesSql; rows come by owner.
    void Add(const QM6Cell *c)
    {
        const qint64 owner = c[AOwner].number;
        if (m_owners.empty() || owner != m_owners.back()) {
            m_owners.push_back(owner);
            m_blocks.push_back(quint32(m_data.size()));
            const quint32 none = 0;
            m_data.append(reinterpret_cast<const char *>(&none), sizeof none);
        }
        Header h{};
        size_t bytes = 0;
        for (int i = 0; i < AliasTexts; ++i) {
            const QM6Cell &t = c[AKey + i];
            h.size[i] = t.null ? Null : quint32(t.size);
            bytes += t.null ? 0 : size_t(t.size);
        }
        h.merge = c[AMerge].number;
        h.mergeNull = c[AMerge].null;
        const size_t at = m_data.size();
        m_data.resize(at + sizeof h + bytes);
        char *p = m_data.data() + at;
        std::memcpy(p, &h, sizeof h);
        p += sizeof h;
        for (int i = 0; i < AliasTexts; ++i)
            if (!c[AKey + i].null && c[AKey + i].size) {
                std::memcpy(p, c[AKey + i].text, size_t(c[AKey + i].size));
                p += c[AKey + i].size;
            }
        quint32 count;
        std::memcpy(&count, m_data.data() + m_blocks.back(), sizeof count);
        ++count;
        std::memcpy(m_data.data() + m_blocks.back(), &count, sizeof count);
    }

    // Done adding: builds the lookup by owner.
    void Finish()
    {
        if (m_owners.empty())
            return;
        m_min = m_owners.front();
        // Identifiers are handed out in sequence: tables by identifier are small and need
        // no search. Far-apart identifiers are searched for instead.
        const quint64 span = quint64(m_owners.back() - m_min) + 1;
        if (span > quint64(m_owners.size()) * 4 + 65536)
            return;
        m_has.assign(size_t(span + 63) / 64, 0);
        m_byId.assign(size_t(span), 0);
        for (size_t i = 0; i < m_owners.size(); ++i) {
            const size_t k = size_t(m_owners[i] - m_min);
            m_has[k >> 6] |= quint64(1) << (k & 63);
            m_byId[k] = m_blocks[i];
        }
    }

    qsizetype Bytes() const { return qsizetype(m_data.size()); }

    // The first of owner's merged printers and their number (0 when it has none).
    const char *Find(qint64 owner, quint32 *count) const
    {
        *count = 0;
        if (m_owners.empty() || owner < m_owners.front() || owner > m_owners.back())
            return nullptr;
        size_t block;
        if (!m_has.empty()) {
            const size_t k = size_t(owner - m_min);
            if (!((m_has[k >> 6] >> (k & 63)) & 1))
                return nullptr;
            block = m_byId[k];
        } else {
            const auto it = std::lower_bound(m_owners.begin(), m_owners.end(), owner);
            if (it == m_owners.end() || *it != owner)
                return nullptr;
            block = m_blocks[size_t(it - m_owners.begin())];
        }
        const char *p = m_data.data() + block;
        std::memcpy(count, p, sizeof *count);
        return p + sizeof *count;
    }

    // Reads the merged printer at p into the alias fields of row; returns the next one.
    static const char *Read(const char *p, QM6Cell *row)
    {
        Header h;
        std::memcpy(&h, p, sizeof h);
        p += sizeof h;
        for (int i = 0; i < AliasTexts; ++i) {
            QM6Cell &c = row[FAliasKey + i];
            if (h.size[i] == Null) {
                c = QM6Cell();
                continue;
            }
            c = textCell(p, qsizetype(h.size[i]));
            p += h.size[i];
        }
        QM6Cell &m = row[FAliasMerge];
        m = QM6Cell();
        m.null = h.mergeNull;
        m.number = h.merge;
        return p;
    }

private:
    static constexpr quint32 Null = 0xffffffffu;
    struct Header {
        quint32 size[AliasTexts];   // key, device name, port, host; Null for Null
        qint32 merge;
        bool mergeNull;
    };
    qm6detail::PodBuffer<char> m_data;
    std::vector<qint64> m_owners;    // distinct owners, ascending
    std::vector<quint32> m_blocks;   // where each owner's block starts
    std::vector<quint64> m_has;      // by owner - m_min: has merged printers
    std::vector<quint32> m_byId;     // by owner - m_min: where its block starts
    qint64 m_min = 0;
};

// Track profile names by identifier.
class ProfileNames {
public:
    void Add(qint64 id, const QM6Cell &name)
    {
        if (id < 0)
            return;
        m_names.insert(id, QByteArray(name.null ? "" : name.text, name.null ? 0 : name.size));
    }
    void Finish()
    {
        qint64 max = -1;
        for (auto it = m_names.cbegin(); it != m_names.cend(); ++it)
            max = std::max(max, it.key());
        if (max >= 65536)
            return;
        m_byId.assign(size_t(max + 1), nullptr);
        for (auto it = m_names.cbegin(); it != m_names.cend(); ++it)
            m_byId[size_t(it.key())] = &it.value();
    }
    // Null for an unknown profile, as an outer join gives it.
    QM6Cell Find(const QM6Cell &id) const
    {
        if (id.null || id.number < 0)
            return QM6Cell();
        const QByteArray *name = nullptr;
        if (!m_byId.empty() || m_names.isEmpty()) {
            if (quint64(id.number) < m_byId.size())
                name = m_byId[size_t(id.number)];
        } else {
            const auto it = m_names.constFind(id.number);
            name = it == m_names.cend() ? nullptr : &*it;
        }
        return name ? textCell(name->constData(), name->size()) : QM6Cell();
    }

private:
    QHash<qint64, QByteArray> m_names;
    std::vector<const QByteArray *> m_byId;
};

QM6ErrorPtr readList(QM6ConnectionPrivate *d, QM6RowReader &reader, QM6Recordset *rs)
{
    ProfileNames profiles;
    QM6Cell c[std::max(int(PrinterColumns), int(AliasColumns))];
    if (QM6ErrorPtr e = reader.Start(QM6PrinterList::ProfilesSql, {FT::Integer, FT::Text}))
        return e;
    while (reader.Next(c))
        profiles.Add(c[0].number, c[1]);
    if (QM6ErrorPtr e = reader.Finish())
        return e;
    profiles.Finish();

    // The list is reloaded often and changes little: room for the last one's size at once.
    AliasStore aliases(d->lastAliasBytes + d->lastAliasBytes / 64);
    if (d->lastListRows > 0) {
        rs->Reserve(d->lastListRows + d->lastListRows / 64);
        rs->ReserveText(0, d->lastListText + d->lastListText / 64);
    }
    if (QM6ErrorPtr e = reader.Start(QM6PrinterList::AliasesSql,
                                     {FT::Integer, FT::Text, FT::Text, FT::Text, FT::Text, FT::Integer}))
        return e;
    while (reader.Next(c))
        aliases.Add(c);
    if (QM6ErrorPtr e = reader.Finish())
        return e;
    aliases.Finish();
    d->lastAliasBytes = aliases.Bytes();

    if (QM6ErrorPtr e = reader.Start(QM6PrinterList::PrintersSql, {FT::Integer, FT::Text, FT::Text, FT::Text, FT::Text,
                                                                    FT::Integer, FT::Integer, FT::Text}))
        return e;
    QM6Cell row[FieldCount];
    while (reader.Next(c)) {
        row[FId] = c[PId];
        row[FKey] = c[PKey];
        row[FName] = c[PName];
        row[FPort] = c[PPort];
        row[FHost] = c[PHost];
        row[FProfile] = profiles.Find(c[PProfileId]);
        row[FType] = c[PType];
        row[FAccount] = c[PAccount];
        quint32 count;
        const char *alias = aliases.Find(c[PId].number, &count);
        // A printer without merged printers is one record with Null alias fields.
        if (count == 0) {
            for (int f = FAliasKey; f < FieldCount; ++f)
                row[f] = QM6Cell();
            rs->AppendRow(row);
            continue;
        }
        for (quint32 a = 0; a < count; ++a) {
            alias = AliasStore::Read(alias, row);
            rs->AppendRow(row);
        }
    }
    if (QM6ErrorPtr e = reader.Finish())
        return e;
    d->lastListRows = rs->RecordCount();
    d->lastListText = rs->TextBytes();
    return {};
}

} // namespace

QM6RecordsetPtr QM6PrinterList::NewRecordset()
{
    static const QStringList names{"PrinterId", "PrinterKey", "Name", "Port", "Host", "ProfileName", "ConnectionType",
                                   "AccountNo", "AliasPrinterKey", "AliasDeviceName", "AliasPort", "AliasHost",
                                   "AliasMergeType"};
    static const QList<FT> types{FT::Integer, FT::Text, FT::Text, FT::Text, FT::Text, FT::Text, FT::Integer,
                                 FT::Text, FT::Text, FT::Text, FT::Text, FT::Text, FT::Integer};
    return std::make_shared<QM6Recordset>(names, types);
}

QM6ErrorPtr QM6PrinterList::Read(QM6ConnectionPrivate *d, QM6Recordset *rs)
{
    const QString what = QM6Texts::tr("Reading the printer list");
    if (QM6ErrorPtr e = d->Ensure())
        return e;
    // The statements must see the same state of the site: a printer merged between them
    // would otherwise show as a printer and as a merged printer. Inside a caller's
    // transaction SQLite keeps one snapshot already; PostgreSQL's default isolation takes a
    // new one per statement, so there the caller's transaction is as good as the caller made it.
    const bool own = d->txnDepth == 0;
    QM6ErrorPtr e;
    if (own) {
        if ((e = d->ExecSql(QString::fromLatin1(d->pg ? PgBeginSql : "BEGIN"), what)))
            return e;
        // Compiling the scans costs more than it saves once the list is large enough to qualify.
        if (d->pg)
            e = d->ExecSql(QString::fromLatin1(PgSettingsSql), what);
    }
    if (!e) {
        std::unique_ptr<QM6RowReader> reader = QM6RowReader::For(d, what);
        e = readList(d, *reader, rs);
    }
    if (own) {
        QM6ErrorPtr end = d->ExecSql(e ? QStringLiteral("ROLLBACK") : QStringLiteral("COMMIT"), what);
        if (!e)
            e = end;
    }
    return e;
}
