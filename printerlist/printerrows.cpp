#include "printerrows.h"

#include "modutilityfunctions.h"
#include "printergrid.h"

namespace printerlist {

PrinterRows::PrinterRows(QM6RecordsetPtr recordset)
    : m_rs(std::move(recordset)),
      m_fId(m_rs->FieldIndex(QStringLiteral("PrinterId"))),
      m_fKey(m_rs->FieldIndex(QStringLiteral("PrinterKey"))),
      m_fName(m_rs->FieldIndex(QStringLiteral("Name"))),
      m_fPort(m_rs->FieldIndex(QStringLiteral("Port"))),
      m_fHost(m_rs->FieldIndex(QStringLiteral("Host"))),
      m_fProfile(m_rs->FieldIndex(QStringLiteral("ProfileName"))),
      m_fType(m_rs->FieldIndex(QStringLiteral("ConnectionType"))),
      m_fAccount(m_rs->FieldIndex(QStringLiteral("AccountNo"))),
      m_fAliasKey(m_rs->FieldIndex(QStringLiteral("AliasPrinterKey"))),
      m_fAliasDevice(m_rs->FieldIndex(QStringLiteral("AliasDeviceName"))),
      m_fAliasPort(m_rs->FieldIndex(QStringLiteral("AliasPort"))),
      m_fAliasHost(m_rs->FieldIndex(QStringLiteral("AliasHost"))),
      m_fAliasMerge(m_rs->FieldIndex(QStringLiteral("AliasMergeType"))),
      m_index(*m_rs, m_fName, m_fPort, m_fHost)
{
}

PrinterRows::~PrinterRows()
{
    m_stop = true;   // tops still being made are not wanted any more
    if (m_making.valid())
        m_making.wait();
}

// Null reads as the empty text; a field the recordset lacks, or one that holds no text, does too.
QUtf8StringView PrinterRows::text(int f, qsizetype r) const
{
    if (f < 0 || m_rs->Type(f) != QM6Recordset::FieldType::Text || m_rs->IsNullAt(f, r))
        return QUtf8StringView();
    return m_rs->TextAt(f, r);
}

qint64 PrinterRows::integer(int f, qsizetype r) const
{
    if (f < 0 || m_rs->Type(f) != QM6Recordset::FieldType::Integer || m_rs->IsNullAt(f, r))
        return 0;
    return m_rs->IntAt(f, r);
}

qsizetype PrinterRows::Select(const FillFilter &filter, const std::function<void(std::span<const FlexGridSourceRow>)> &take)
{
    constexpr size_t ChunkRows = 8192;
    const qint16 typeFilter = static_cast<qint16>(filter.connectionType);
    const QString match = modUtilityFunctions::TrimSpaces(filter.matchText);
    const std::span<const quint32> records = match.isEmpty() ? std::span<const quint32>() : std::span<const quint32>(m_index.Find(match));
    const qsizetype count = match.isEmpty() ? RecordCount() : qsizetype(records.size());

    const QM6Recordset &rs = *m_rs;
    // Fields looked at once here rather than per record: a field that is missing or holds no
    // whole numbers reads as 0, as integer() has it.
    const int fId = m_fId >= 0 && rs.Type(m_fId) == QM6Recordset::FieldType::Integer ? m_fId : -1;
    const int fType = m_fType >= 0 && rs.Type(m_fType) == QM6Recordset::FieldType::Integer ? m_fType : -1;
    const int fAlias = m_fAliasKey;
    auto number = [&rs](int f, qsizetype r) -> qint64 { return f < 0 || rs.IsNullAt(f, r) ? 0 : rs.IntAt(f, r); };

    m_chunk.resize(ChunkRows + 2);   // room for a record's two rows past the chunk's end
    FlexGridSourceRow *const chunk = m_chunk.data();
    size_t used = 0;
    qsizetype total = 0;
    auto flush = [&] {
        take(std::span<const FlexGridSourceRow>(chunk, used));
        total += qsizetype(used);
        used = 0;
    };
    const bool everything = match.isEmpty() && typeFilter == -1;
    if (everything && qsizetype(m_shapes.size()) == count) {
        // Both rows written, kept as the record's shape says: no branch the processor could
        // mispredict for a list where every other printer has merged printers.
        const quint8 *shape = m_shapes.data();
        for (qsizetype r = 0; r < count; ++r) {
            chunk[used] = {PrinterPosition(r), 0, true};
            used += shape[r] & ShapePrinter;
            chunk[used] = {MergedPosition(r), 1, false};
            used += (shape[r] & ShapeMerged) >> 1;
            if (used >= ChunkRows)
                flush();
        }
        if (used > 0)
            flush();
        return total;
    }
    if (everything)
        m_shapes.assign(size_t(count), 0);
    qint64 lastPrinterId = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype r = records.empty() ? i : qsizetype(records[size_t(i)]);
        if (typeFilter != -1 && number(fType, r) != typeFilter)
            continue;
        const qint64 id = number(fId, r);
        quint8 shape = 0;
        if (id != lastPrinterId) {
            lastPrinterId = id;
            chunk[used++] = {PrinterPosition(r), 0, true};
            shape |= ShapePrinter;
        }
        if (fAlias >= 0 && !rs.IsNullAt(fAlias, r)) {
            chunk[used++] = {MergedPosition(r), 1, false};
            shape |= ShapeMerged;
        }
        if (everything)
            m_shapes[size_t(r)] = shape;
        if (used >= ChunkRows)
            flush();
    }
    if (used > 0)
        flush();
    return total;
}

