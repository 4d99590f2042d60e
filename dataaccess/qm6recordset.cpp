#include "qm6recordset.h"

#include <limits>
#include <sys/mman.h>
#include <unistd.h>

void qm6detail::qm6AdviseHugePages(void *p, size_t bytes)
{
    // Only the whole huge pages inside the block; a refusal costs nothing but the faults.
    constexpr uintptr_t huge = uintptr_t(2) << 20;
    const uintptr_t b = (reinterpret_cast<uintptr_t>(p) + huge - 1) & ~(huge - 1);
    const uintptr_t e = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(huge - 1);
    if (e > b)
        madvise(reinterpret_cast<void *>(b), e - b, MADV_HUGEPAGE);
}

namespace {
quint8 widthFor(qint64 v)
{
    if (v >= std::numeric_limits<qint8>::min() && v <= std::numeric_limits<qint8>::max())
        return 1;
    if (v >= std::numeric_limits<qint16>::min() && v <= std::numeric_limits<qint16>::max())
        return 2;
    if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max())
        return 4;
    return 8;
}

qint64 readInt(const char *p, quint8 width, qsizetype row)
{
    switch (width) {
    case 1: return reinterpret_cast<const qint8 *>(p)[row];
    case 2: return reinterpret_cast<const qint16 *>(p)[row];
    case 4: return reinterpret_cast<const qint32 *>(p)[row];
    default: return reinterpret_cast<const qint64 *>(p)[row];
    }
}

void writeInt(char *p, quint8 width, qsizetype row, qint64 v)
{
    switch (width) {
    case 1: reinterpret_cast<qint8 *>(p)[row] = qint8(v); break;
    case 2: reinterpret_cast<qint16 *>(p)[row] = qint16(v); break;
    case 4: reinterpret_cast<qint32 *>(p)[row] = qint32(v); break;
    default: reinterpret_cast<qint64 *>(p)[row] = v;
    }
}
} // namespace

QM6Recordset::QM6Recordset(const QStringList &names, const QList<FieldType> &types)
{
    m_cols.resize(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        Column &c = m_cols[size_t(i)];
        c.name = names[i];
        c.type = i < types.size() ? types[i] : FieldType::Text;
        if (c.type == FieldType::Text) {
            c.slot = m_textFields++;
        } else {
            c.slot = int(m_nums.size());
            m_nums.emplace_back();
            m_nums.back().width = c.type == FieldType::Integer ? 1 : 8;
        }
    }
    m_nullBytes = int((m_cols.size() + 7) / 8);
    if (m_nullBytes == 0)
        m_nullBytes = 1;
    takeSpare();
    m_text.reserve(1);
}

QM6Recordset::~QM6Recordset() = default;

// The buffers of a closed recordset, kept for the next one with the same fields.
struct QM6Recordset::Buffers {
    std::vector<FieldType> types;
    qm6detail::PodBuffer<quint8> nulls;
    qm6detail::PodBuffer<char> text;
    qm6detail::PodBuffer<quint32> rowStart;
    qm6detail::PodBuffer<char> ends;
    std::vector<qm6detail::PodBuffer<char>> numbers;
};

// One set per kind of recordset and thread; a few kinds at most.
std::vector<std::unique_ptr<QM6Recordset::Buffers>> &QM6Recordset::spares()
{
    thread_local std::vector<std::unique_ptr<Buffers>> pool;
    return pool;
}

