#include "flexgridmodel.h"

#include "olecolor.h"

#include <QGuiApplication>
#include <QStringEncoder>
#include <QWidget>

#include <algorithm>
#include <cstring>

FlexGridModel::FlexGridModel(QObject *parent) : QAbstractItemModel(parent)
{
    m_colours.push_back(Colour{});
}

void FlexGridModel::BeginReset()
{
    if (m_inReset)
        return;
    beginResetModel();
    m_inReset = true;
}

void FlexGridModel::EndReset()
{
    if (!m_inReset)
        return;
    ensureStructure();
    m_inReset = false;
    endResetModel();
}

// ---- text storage ------------------------------------------------------------------------

quint32 FlexGridModel::cellStart(int r, int c) const
{
    return c == 0 ? m_rows[size_t(r)].start : m_ends[size_t(r) * size_t(m_cols) + size_t(c) - 1];
}

quint32 FlexGridModel::rowEnd(int r) const
{
    return m_cols == 0 ? m_rows[size_t(r)].start : m_ends[size_t(r) * size_t(m_cols) + size_t(m_cols) - 1];
}

QByteArrayView FlexGridModel::TextUtf8(int r, int c) const
{
    if (!validCell(r, c))
        return {};
    const quint32 s = cellStart(r, c);
    const quint32 e = m_ends[size_t(r) * size_t(m_cols) + size_t(c)];
    return QByteArrayView(m_arena.constData() + s, qsizetype(e - s));
}

QString FlexGridModel::Text(int r, int c) const
{
    return QString::fromUtf8(TextUtf8(r, c));
}

QString FlexGridModel::DisplayText(int r, int c) const
{
    QString text = Text(r, c);
    if (r > 0 && c >= 0 && c < m_cols && !m_comboMaps[size_t(c)].isEmpty()) {
        const auto it = m_comboMaps[size_t(c)].constFind(text);
        if (it != m_comboMaps[size_t(c)].cend())
            return it.value();
    }
    return text;
}

void FlexGridModel::appendEmptyRow()
{
    RowInfo info;
    info.start = quint32(m_arena.size());
    m_rows.push_back(info);
    m_ends.insert(m_ends.end(), size_t(m_cols), info.start);
}

void FlexGridModel::finishAppendedRow(int r)
{
    m_liveBytes += rowEnd(r) - m_rows[size_t(r)].start;
    if (r > 0 && !m_candidatesDirty) {
        for (int c = 0; c < m_cols; ++c) {
            const quint32 s = cellStart(r, c);
            noteCandidate(c, s, m_ends[size_t(r) * size_t(m_cols) + size_t(c)] - s);
        }
    }
}

void FlexGridModel::AppendRow(std::initializer_list<QUtf8StringView> cells)
{
    ResetScope scope(this);
    const int r = Rows();
    const size_t used = std::min(cells.size(), size_t(m_cols));
    qsizetype total = 0;
    for (size_t i = 0; i < used; ++i)
        total += cells.begin()[i].size();
    // One growth of the arena per row, then plain copies into it.
    const qsizetype start = m_arena.size();
    m_arena.resize(start + total);
    char *out = m_arena.data() + start;
    RowInfo info;
    info.start = quint32(start);
    m_rows.push_back(info);
    const size_t firstEnd = m_ends.size();
    m_ends.resize(firstEnd + size_t(m_cols));
    quint32 pos = quint32(start);
    for (size_t c = 0; c < size_t(m_cols); ++c) {
        if (c < used) {
            const QUtf8StringView cell = cells.begin()[c];
            if (!cell.isEmpty())
                std::memcpy(out, cell.data(), size_t(cell.size()));
            out += cell.size();
            pos += quint32(cell.size());
        }
        m_ends[firstEnd + c] = pos;
    }
    finishAppendedRow(r);
}

void FlexGridModel::AppendRow(const QList<QString> &cells)
{
    ResetScope scope(this);
    const int r = Rows();
    const qsizetype used = std::min(cells.size(), qsizetype(m_cols));
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    qsizetype room = 0;
    for (qsizetype i = 0; i < used; ++i)
        room += encoder.requiredSpace(cells[i].size());
    // Encode straight into the arena: no temporary byte array per cell.
    const qsizetype start = m_arena.size();
    m_arena.resize(start + room);
    char *const base = m_arena.data();
    char *out = base + start;
    RowInfo info;
    info.start = quint32(start);
    m_rows.push_back(info);
    for (qsizetype c = 0; c < m_cols; ++c) {
        if (c < used)
            out = encoder.appendToBuffer(out, cells[c]);
        m_ends.push_back(quint32(out - base));
    }
    m_arena.resize(out - base);
    finishAppendedRow(r);
}