qsizetype PrinterRows::Bytes() const
{
    qsizetype bytes = m_index.Bytes() + qsizetype(m_chunk.capacity() * sizeof(FlexGridSourceRow) + m_shapes.capacity());
    for (const std::unique_ptr<ColumnTop> &top : m_tops)
        if (top)
            bytes += qsizetype(top->valueOf.capacity() + top->lengthOf.capacity() + top->positions.capacity() * sizeof(quint32));
    return bytes;
}

PrinterRows::CellSource PrinterRows::cellSource(int col, bool merged) const
{
    using K = CellSource::Kind;
    if (col == ColPrinterId)
        return {K::Number, m_fId};
    if (merged) {
        switch (col) {
        case ColPrinterKey: return {K::Text, m_fAliasKey};
        case ColName: return {K::Indented, m_fAliasDevice};
        case ColPort: return {K::Text, m_fAliasPort};
        case ColHost: return {K::Text, m_fAliasHost};
        default: return {};
        }
    }
    switch (col) {
    case ColPrinterKey: return {K::Text, m_fKey};
    case ColName: return {K::Text, m_fName};
    case ColPort: return {K::Text, m_fPort};
    case ColHost: return {K::Text, m_fHost};
    case ColProfile: return {K::Text, m_fProfile};
    case ColConnectionType: return {K::Number, m_fType};
    case ColAccount: return {K::Text, m_fAccount};
    default: return {};
    }
}

QString PrinterRows::Text(quint32 position, int col) const
{
    const qsizetype r = qsizetype(position >> 1);
    if (r >= RecordCount())
        return {};
    const CellSource s = cellSource(col, position & 1u);
    switch (s.kind) {
    case CellSource::Text: {
        const QUtf8StringView v = text(s.field, r);
        return QString::fromUtf8(v.data(), v.size());
    }
    case CellSource::Number:
        return QString::number(integer(s.field, r));
    case CellSource::Indented: {
        const QUtf8StringView v = text(s.field, r);
        return QLatin1String(AliasIndent, AliasIndentLength) + QString::fromUtf8(v.data(), v.size());
    }
    case CellSource::Empty:
        break;
    }
    return {};
}

quint32 PrinterRows::ForeColor(quint32 position) const
{
    if (!(position & 1u))
        return DefaultColour;
    const qsizetype r = qsizetype(position >> 1);
    const bool byHand = r < RecordCount() && integer(m_fAliasMerge, r) == 1;
    return byHand ? ColorActiveCaption : ColorGrayText;
}

} // namespace printerlist