void QM6Recordset::takeSpare()
{
    auto &pool = spares();
    for (auto it = pool.begin(); it != pool.end(); ++it) {
        Buffers &b = **it;
        if (b.types.size() != m_cols.size() ||
            !std::equal(b.types.begin(), b.types.end(), m_cols.begin(), [](FieldType t, const Column &c) { return t == c.type; }))
            continue;
        m_nulls = std::move(b.nulls);
        m_text = std::move(b.text);
        m_rowStart = std::move(b.rowStart);
        m_ends = std::move(b.ends);
        for (size_t i = 0; i < m_nums.size() && i < b.numbers.size(); ++i)
            m_nums[i].data = std::move(b.numbers[i]);
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
    auto b = std::make_unique<Buffers>();
    for (const Column &c : m_cols)
        b->types.push_back(c.type);
    b->nulls = std::move(m_nulls);
    b->text = std::move(m_text);
    b->rowStart = std::move(m_rowStart);
    b->ends = std::move(m_ends);
    for (Numbers &n : m_nums)
        b->numbers.push_back(std::move(n.data));
    for (const Column &c : m_cols)
        if (c.type != FieldType::Text)
            m_nums[size_t(c.slot)].width = c.type == FieldType::Integer ? 1 : 8;
    b->nulls.clear();
    b->text.clear();
    b->rowStart.clear();
    b->ends.clear();
    for (auto &n : b->numbers)
        n.clear();
    m_endWidth = 2;
    m_text.reserve(1);
    // The newest closed set replaces an older one of the same kind.
    auto &pool = spares();
    for (auto it = pool.begin(); it != pool.end(); ++it)
        if ((*it)->types == b->types) {
            pool.erase(it);
            break;
        }
    if (pool.size() >= 2)
        pool.erase(pool.begin());
    pool.push_back(std::move(b));
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
        return IntAt(field, row);
    case FieldType::Double:
        return reinterpret_cast<const double *>(m_nums[size_t(c.slot)].data.data())[row];
    case FieldType::DateTime:
        return QDateTime::fromMSecsSinceEpoch(IntAt(field, row), Qt::UTC);
    case FieldType::Text:
        break;
    }
    return TextAt(field, row).toString();
}

void QM6Recordset::Reserve(qsizetype rows)
{
    m_nulls.reserve(size_t(rows) * size_t(m_nullBytes));
    m_rowStart.reserve(size_t(rows));
    m_ends.reserve(size_t(rows) * size_t(m_textFields) * m_endWidth);
    for (Numbers &n : m_nums)
        n.data.reserve(size_t(rows) * n.width);
}

void QM6Recordset::ReserveText(int, qsizetype bytes)
{
    m_text.reserve(m_text.size() + size_t(bytes));
}

void QM6Recordset::BeginRow()
{
    const size_t nullsAt = m_nulls.size();
    m_nulls.resize(nullsAt + size_t(m_nullBytes));
    std::memset(m_nulls.data() + nullsAt, 0xff, size_t(m_nullBytes));
    m_rowStart.push_back(quint32(m_text.size()));
    const size_t endsAt = m_ends.size(), endsSize = size_t(m_textFields) * m_endWidth;
    // A set without text fields has no ends at all (and no buffer to clear).
    if (endsSize > 0) {
        m_ends.resize(endsAt + endsSize);
        std::memset(m_ends.data() + endsAt, 0, endsSize);
    }
    for (Numbers &n : m_nums) {
        const size_t at = n.data.size();
        n.data.resize(at + n.width);
        std::memset(n.data.data() + at, 0, n.width);
    }
    ++m_rows;
}

