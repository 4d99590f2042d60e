// A client-side recordset: every row is held in memory, column by column, so that a
// large printer list costs little more than its text. Fields are read by name (or,
// in loops, by an index looked up once); Null stays distinct from the empty text.
#pragma once

#include "qm6dataaccess_export.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUtf8StringView>
#include <QVariant>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace qm6detail {
QM6DATA_EXPORT void qm6AdviseHugePages(void *p, size_t bytes);

// A growable array of plain values on malloc and realloc: a large column grows and is
// trimmed to its size by remapping its pages instead of copying them, and holds no slack
// once the recordset is filled.
template <typename T>
class PodBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    PodBuffer() = default;
    ~PodBuffer() { std::free(m_data); }
    PodBuffer(const PodBuffer &) = delete;
    PodBuffer &operator=(const PodBuffer &) = delete;
    PodBuffer(PodBuffer &&o) noexcept { swap(o); }
    PodBuffer &operator=(PodBuffer &&o) noexcept
    {
        PodBuffer tmp;
        tmp.swap(o);
        swap(tmp);
        return *this;
    }
    void swap(PodBuffer &o) noexcept
    {
        std::swap(m_data, o.m_data);
        std::swap(m_size, o.m_size);
        std::swap(m_capacity, o.m_capacity);
    }

    T *data() { return m_data; }
    const T *data() const { return m_data; }
    size_t size() const { return m_size; }
    size_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }
    T &operator[](size_t i) { return m_data[i]; }
    const T &operator[](size_t i) const { return m_data[i]; }
    T &back() { return m_data[m_size - 1]; }

    void clear() { m_size = 0; }
    void push_back(T v)
    {
        if (m_size == m_capacity)
            grow(m_size + 1);
        m_data[m_size++] = v;
    }
    void append(const T *p, size_t n)
    {
        if (m_size + n > m_capacity)
            grow(m_size + n);
        if (n)
            std::memcpy(m_data + m_size, p, n * sizeof(T));
        m_size += n;
    }
    void resize(size_t n)   // new elements are left as they are: callers write them
    {
        if (n > m_capacity)
            grow(n);
        m_size = n;
    }
    void truncate(size_t n)
    {
        if (n < m_size)
            m_size = n;
    }
    void reserve(size_t n)
    {
        if (n > m_capacity)
            setCapacity(n);
    }
    void shrink_to_fit(size_t atLeast = 0) { setCapacity(m_size > atLeast ? m_size : atLeast); }

private:
    void grow(size_t need)
    {
        size_t c = m_capacity + m_capacity / 2;
        setCapacity(c < need ? (need < 16 ? 16 : need) : c);
    }
    void setCapacity(size_t c)
    {
        if (c == m_capacity)
            return;
        if (c == 0) {
            std::free(m_data);
            m_data = nullptr;
            m_capacity = 0;
            return;
        }
        void *p = std::realloc(m_data, c * sizeof(T));
        if (!p)
            throw std::bad_alloc();
        m_data = static_cast<T *>(p);
        m_capacity = c;
        if (c * sizeof(T) >= HugeBytes)
            adviseHugePages(p, c * sizeof(T));
    }
    // Big buffers are backed by huge pages where the system allows: filling a list of a
    // million records otherwise costs tens of thousands of page faults.
    static constexpr size_t HugeBytes = size_t(4) << 20;
    static void adviseHugePages(void *p, size_t bytes) { qm6AdviseHugePages(p, bytes); }

    T *m_data = nullptr;
    size_t m_size = 0, m_capacity = 0;
};
} // namespace qm6detail

class QM6DATA_EXPORT QM6Recordset {
public:
    enum class FieldType { Integer, Double, Text, DateTime };

    explicit QM6Recordset(const QStringList &names, const QList<FieldType> &types);
    ~QM6Recordset();
    QM6Recordset(const QM6Recordset &) = delete;
    QM6Recordset &operator=(const QM6Recordset &) = delete;

    // Navigation, as a forward-and-back cursor over the held rows.
    void MoveFirst() { m_pos = 0; m_bof = m_rows == 0; }
    void MoveNext() { if (m_pos < m_rows) ++m_pos; m_bof = false; }
    bool Eof() const { return m_pos >= m_rows; }
    bool Bof() const { return m_bof; }
    // Lets go of the rows. Their memory waits for the next recordset of the same fields
    // made on this thread (a list that is closed to be read again): a large list put into
    // fresh memory costs more in page faults than in reading.
    void Close();
    bool IsOpen() const { return m_open; }
    qsizetype RecordCount() const { return m_rows; }
    qsizetype AbsolutePosition() const { return m_pos; }
    void Move(qsizetype row) { m_pos = row < 0 ? 0 : (row > m_rows ? m_rows : row); m_bof = false; }

    // By name: an invalid QVariant for Null; an unknown name is an invalid QVariant too.
    QVariant Fields(const QString &name) const;
    int FieldIndex(const QString &name) const;      // -1 when there is no such field
    QStringList FieldNames() const;
    FieldType Type(int field) const { return m_cols[size_t(field)].type; }

