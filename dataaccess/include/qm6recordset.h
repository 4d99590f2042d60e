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
#include <memory>
#include <vector>

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
    void Close();
    bool IsOpen() const { return m_open; }
    qsizetype RecordCount() const { return m_rows; }
    qsizetype AbsolutePosition() const { return m_pos; }
    void Move(qsizetype row) { m_pos = row < 0 ? 0 : (row > m_rows ? m_rows : row); m_bof = false; }

    // By name: an invalid QVariant for Null; an unknown name is an invalid QVariant too.
    QVariant Fields(const QString &name) const;
    int FieldIndex(const QString &name) const;      // -1 when there is no such field
    QStringList FieldNames() const;
    FieldType Type(int field) const { return m_cols[field].type; }

    // Fast access at the current row.
    QVariant Value(int field) const { return ValueAt(field, m_pos); }
    bool IsNull(int field) const { return IsNullAt(field, m_pos); }
    qint64 Int(int field) const { return IntAt(field, m_pos); }
    QUtf8StringView Text(int field) const { return TextAt(field, m_pos); }

    QVariant ValueAt(int field, qsizetype row) const;
    bool IsNullAt(int field, qsizetype row) const
    {
        const Column &c = m_cols[field];
        return (c.nulls[size_t(row) >> 3] >> (row & 7)) & 1;
    }
    qint64 IntAt(int field, qsizetype row) const { return m_cols[field].ints[size_t(row)]; }
    QUtf8StringView TextAt(int field, qsizetype row) const
    {
        const Column &c = m_cols[field];
        const quint32 b = c.offsets[size_t(row)], e = c.offsets[size_t(row) + 1];
        return QUtf8StringView(c.text.constData() + b, qsizetype(e - b));
    }

    // Filling (used by the data component while it reads a query).
    void Reserve(qsizetype rows);
    void ReserveText(int field, qsizetype bytes);   // room for a text column's UTF-8
    void BeginRow();                                  // appends a row of Nulls
    void SetNull(int field);
    void SetInt(int field, qint64 v);
    void SetDouble(int field, double v);
    void SetText(int field, const char *utf8, qsizetype len);
    void SetText(int field, const QString &v);
    void SetDateTime(int field, const QDateTime &v);
    void SetValue(int field, const QVariant &v);      // converts to the field's type; invalid = Null
    void EndFill() { MoveFirst(); }
    void Squeeze();

    // Bytes held beyond the text itself (offsets, numbers, null flags, containers).
    qsizetype OverheadBytes() const;
    qsizetype TextBytes() const;
    qsizetype TextBytes(int field) const { return m_cols[size_t(field)].text.size(); }

private:
    struct Column {
        QString name;
        FieldType type;
        std::vector<quint8> nulls;      // one bit per row, 1 = Null
        std::vector<qint64> ints;       // Integer, DateTime (ms since epoch, UTC)
        std::vector<double> reals;      // Double
        std::vector<quint32> offsets;   // Text: rows + 1 offsets into text
        QByteArray text;                // Text: UTF-8, back to back
    };
    void markNotNull(Column &c);
    // Buffers of a closed recordset wait for the next one with the same fields: a big list
    // allocated afresh each time costs more in page faults than it takes to read.
    void giveBuffers();
    void takeBuffers();
    static std::vector<std::vector<Column>> &sparePool();

    std::vector<Column> m_cols;
    qsizetype m_rows = 0;
    qsizetype m_pos = 0;
    bool m_bof = true;
    bool m_open = true;
};

using QM6RecordsetPtr = std::shared_ptr<QM6Recordset>;