void FlexGridModel::SetText(int r, int c, QStringView text)
{
    if (!validCell(r, c))
        return;
    const QByteArray utf8 = text.toUtf8();
    if (TextUtf8(r, c) == QByteArrayView(utf8))
        return;
    // Rewrite the whole row at the end of the arena so its cells stay contiguous.
    QByteArray row;
    std::vector<quint32> lengths(static_cast<size_t>(m_cols));
    for (int i = 0; i < m_cols; ++i) {
        const QByteArrayView cell = i == c ? QByteArrayView(utf8) : TextUtf8(r, i);
        row.append(cell.data(), cell.size());
        lengths[size_t(i)] = quint32(cell.size());
    }
    m_liveBytes -= rowEnd(r) - m_rows[size_t(r)].start;
    quint32 pos = quint32(m_arena.size());
    m_arena.append(row);
    m_rows[size_t(r)].start = pos;
    for (int i = 0; i < m_cols; ++i) {
        pos += lengths[size_t(i)];
        m_ends[size_t(r) * size_t(m_cols) + size_t(i)] = pos;
    }
    m_liveBytes += row.size();
    // The replaced text may have been one of the longest; the header row is measured apart.
    if (r > 0)
        m_candidatesDirty = true;
    maybeCompact();

    if (m_inReset)
        return;
    if (r == 0) {
        emit headerDataChanged(Qt::Horizontal, c, c);
    } else {
        const QModelIndex idx = IndexOfRow(r, c);
        emit dataChanged(idx, idx, {Qt::DisplayRole});
    }
}

void FlexGridModel::SetRows(int n)
{
    n = std::max(n, 0);
    if (n == Rows())
        return;
    ResetScope scope(this);
    if (n > Rows()) {
        while (Rows() < n)
            appendEmptyRow();
        return;
    }
    for (int r = n; r < Rows(); ++r)
        m_liveBytes -= rowEnd(r) - m_rows[size_t(r)].start;
    if (!m_cellColours.isEmpty()) {
        for (auto it = m_cellColours.begin(); it != m_cellColours.end();) {
            if (int(it.key() >> 32) >= n)
                it = m_cellColours.erase(it);
            else
                ++it;
        }
    }
    m_rows.resize(size_t(n));
    m_ends.resize(size_t(n) * size_t(m_cols));
    if (n <= 1) {
        for (auto &v : m_candidates)
            v.clear();
        std::fill(m_candidateMin.begin(), m_candidateMin.end(), 0);
        m_candidatesDirty = false;
    } else {
        m_candidatesDirty = true;
    }
    maybeCompact();
}

void FlexGridModel::SetCols(int n)
{
    n = std::max(n, 0);
    if (n == m_cols)
        return;
    ResetScope scope(this);
    QByteArray arena;
    arena.reserve(m_liveBytes);
    std::vector<quint32> ends;
    ends.reserve(m_rows.size() * size_t(n));
    for (int r = 0; r < Rows(); ++r) {
        const quint32 start = quint32(arena.size());
        for (int c = 0; c < n; ++c) {
            if (c < m_cols) {
                const QByteArrayView cell = TextUtf8(r, c);
                arena.append(cell.data(), cell.size());
            }
            ends.push_back(quint32(arena.size()));
        }
        m_rows[size_t(r)].start = start;
    }
    m_arena = std::move(arena);
    m_liveBytes = m_arena.size();
    m_ends = std::move(ends);
    m_cols = n;
    if (!m_cellColours.isEmpty()) {
        for (auto it = m_cellColours.begin(); it != m_cellColours.end();) {
            if (int(it.key() & 0xFFFFFFFFu) >= n)
                it = m_cellColours.erase(it);
            else
                ++it;
        }
    }
    m_comboLists.resize(size_t(n));
    m_comboMaps.resize(size_t(n));
    m_alignments.resize(size_t(n), 9);
    m_candidates.assign(size_t(n), {});
    m_candidateMin.assign(size_t(n), 0);
    m_candidatesDirty = Rows() > 1;
}