void QM6Recordset::AppendRow(const Cell *cells)
{
    const size_t fields = m_cols.size();
    size_t textBytes = 0;
    for (size_t i = 0; i < fields; ++i)
        if (m_cols[i].type == FieldType::Text && !cells[i].null)
            textBytes += size_t(cells[i].size);
    if (m_endWidth == 2 && textBytes > 0xffff)
        widenEnds();

    const size_t nullsAt = m_nulls.size();
    m_nulls.resize(nullsAt + size_t(m_nullBytes));
    quint8 *nulls = m_nulls.data() + nullsAt;
    std::memset(nulls, 0, size_t(m_nullBytes));
    const size_t textAt = m_text.size();
    m_rowStart.push_back(quint32(textAt));
    m_text.resize(textAt + textBytes);
    char *text = m_text.data() + textAt;
    const size_t endsAt = m_ends.size();
    m_ends.resize(endsAt + size_t(m_textFields) * m_endWidth);
    char *ends = m_ends.data() + endsAt;

    quint32 end = 0;
    for (size_t i = 0; i < fields; ++i) {
        const Column &c = m_cols[i];
        const Cell &v = cells[i];
        if (v.null)
            nulls[i >> 3] |= quint8(1u << (i & 7));
        if (c.type == FieldType::Text) {
            if (!v.null && v.size) {
                std::memcpy(text + end, v.text, size_t(v.size));
                end += quint32(v.size);
            }
            if (m_endWidth == 2)
                reinterpret_cast<quint16 *>(ends)[c.slot] = quint16(end);
            else
                reinterpret_cast<quint32 *>(ends)[c.slot] = end;
            continue;
        }
        Numbers &n = m_nums[size_t(c.slot)];
        if (c.type == FieldType::Double) {
            const double d = v.null ? 0.0 : v.real;
            n.data.append(reinterpret_cast<const char *>(&d), sizeof d);
            continue;
        }
        const qint64 number = v.null ? 0 : v.number;
        const quint8 need = widthFor(number);
        if (need > n.width)
            widen(n, need, m_rows);
        n.data.resize(n.data.size() + n.width);
        writeInt(n.data.data(), n.width, m_rows, number);
    }
    ++m_rows;
}

void QM6Recordset::clearNull(int field)
{
    m_nulls[size_t(m_rows - 1) * size_t(m_nullBytes) + (size_t(field) >> 3)] &= quint8(~(1u << (field & 7)));
}

void QM6Recordset::widen(Numbers &n, quint8 width, qsizetype rows)
{
    qm6detail::PodBuffer<char> wide;
    wide.reserve(size_t(n.data.capacity() / n.width) * width);
    wide.resize(size_t(rows) * width);
    for (qsizetype r = 0; r < rows; ++r)
        writeInt(wide.data(), width, r, readInt(n.data.data(), n.width, r));
    n.data = std::move(wide);
    n.width = width;
}

void QM6Recordset::storeInt(Numbers &n, qint64 v)
{
    const quint8 need = widthFor(v);
    if (need > n.width)
        widen(n, need, m_rows);
    writeInt(n.data.data(), n.width, m_rows - 1, v);
}

void QM6Recordset::widenEnds()
{
    qm6detail::PodBuffer<char> wide;
    const size_t count = m_ends.size() / 2;
    wide.resize(count * 4);
    const quint16 *from = reinterpret_cast<const quint16 *>(m_ends.data());
    quint32 *to = reinterpret_cast<quint32 *>(wide.data());
    for (size_t i = 0; i < count; ++i)
        to[i] = from[i];
    m_ends = std::move(wide);
    m_endWidth = 4;
}

void QM6Recordset::SetNull(int field)
{
    const Column &c = m_cols[size_t(field)];
    if (c.type == FieldType::Text)
        SetText(field, "", 0);
    m_nulls[size_t(m_rows - 1) * size_t(m_nullBytes) + (size_t(field) >> 3)] |= quint8(1u << (field & 7));
}

void QM6Recordset::SetInt(int field, qint64 v)
{
    const Column &c = m_cols[size_t(field)];
    if (c.type == FieldType::Text) {
        SetText(field, QString::number(v));
        return;
    }
    clearNull(field);
    Numbers &n = m_nums[size_t(c.slot)];
    if (c.type == FieldType::Double)
        reinterpret_cast<double *>(n.data.data())[m_rows - 1] = double(v);
    else
        storeInt(n, v);
}

