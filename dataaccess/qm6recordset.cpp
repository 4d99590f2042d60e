#include "qm6recordset.h"

#include <QTimeZone>

QM6Recordset::QM6Recordset(const QStringList &names, const QList<FieldType> &types)
{
    m_cols.resize(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        m_cols[size_t(i)].name = names[i];
        m_cols[size_t(i)].type = i < types.size() ? types[i] : FieldType::Text;
    }
    takeBuffers();
    for (Column &c : m_cols)
        if (c.type == FieldType::Text)
            c.offsets.push_back(0);
}

QM6Recordset::~QM6Recordset() { giveBuffers(); }

std::vector<std::vector<QM6Recordset::Column>> &QM6Recordset::sparePool()
{
    thread_local std::vector<std::vector<Column>> pool;
    return pool;
}

namespace {
template <typename Cols>
bool sameFields(const Cols &a, const Cols &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].type != b[i].type)
            return false;
    return true;
}
template <typename Cols>
size_t heldBytes(const Cols &cols)
{
    size_t n = 0;
    for (const auto &c : cols)
        n += c.nulls.capacity() + c.ints.capacity() * 8 + c.reals.capacity() * 8 + c.offsets.capacity() * 4 + size_t(c.text.capacity());
    return n;
}
} // namespace

void QM6Recordset::giveBuffers()
{
    if (m_cols.empty())
        return;
    for (Column &c : m_cols) {
        c.nulls.clear();
        c.ints.clear();
        c.reals.clear();
        c.offsets.clear();
        c.text.truncate(0);   // keeps the allocation
    }
    auto &pool = sparePool();
    for (auto &spare : pool)
        if (sameFields(spare, m_cols)) {
            if (heldBytes(m_cols) > heldBytes(spare))
                spare.swap(m_cols);
            return;
        }
    if (pool.size() < 4)
        pool.push_back(std::move(m_cols));
}

void QM6Recordset::takeBuffers()
{
    auto &pool = sparePool();
    for (auto it = pool.begin(); it != pool.end(); ++it)
        if (sameFields(*it, m_cols)) {
            for (size_t i = 0; i < m_cols.size(); ++i) {
                Column &mine = m_cols[i], &spare = (*it)[i];
                mine.nulls.swap(spare.nulls);
                mine.ints.swap(spare.ints);
                mine.reals.swap(spare.reals);
                mine.offsets.swap(spare.offsets);
                mine.text.swap(spare.text);
            }
            pool.erase(it);
            return;
        }
}

void QM6Recordset::Close()
{
    m_open = false;
    m_rows = 0;
    m_pos = 0;
    m_bof = true;
    std::vector<Column> empty(m_cols.size());
    for (size_t i = 0; i < m_cols.size(); ++i) {
        empty[i].name = m_cols[i].name;
        empty[i].type = m_cols[i].type;
        if (empty[i].type == FieldType::Text)
            empty[i].offsets.push_back(0);
    }
    giveBuffers();
    m_cols = std::move(empty);
}