    // Fast access at the current row.
    QVariant Value(int field) const { return ValueAt(field, m_pos); }
    bool IsNull(int field) const { return IsNullAt(field, m_pos); }
    qint64 Int(int field) const { return IntAt(field, m_pos); }
    QUtf8StringView Text(int field) const { return TextAt(field, m_pos); }

    QVariant ValueAt(int field, qsizetype row) const;
    bool IsNullAt(int field, qsizetype row) const
    {
        return (m_nulls[size_t(row) * m_nullBytes + (size_t(field) >> 3)] >> (field & 7)) & 1;
    }
    // Integer and DateTime fields (DateTime as ms since the epoch, UTC).
    qint64 IntAt(int field, qsizetype row) const
    {
        const Numbers &n = m_nums[size_t(m_cols[size_t(field)].slot)];
        const char *p = n.data.data();
        switch (n.width) {
        case 1:
            return reinterpret_cast<const qint8 *>(p)[row];
        case 2:
            return reinterpret_cast<const qint16 *>(p)[row];
        case 4:
            return reinterpret_cast<const qint32 *>(p)[row];
        default:
            return reinterpret_cast<const qint64 *>(p)[row];
        }
    }
    QUtf8StringView TextAt(int field, qsizetype row) const
    {
        const int slot = m_cols[size_t(field)].slot;
        const size_t at = size_t(row) * size_t(m_textFields) + size_t(slot);
        quint32 b, e;
        if (m_endWidth == 2) {
            const quint16 *ends = reinterpret_cast<const quint16 *>(m_ends.data()) + at;
            e = ends[0];
            b = slot ? ends[-1] : 0;
        } else {
            const quint32 *ends = reinterpret_cast<const quint32 *>(m_ends.data()) + at;
            e = ends[0];
            b = slot ? ends[-1] : 0;
        }
        return QUtf8StringView(m_text.data() + m_rowStart[size_t(row)] + b, qsizetype(e - b));
    }

    // One value of a row being appended: UTF-8 text (Text fields) or a number.
    struct Cell {
        const char *text = nullptr;
        qsizetype size = 0;
        qint64 number = 0;   // Integer and DateTime (ms since the epoch, UTC) fields
        double real = 0;     // Double fields
        bool null = true;
    };

    // Filling (used by the data component while it reads a query). A whole row at once,
    // one cell per field in field order, is the fast way; fields may also be set one by
    // one, in any order and more than once.
    void AppendRow(const Cell *cells);
    void Reserve(qsizetype rows);
    void ReserveText(int field, qsizetype bytes);   // room for that much more UTF-8
    void BeginRow();                                  // appends a row of Nulls
    void SetNull(int field);
    void SetInt(int field, qint64 v);
    void SetDouble(int field, double v);
    void SetText(int field, const char *utf8, qsizetype len);
    void SetText(int field, QUtf8StringView v) { SetText(field, v.data(), v.size()); }
    void SetText(int field, const QString &v);
    void SetDateTime(int field, const QDateTime &v);
    void SetValue(int field, const QVariant &v);      // converts to the field's type; invalid = Null
    // Ends the fill: trims every buffer to its size and goes to the first record.
    void EndFill();
    void Squeeze();

    // Bytes held beyond the text itself (offsets, numbers, null flags, containers).
    qsizetype OverheadBytes() const;
    qsizetype TextBytes() const { return qsizetype(m_text.size()); }
    qsizetype TextBytes(int field) const;
    // Every byte the recordset holds, text and slack included.
    qsizetype HeldBytes() const { return OverheadBytes() + TextBytes(); }

private:
    struct Column {
        QString name;
        FieldType type = FieldType::Text;
        int slot = 0;   // Text: place among the text fields; others: index into m_nums
    };
    struct Numbers {
        quint8 width = 1;                 // bytes per value: Integer columns widen as values need
        qm6detail::PodBuffer<char> data;  // Integer, DateTime (ms since the epoch) or Double values
    };
    void clearNull(int field);
    void storeInt(Numbers &n, qint64 v);
    static void widen(Numbers &n, quint8 width, qsizetype rows);
    void widenEnds();
    struct Buffers;
    static std::vector<std::unique_ptr<Buffers>> &spares();
    void takeSpare();

    std::vector<Column> m_cols;
    std::vector<Numbers> m_nums;
    int m_textFields = 0;
    int m_nullBytes = 1;
    // Null flags, a row's bits together.
    qm6detail::PodBuffer<quint8> m_nulls;
    // Text row by row: each row's texts back to back in field order, where its row starts,
    // and per text field where its text ends within the row. A row's fields are written at
    // the end of one buffer, which keeps filling a single stream of writes.
    qm6detail::PodBuffer<char> m_text;    // never unallocated: an empty text is an empty view, not a null one
    qm6detail::PodBuffer<quint32> m_rowStart;
    qm6detail::PodBuffer<char> m_ends;    // rows x text fields, m_endWidth bytes each
    quint8 m_endWidth = 2;                // 4 once a row holds more than 65,535 bytes of text
    qsizetype m_rows = 0;
    qsizetype m_pos = 0;
    bool m_bof = true;
    bool m_open = true;
};

using QM6RecordsetPtr = std::shared_ptr<QM6Recordset>;