void FlexGridModel::ClearText()
{
    ResetScope scope(this);
    m_arena.clear();
    m_arena.squeeze();
    m_liveBytes = 0;
    std::fill(m_ends.begin(), m_ends.end(), 0u);
    for (RowInfo &info : m_rows) {
        info.start = 0;
        info.colour = 0;
    }
    m_cellColours.clear();
    for (auto &v : m_candidates)
        v.clear();
    std::fill(m_candidateMin.begin(), m_candidateMin.end(), 0);
    m_candidatesDirty = false;
}

void FlexGridModel::maybeCompact()
{
    const qsizetype garbage = m_arena.size() - m_liveBytes;
    if (garbage > 4096 && garbage > m_liveBytes)
        compact();
}

// Moves the rows' text down over the garbage in place, in arena order, so that no text is
// overwritten before it has moved; the arena keeps its capacity for the next fill.
void FlexGridModel::compact()
{
    std::vector<int> order(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(),
              [this](int a, int b) { return m_rows[size_t(a)].start < m_rows[size_t(b)].start; });
    char *data = m_arena.data();
    quint32 pos = 0;
    for (int r : order) {
        const quint32 s = m_rows[size_t(r)].start;
        const quint32 e = rowEnd(r);
        if (s != pos)
            std::memmove(data + pos, data + s, size_t(e - s));
        m_rows[size_t(r)].start = pos;
        for (int c = 0; c < m_cols; ++c) {
            quint32 &end = m_ends[size_t(r) * size_t(m_cols) + size_t(c)];
            end = end - s + pos;
        }
        pos += e - s;
    }
    m_arena.resize(pos);
    m_candidatesDirty = Rows() > 1;
}

// ---- longest texts, for AutoSize ---------------------------------------------------------

void FlexGridModel::noteCandidate(int c, quint32 off, quint32 len) const
{
    std::vector<Candidate> &v = m_candidates[size_t(c)];
    if (len == 0 || (int(v.size()) == kCandidates && len <= m_candidateMin[size_t(c)]))
        return;
    const QByteArrayView text(m_arena.constData() + off, qsizetype(len));
    for (const Candidate &k : v) {
        if (k.len == len && std::memcmp(m_arena.constData() + k.off, text.data(), len) == 0)
            return;
    }
    if (int(v.size()) < kCandidates) {
        v.push_back({off, len});
    } else {
        auto smallest = std::min_element(v.begin(), v.end(),
                                         [](const Candidate &a, const Candidate &b) { return a.len < b.len; });
        *smallest = {off, len};
    }
    quint32 minLen = v.front().len;
    for (const Candidate &k : v)
        minLen = std::min(minLen, k.len);
    m_candidateMin[size_t(c)] = minLen;
}

void FlexGridModel::rebuildCandidates() const
{
    for (auto &v : m_candidates)
        v.clear();
    std::fill(m_candidateMin.begin(), m_candidateMin.end(), 0);
    for (int r = 1; r < Rows(); ++r) {
        for (int c = 0; c < m_cols; ++c) {
            const quint32 s = cellStart(r, c);
            noteCandidate(c, s, m_ends[size_t(r) * size_t(m_cols) + size_t(c)] - s);
        }
    }
    m_candidatesDirty = false;
}

QList<QString> FlexGridModel::LongestTexts(int c) const
{
    QList<QString> texts;
    if (c < 0 || c >= m_cols)
        return texts;
    if (m_candidatesDirty)
        rebuildCandidates();
    const auto &map = m_comboMaps[size_t(c)];
    for (const Candidate &k : m_candidates[size_t(c)]) {
        QString text = QString::fromUtf8(m_arena.constData() + k.off, qsizetype(k.len));
        texts.push_back(map.value(text, text));
    }
    return texts;
}

// ---- colours, display lists, alignment ---------------------------------------------------

quint16 FlexGridModel::colourIndex(const Colour &colour)
{
    for (size_t i = 1; i < m_colours.size(); ++i) {
        if (m_colours[i].ole == colour.ole && m_colours[i].value == colour.value)
            return quint16(i);
    }
    if (m_colours.size() >= 0xFFFF)
        return 0;
    m_colours.push_back(colour);
    return quint16(m_colours.size() - 1);
}