void QM6Recordset::SetDouble(int field, double v)
{
    const Column &c = m_cols[size_t(field)];
    if (c.type == FieldType::Text) {
        SetText(field, QString::number(v));
        return;
    }
    clearNull(field);
    Numbers &n = m_nums[size_t(c.slot)];
    if (c.type == FieldType::Double)
        reinterpret_cast<double *>(n.data.data())[m_rows - 1] = v;
    else
        storeInt(n, qint64(v));
}

void QM6Recordset::SetText(int field, const char *utf8, qsizetype len)
{
    const Column &c = m_cols[size_t(field)];
    if (c.type != FieldType::Text) {
        SetValue(field, QString::fromUtf8(utf8, len));
        return;
    }
    clearNull(field);
    const size_t row = size_t(m_rows - 1), slot = size_t(c.slot), fields = size_t(m_textFields);
    auto ends = [&](size_t i) -> quint32 {
        const size_t at = row * fields + i;
        return m_endWidth == 2 ? reinterpret_cast<const quint16 *>(m_ends.data())[at]
                               : reinterpret_cast<const quint32 *>(m_ends.data())[at];
    };
    const quint32 b = slot ? ends(slot - 1) : 0, e = ends(slot), rowEnd = ends(fields - 1);
    const qint64 delta = qint64(len) - qint64(e - b);
    if (m_endWidth == 2 && qint64(rowEnd) + delta > 0xffff)
        widenEnds();
    // The row is the last one: its text ends the buffer. A field set out of order moves
    // the fields after it.
    const size_t base = m_rowStart[row];
    const size_t tail = rowEnd - e;
    const size_t oldSize = m_text.size();
    if (delta > 0)
        m_text.resize(oldSize + size_t(delta));
    if (tail && delta)
        std::memmove(m_text.data() + base + e + delta, m_text.data() + base + e, tail);
    if (delta < 0)
        m_text.truncate(oldSize - size_t(-delta));
    if (len)
        std::memcpy(m_text.data() + base + b, utf8, size_t(len));
    if (delta) {
        const size_t at = row * fields;
        if (m_endWidth == 2) {
            quint16 *p = reinterpret_cast<quint16 *>(m_ends.data()) + at;
            for (size_t i = slot; i < fields; ++i)
                p[i] = quint16(p[i] + delta);
        } else {
            quint32 *p = reinterpret_cast<quint32 *>(m_ends.data()) + at;
            for (size_t i = slot; i < fields; ++i)
                p[i] = quint32(p[i] + delta);
        }
    }
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
    const Column &c = m_cols[size_t(field)];
    if (c.type == FieldType::Text) {
        SetText(field, v.toString(Qt::ISODateWithMs));
        return;
    }
    SetInt(field, v.toMSecsSinceEpoch());
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

void QM6Recordset::EndFill()
{
    Squeeze();
    MoveFirst();
}

void QM6Recordset::Squeeze()
{
    m_nulls.shrink_to_fit();
    m_text.shrink_to_fit(1);
    m_rowStart.shrink_to_fit();
    m_ends.shrink_to_fit();
    for (Numbers &n : m_nums)
        n.data.shrink_to_fit();
}

qsizetype QM6Recordset::TextBytes(int field) const
{
    qsizetype n = 0;
    if (m_cols[size_t(field)].type == FieldType::Text)
        for (qsizetype r = 0; r < m_rows; ++r)
            n += TextAt(field, r).size();
    return n;
}

qsizetype QM6Recordset::OverheadBytes() const
{
    qsizetype n = qsizetype(sizeof(*this)) + qsizetype(m_cols.capacity() * sizeof(Column)) +
                  qsizetype(m_nums.capacity() * sizeof(Numbers));
    for (const Column &c : m_cols)
        n += c.name.capacity() * 2;
    for (const Numbers &num : m_nums)
        n += qsizetype(num.data.capacity());
    n += qsizetype(m_nulls.capacity() + m_rowStart.capacity() * sizeof(quint32) + m_ends.capacity());
    n += qsizetype(m_text.capacity() - m_text.size());   // slack of the text buffer
    return n;
}
