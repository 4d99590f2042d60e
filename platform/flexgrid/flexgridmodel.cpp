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

quint32 FlexGridModel::cellStart(size_t o, int c) const
{
    return c == 0 ? m_ownStart[o] : m_ends[o * size_t(m_cols) + size_t(c) - 1];
}

quint32 FlexGridModel::rowEnd(size_t o) const
{
    return m_cols == 0 ? m_ownStart[o] : m_ends[o * size_t(m_cols) + size_t(m_cols) - 1];
}

QByteArrayView FlexGridModel::ownText(size_t o, int c) const
{
    const quint32 s = cellStart(o, c);
    return QByteArrayView(m_arena.constData() + s, qsizetype(cellEnd(o, c) - s));
}

QString FlexGridModel::Text(int r, int c) const
{
    if (!validCell(r, c))
        return {};
    const quint32 ref = m_refs[size_t(r)];
    if (ref & kOwn)
        return QString::fromUtf8(ownText(ref & ~kOwn, c));
    return m_source->Text(ref, c);
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

// A new own row whose cells start at `start`; the caller writes its end offsets.
size_t FlexGridModel::newOwnRow(quint32 start)
{
    const size_t o = m_ownStart.size();
    m_ownStart.push_back(start);
    m_refs.push_back(kOwn | quint32(o));
    m_meta.push_back(RowMeta{0, 0, 0});
    ++m_ownLive;
    placeLastRow();
    return o;
}

void FlexGridModel::appendEmptyRow()
{
    const quint32 start = quint32(m_arena.size());
    newOwnRow(start);
    m_ends.insert(m_ends.end(), size_t(m_cols), start);
}

void FlexGridModel::finishAppendedRow(int r)
{
    const size_t o = m_refs[size_t(r)] & ~kOwn;
    m_liveBytes += rowEnd(o) - m_ownStart[o];
    if (r > 0 && !m_candidatesDirty) {
        for (int c = 0; c < m_cols; ++c) {
            const quint32 s = cellStart(o, c);
            noteCandidate(c, s, cellEnd(o, c) - s);
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
    newOwnRow(quint32(start));
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
    newOwnRow(quint32(start));
    for (qsizetype c = 0; c < m_cols; ++c) {
        if (c < used)
            out = encoder.appendToBuffer(out, cells[c]);
        m_ends.push_back(quint32(out - base));
    }
    m_arena.resize(out - base);
    finishAppendedRow(r);
}

void FlexGridModel::AppendSourceRows(const std::shared_ptr<const FlexGridRowSource> &source,
                                     std::span<const FlexGridSourceRow> rows)
{
    if (!source || rows.empty())
        return;
    ResetScope scope(this);
    if (source != m_source && m_sourceRows > 0) {
        for (int r = 1; r < Rows() && m_sourceRows > 0; ++r)
            materialize(r);
    }
    m_source = source;
    ensureStructure();   // the rows so far, usually just the header
    const size_t first = m_refs.size();
    m_refs.resize(first + rows.size());
    m_meta.resize(first + rows.size());
    quint32 *ref = m_refs.data() + first;
    RowMeta *meta = m_meta.data() + first;
    // The outline is kept current as the rows go in, by the rule of buildStructure.
    int node = -1;
    int nodeLevel = 0;
    if (!m_topRows.empty() && (m_meta[size_t(m_topRows.back())].flags & kSubtotal)) {
        node = m_topRows.back();
        nodeLevel = m_meta[size_t(node)].level;
    }
    // Written without branches: whether a row is a top-level one, or a node, follows no pattern
    // the processor could guess.
    size_t tops = m_topRows.size();
    m_topRows.resize(tops + rows.size());
    int *top = m_topRows.data();
    int r = int(first);
    for (const FlexGridSourceRow &row : rows) {
        Q_ASSERT(row.position < kOwn);
        *ref++ = row.position & ~kOwn;
        *meta++ = RowMeta{kSourceColour, row.level, quint8(row.node ? kSubtotal : 0)};
        const bool isTop = !(node >= 0 && row.level > nodeLevel);
        top[tops] = r;
        tops += isTop;
        node = isTop ? (row.node ? r : -1) : node;
        nodeLevel = isTop ? row.level : nodeLevel;
        ++r;
    }
    m_topRows.resize(tops);
    m_sourceRows += qsizetype(rows.size());
}

// Turns a source row into an own row holding the same text, shape and colour, so that code can
// change its text.
void FlexGridModel::materialize(int r)
{
    const quint32 ref = m_refs[size_t(r)];
    if (ref & kOwn)
        return;
    QList<QString> cells;
    cells.reserve(m_cols);
    for (int c = 0; c < m_cols; ++c)
        cells.push_back(m_source->Text(ref, c));
    RowMeta meta = m_meta[size_t(r)];
    if (meta.colour == kSourceColour) {
        const quint32 ole = m_source->ForeColor(ref);
        meta.colour = ole == FlexGridRowSource::DefaultColour ? quint16(0) : colourIndex({true, ole});
    }
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    qsizetype room = 0;
    for (const QString &cell : cells)
        room += encoder.requiredSpace(cell.size());
    const qsizetype start = m_arena.size();
    m_arena.resize(start + room);
    char *const base = m_arena.data();
    char *out = base + start;
    const size_t o = m_ownStart.size();
    m_ownStart.push_back(quint32(start));
    for (const QString &cell : cells) {
        out = encoder.appendToBuffer(out, cell);
        m_ends.push_back(quint32(out - base));
    }
    m_arena.resize(out - base);
    m_refs[size_t(r)] = kOwn | quint32(o);
    m_meta[size_t(r)] = meta;
    ++m_ownLive;
    m_liveBytes += m_arena.size() - start;
    m_candidatesDirty = true;
    sourceRowsGone(1);
}

void FlexGridModel::sourceRowsGone(qsizetype n)
{
    m_sourceRows -= n;
    if (m_sourceRows <= 0) {
        m_sourceRows = 0;
        m_source.reset();   // the owner may now let its table go
    }
}

void FlexGridModel::SetText(int r, int c, QStringView text)
{
    if (!validCell(r, c))
        return;
    const QByteArray utf8 = text.toUtf8();
    if (!(m_refs[size_t(r)] & kOwn)) {
        if (m_source->Text(m_refs[size_t(r)], c) == text)
            return;
        materialize(r);
    }
    const size_t o = m_refs[size_t(r)] & ~kOwn;
    if (ownText(o, c) == QByteArrayView(utf8))
        return;
    // Rewrite the whole row at the end of the arena so its cells stay contiguous.
    QByteArray row;
    std::vector<quint32> lengths(static_cast<size_t>(m_cols));
    for (int i = 0; i < m_cols; ++i) {
        const QByteArrayView cell = i == c ? QByteArrayView(utf8) : ownText(o, i);
        row.append(cell.data(), cell.size());
        lengths[size_t(i)] = quint32(cell.size());
    }
    m_liveBytes -= rowEnd(o) - m_ownStart[o];
    quint32 pos = quint32(m_arena.size());
    m_arena.append(row);
    m_ownStart[o] = pos;
    for (int i = 0; i < m_cols; ++i) {
        pos += lengths[size_t(i)];
        m_ends[o * size_t(m_cols) + size_t(i)] = pos;
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
    // The rows kept or the rows dropped are counted, whichever are fewer (a refill keeps the
    // header only).
    auto ownBytes = [this](int first, int last, qsizetype &rows) {
        qsizetype bytes = 0;
        for (int r = first; r < last; ++r) {
            const quint32 ref = m_refs[size_t(r)];
            if (ref & kOwn) {
                const size_t o = ref & ~kOwn;
                bytes += rowEnd(o) - m_ownStart[o];
                ++rows;
            }
        }
        return bytes;
    };
    qsizetype ownRows = 0;
    if (n < Rows() - n) {
        m_liveBytes = ownBytes(0, n, ownRows);
        m_ownLive = ownRows;
    } else {
        m_liveBytes -= ownBytes(n, Rows(), ownRows);
        m_ownLive -= ownRows;
    }
    const qsizetype sourceGone = m_sourceRows - (qsizetype(n) - m_ownLive);
    if (!m_cellColours.isEmpty()) {
        for (auto it = m_cellColours.begin(); it != m_cellColours.end();) {
            if (int(it.key() >> 32) >= n)
                it = m_cellColours.erase(it);
            else
                ++it;
        }
    }
    m_refs.resize(size_t(n));
    m_meta.resize(size_t(n));
    // The rows left keep their places.
    m_topRows.resize(size_t(std::lower_bound(m_topRows.cbegin(), m_topRows.cend(), n) - m_topRows.cbegin()));
    sourceRowsGone(sourceGone);
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
    compact(n);
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

// Every row becomes an own row with empty cells.
void FlexGridModel::ClearText()
{
    ResetScope scope(this);
    m_arena.clear();
    m_arena.squeeze();
    m_liveBytes = 0;
    m_ownStart.assign(m_refs.size(), 0);
    m_ends.assign(m_refs.size() * size_t(m_cols), 0);
    for (size_t r = 0; r < m_refs.size(); ++r) {
        m_refs[r] = kOwn | quint32(r);
        m_meta[r].colour = 0;
    }
    m_ownLive = qsizetype(m_refs.size());
    sourceRowsGone(m_sourceRows);
    m_cellColours.clear();
    for (auto &v : m_candidates)
        v.clear();
    std::fill(m_candidateMin.begin(), m_candidateMin.end(), 0);
    m_candidatesDirty = false;
}

void FlexGridModel::maybeCompact()
{
    const qsizetype garbage = m_arena.size() - m_liveBytes;
    const qsizetype deadRows = qsizetype(m_ownStart.size()) - m_ownLive;
    if ((garbage > 4096 && garbage > m_liveBytes) || (deadRows > 64 && deadRows > m_ownLive))
        compact(m_cols);
}

// Rewrites the own rows still in use, in row order and with `cols` cells each, into fresh
// tables; rows no longer in use and replaced text are left behind.
void FlexGridModel::compact(int cols)
{
    QByteArray arena;
    arena.reserve(m_liveBytes);
    std::vector<quint32> starts;
    starts.reserve(size_t(m_ownLive));
    std::vector<quint32> ends;
    ends.reserve(size_t(m_ownLive) * size_t(cols));
    for (quint32 &ref : m_refs) {
        if (!(ref & kOwn))
            continue;
        const size_t o = ref & ~kOwn;
        const quint32 start = quint32(arena.size());
        for (int c = 0; c < cols; ++c) {
            if (c < m_cols) {
                const QByteArrayView cell = ownText(o, c);
                arena.append(cell.data(), cell.size());
            }
            ends.push_back(quint32(arena.size()));
        }
        ref = kOwn | quint32(starts.size());
        starts.push_back(start);
    }
    m_arena = std::move(arena);
    m_liveBytes = m_arena.size();
    m_ownStart = std::move(starts);
    m_ends = std::move(ends);
    m_ownLive = qsizetype(m_ownStart.size());
    m_cols = cols;
    m_candidatesDirty = Rows() > 1;
}

// ---- colours, display lists, alignment ---------------------------------------------------

quint16 FlexGridModel::colourIndex(const Colour &colour)
{
    for (size_t i = 1; i < m_colours.size(); ++i) {
        if (m_colours[i].ole == colour.ole && m_colours[i].value == colour.value)
            return quint16(i);
    }
    if (m_colours.size() >= kSourceColour)
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
            m_meta[size_t(r)].colour = index;
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

QColor FlexGridModel::resolveOle(quint32 ole) const
{
    return OleColorToQColor(ole, m_paletteSource ? m_paletteSource->palette() : QGuiApplication::palette());
}

QColor FlexGridModel::resolve(quint16 index) const
{
    if (index == 0 || index >= m_colours.size())
        return {};
    const Colour &colour = m_colours[index];
    if (!colour.ole)
        return QColor::fromRgba(colour.value);
    return resolveOle(colour.value);
}

// The colour index that applies to a cell: its own, else its row's (kSourceColour: the source's).
quint16 FlexGridModel::colourAt(int r, int c) const
{
    if (!m_cellColours.isEmpty()) {
        const auto it = m_cellColours.constFind(cellKey(r, c));
        if (it != m_cellColours.cend())
            return it.value();
    }
    return m_meta[size_t(r)].colour;
}

bool FlexGridModel::IsGreyText(int r, int c) const
{
    if (!validCell(r, c))
        return false;
    const quint16 index = colourAt(r, c);
    if (index == kSourceColour)
        return m_source->ForeColor(m_refs[size_t(r)]) == OleGrayText;
    return index > 0 && index < m_colours.size() && m_colours[index].ole && m_colours[index].value == OleGrayText;
}

QColor FlexGridModel::ForeColor(int r, int c) const
{
    if (!validCell(r, c))
        return {};
    const quint16 index = colourAt(r, c);
    if (index == kSourceColour) {
        const quint32 ole = m_source->ForeColor(m_refs[size_t(r)]);
        return ole == FlexGridRowSource::DefaultColour ? QColor() : resolveOle(ole);
    }
    return resolve(index);
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
    // Reference and row state; a top-level row adds one list entry.
    return qsizetype(sizeof(quint32) + sizeof(RowMeta));
}

qsizetype FlexGridModel::RowBytes() const
{
    return qsizetype(m_refs.capacity() * sizeof(quint32) + m_meta.capacity() * sizeof(RowMeta)
                     + m_topRows.capacity() * sizeof(int)
                     + m_ownStart.capacity() * sizeof(quint32) + m_ends.capacity() * sizeof(quint32))
           + m_arena.capacity();
}