int QM6Recordset::FieldIndex(const QString &name) const
{
    for (size_t i = 0; i < m_cols.size(); ++i)
        if (m_cols[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QStringList QM6Recordset::FieldNames() const
{
    QStringList names;
    for (const Column &c : m_cols)
        names << c.name;
    return names;
}

QVariant QM6Recordset::Fields(const QString &name) const
{
    const int f = FieldIndex(name);
    if (f < 0 || Eof())
        return {};
    return Value(f);
}

QVariant QM6Recordset::ValueAt(int field, qsizetype row) const
{
    if (field < 0 || size_t(field) >= m_cols.size() || row < 0 || row >= m_rows || IsNullAt(field, row))
        return {};
    const Column &c = m_cols[size_t(field)];
    switch (c.type) {
    case FieldType::Integer:
        return c.ints[size_t(row)];
    case FieldType::Double:
        return c.reals[size_t(row)];
    case FieldType::DateTime:
        return QDateTime::fromMSecsSinceEpoch(c.ints[size_t(row)], Qt::UTC);
    case FieldType::Text:
        break;
    }
    return TextAt(field, row).toString();
}

void QM6Recordset::Reserve(qsizetype rows)
{
    for (Column &c : m_cols) {
        c.nulls.reserve(size_t(rows + 7) / 8);
        if (c.type == FieldType::Text)
            c.offsets.reserve(size_t(rows) + 1);
        else if (c.type == FieldType::Double)
            c.reals.reserve(size_t(rows));
        else
            c.ints.reserve(size_t(rows));
    }
}

void QM6Recordset::ReserveText(int field, qsizetype bytes)
{
    m_cols[size_t(field)].text.reserve(bytes);
}

void QM6Recordset::BeginRow()
{
    const bool newByte = (m_rows & 7) == 0;
    const quint8 bit = quint8(1u << (m_rows & 7));
    for (Column &c : m_cols) {
        if (newByte)
            c.nulls.push_back(bit);
        else
            c.nulls.back() |= bit;
        switch (c.type) {
        case FieldType::Text:
            c.offsets.push_back(c.offsets.back());
            break;
        case FieldType::Double:
            c.reals.push_back(0.0);
            break;
        default:
            c.ints.push_back(0);
        }
    }
    ++m_rows;
}

void QM6Recordset::markNotNull(Column &c)
{
    const qsizetype row = m_rows - 1;
    c.nulls[size_t(row) >> 3] &= quint8(~(1u << (row & 7)));
}

void QM6Recordset::SetNull(int field)
{
    Column &c = m_cols[size_t(field)];
    const qsizetype row = m_rows - 1;
    c.nulls[size_t(row) >> 3] |= quint8(1u << (row & 7));
    if (c.type == FieldType::Text) {
        c.text.truncate(c.offsets[size_t(row)]);
        c.offsets[size_t(row) + 1] = c.offsets[size_t(row)];
    }
}

void QM6Recordset::SetInt(int field, qint64 v)
{
    Column &c = m_cols[size_t(field)];
    markNotNull(c);
    if (c.type == FieldType::Double)
        c.reals.back() = double(v);
    else if (c.type == FieldType::Text)
        SetText(field, QString::number(v));
    else
        c.ints.back() = v;
}

void QM6Recordset::SetDouble(int field, double v)
{
    Column &c = m_cols[size_t(field)];
    markNotNull(c);
    if (c.type == FieldType::Double)
        c.reals.back() = v;
    else if (c.type == FieldType::Text)
        SetText(field, QString::number(v));
    else
        c.ints.back() = qint64(v);
}

void QM6Recordset::SetText(int field, const char *utf8, qsizetype len)
{
    Column &c = m_cols[size_t(field)];
    if (c.type != FieldType::Text) {
        SetValue(field, QString::fromUtf8(utf8, len));
        return;
    }
    markNotNull(c);
    // A field set twice in one row replaces its text.
    const size_t row = size_t(m_rows - 1);
    c.text.truncate(c.offsets[row]);
    c.text.append(utf8, len);
    c.offsets[row + 1] = quint32(c.text.size());
}

void QM6Recordset::SetText(int field, const QString &v)
{
    const QByteArray u = v.toUtf8();
    SetText(field, u.constData(), u.size());
}

void QM6Recordset::SetDateTime(int field, const QDateTime &v)
{
    if (!v.isValid()) {
        SetNull(field);
        return;
    }
    Column &c = m_cols[size_t(field)];
    if (c.type == FieldType::Text) {
        SetText(field, v.toString(Qt::ISODateWithMs));
        return;
    }
    markNotNull(c);
    c.ints.back() = v.toMSecsSinceEpoch();
}

void QM6Recordset::SetValue(int field, const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        SetNull(field);
        return;
    }
    switch (m_cols[size_t(field)].type) {
    case FieldType::Integer:
        SetInt(field, v.toLongLong());
        break;
    case FieldType::Double:
        SetDouble(field, v.toDouble());
        break;
    case FieldType::DateTime:
        SetDateTime(field, v.toDateTime());
        break;
    case FieldType::Text:
        SetText(field, v.toString());
        break;
    }
}

void QM6Recordset::Squeeze()
{
    for (Column &c : m_cols) {
        c.nulls.shrink_to_fit();
        c.ints.shrink_to_fit();
        c.reals.shrink_to_fit();
        c.offsets.shrink_to_fit();
        c.text.squeeze();
    }
}

qsizetype QM6Recordset::OverheadBytes() const
{
    qsizetype n = qsizetype(sizeof(*this)) + qsizetype(m_cols.capacity() * sizeof(Column));
    for (const Column &c : m_cols) {
        n += qsizetype(c.nulls.capacity() + c.ints.capacity() * sizeof(qint64) + c.reals.capacity() * sizeof(double) +
                       c.offsets.capacity() * sizeof(quint32));
        n += c.text.capacity() - c.text.size();   // slack of the text buffer
        n += c.name.capacity() * 2;
    }
    return n;
}

qsizetype QM6Recordset::TextBytes() const
{
    qsizetype n = 0;
    for (const Column &c : m_cols)
        n += c.text.size();
    return n;
}