void FlexGridModel::setColourIndex(int r1, int c1, int r2, int c2, quint16 index)
{
    if (r1 > r2)
        std::swap(r1, r2);
    if (c1 > c2)
        std::swap(c1, c2);
    r1 = std::max(r1, 0);
    r2 = std::min(r2, Rows() - 1);
    c1 = std::max(c1, 0);
    c2 = std::min(c2, m_cols - 1);
    if (r1 > r2 || c1 > c2)
        return;
    const bool wholeRow = c1 == 0 && c2 == m_cols - 1;
    for (int r = r1; r <= r2; ++r) {
        if (wholeRow) {
            m_rows[size_t(r)].colour = index;
            if (!m_cellColours.isEmpty()) {
                for (int c = 0; c < m_cols; ++c)
                    m_cellColours.remove(cellKey(r, c));
            }
        } else {
            for (int c = c1; c <= c2; ++c)
                m_cellColours.insert(cellKey(r, c), index);
        }
        if (!m_inReset && r > 0)
            emit dataChanged(IndexOfRow(r, c1), IndexOfRow(r, c2), {Qt::ForegroundRole});
    }
}

void FlexGridModel::SetForeColor(int r1, int c1, int r2, int c2, const QColor &colour)
{
    setColourIndex(r1, c1, r2, c2, colour.isValid() ? colourIndex({false, colour.rgba()}) : quint16(0));
}

void FlexGridModel::SetForeColorOle(int r1, int c1, int r2, int c2, quint32 ole)
{
    setColourIndex(r1, c1, r2, c2, colourIndex({true, ole}));
}

QColor FlexGridModel::resolve(quint16 index) const
{
    if (index == 0 || index >= m_colours.size())
        return {};
    const Colour &colour = m_colours[index];
    if (!colour.ole)
        return QColor::fromRgba(colour.value);
    return OleColorToQColor(colour.value, m_paletteSource ? m_paletteSource->palette() : QGuiApplication::palette());
}

bool FlexGridModel::IsGreyText(int r, int c) const
{
    if (!validCell(r, c))
        return false;
    quint16 index = m_rows[size_t(r)].colour;
    if (!m_cellColours.isEmpty())
        index = m_cellColours.value(cellKey(r, c), index);
    return index > 0 && index < m_colours.size() && m_colours[index].ole && m_colours[index].value == OleGrayText;
}

QColor FlexGridModel::ForeColor(int r, int c) const
{
    if (!validCell(r, c))
        return {};
    if (!m_cellColours.isEmpty()) {
        const auto it = m_cellColours.constFind(cellKey(r, c));
        if (it != m_cellColours.cend())
            return resolve(it.value());
    }
    return resolve(m_rows[size_t(r)].colour);
}

QString FlexGridModel::ComboList(int c) const
{
    return c >= 0 && c < m_cols ? m_comboLists[size_t(c)] : QString();
}

// Entries "#code;text" joined by "|" make a cell holding the code show the text; entries
// without "#" only list choices and change nothing in the display.
void FlexGridModel::SetComboList(int c, const QString &list)
{
    if (c < 0 || c >= m_cols)
        return;
    m_comboLists[size_t(c)] = list;
    QHash<QString, QString> map;
    const QStringList entries = list.split(QLatin1Char('|'));
    for (const QString &entry : entries) {
        if (!entry.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype semicolon = entry.indexOf(QLatin1Char(';'));
        const QString code = semicolon < 0 ? entry.mid(1) : entry.mid(1, semicolon - 1);
        const QString text = semicolon < 0 ? code : entry.mid(semicolon + 1);
        map.insert(code, text);
    }
    m_comboMaps[size_t(c)] = std::move(map);
    if (!m_inReset && Rows() > 1)
        emit dataChanged(index(0, c), index(rowCount() - 1, c), {Qt::DisplayRole});
}

int FlexGridModel::Alignment(int c) const
{
    return c >= 0 && c < m_cols ? m_alignments[size_t(c)] : 9;
}

void FlexGridModel::SetAlignment(int c, int flexAlignment)
{
    if (c < 0 || c >= m_cols)
        return;
    m_alignments[size_t(c)] = flexAlignment;
    if (!m_inReset && Rows() > 1)
        emit dataChanged(index(0, c), index(rowCount() - 1, c), {Qt::TextAlignmentRole});
}

qsizetype FlexGridModel::BytesPerRowBeyondText() const
{
    // Row record, outline link and the cell end offsets; a top-level row adds one list entry.
    return qsizetype(sizeof(RowInfo) + sizeof(qint32) + size_t(m_cols) * sizeof(quint32));
}
