// PrinterRows, part two: the longest texts of columns among the rows shown, for fitting the
// columns' widths without reading every shown cell of a long list.
#include "printerrows.h"

#include "oncores.h"
#include "printergrid.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <charconv>
#include <cstring>

namespace printerlist {

namespace {

// Below this many rows the shown cells are read one by one; above it each column's longest cells
// over the whole recordset are looked up among the rows shown, longest first.
constexpr size_t ReadDirectlyBelow = 32768;
// Looks at a column's longest cells (by binary search among the positions) before every shown
// cell's length is looked at instead; as many of the longest cells are kept.
constexpr size_t LookupsInOrder = 4096;
constexpr size_t TopCells = LookupsInOrder;
// Cell lengths are kept in a byte; this one means "as long or longer: read it".
constexpr quint8 LongCell = 255;
// Parts the shown cells are read in when they are read one by one.
constexpr size_t ReadParts = 8;

// The longest distinct texts met so far, by UTF-8 length; of texts as long as the shortest kept,
// the first met stays.
class Longest {
public:
    explicit Longest(int count) : m_count(size_t(std::max(count, 0))) {}

    bool Full() const { return m_texts.size() >= m_count; }
    size_t Size() const { return m_texts.size(); }
    size_t Shortest() const { return m_min; }
    // Whether a text of this length could still get in.
    bool Wants(size_t length) const { return length > 0 && (!Full() || length > m_min); }

    void Offer(const char *data, size_t length)
    {
        if (!Wants(length))
            return;
        for (const std::string &t : m_texts)
            if (t.size() == length && std::memcmp(t.data(), data, length) == 0)
                return;
        if (!Full()) {
            m_texts.emplace_back(data, length);
        } else {
            auto shortest = std::min_element(m_texts.begin(), m_texts.end(),
                                             [](const std::string &a, const std::string &b) { return a.size() < b.size(); });
            shortest->assign(data, length);
        }
        m_min = m_texts.front().size();
        for (const std::string &t : m_texts)
            m_min = std::min(m_min, t.size());
    }

    QList<QString> Texts() const
    {
        std::vector<const std::string *> sorted;
        for (const std::string &t : m_texts)
            sorted.push_back(&t);
        std::stable_sort(sorted.begin(), sorted.end(), [](const std::string *a, const std::string *b) { return a->size() > b->size(); });
        QList<QString> out;
        for (const std::string *t : sorted)
            out.push_back(QString::fromUtf8(t->data(), qsizetype(t->size())));
        return out;
    }

private:
    size_t m_count;
    size_t m_min = 0;
    std::vector<std::string> m_texts;
};

} // namespace

size_t PrinterRows::cellLength(const CellSource &s, qsizetype r) const
{
    switch (s.kind) {
    case CellSource::Text:
        return size_t(text(s.field, r).size());
    case CellSource::Indented:
        return size_t(AliasIndentLength + text(s.field, r).size());
    case CellSource::Number: {
        const qint64 v = integer(s.field, r);
        quint64 rest = v < 0 ? 0 - quint64(v) : quint64(v);
        size_t digits = v < 0 ? 2 : 1;
        while (rest >= 10) {
            rest /= 10;
            ++digits;
        }
        return digits;
    }
    case CellSource::Empty:
        break;
    }
    return 0;
}

QByteArrayView PrinterRows::cellBytes(const CellSource &s, qsizetype r, std::string &scratch) const
{
    switch (s.kind) {
    case CellSource::Text: {
        const QUtf8StringView v = text(s.field, r);
        return QByteArrayView(v.data(), v.size());
    }
    case CellSource::Indented: {
        const QUtf8StringView v = text(s.field, r);
        scratch.assign(AliasIndent, size_t(AliasIndentLength));
        scratch.append(v.data(), size_t(v.size()));
        return QByteArrayView(scratch.data(), qsizetype(scratch.size()));
    }
    case CellSource::Number: {
        scratch.resize(24);
        const char *end = std::to_chars(scratch.data(), scratch.data() + scratch.size(), integer(s.field, r)).ptr;
        return QByteArrayView(scratch.data(), end - scratch.data());
    }
    case CellSource::Empty:
        break;
    }
    return {};
}

// Every shown cell of the columns, one by one: a row's cells are read together, where they lie
// close to each other in the recordset.
std::vector<QList<QString>> PrinterRows::longestIn(std::span<const int> cols, std::span<const quint32> positions, int count) const
{
    std::vector<std::array<CellSource, 2>> sources;
    std::vector<Longest> best;
    for (const int col : cols) {
        sources.push_back({cellSource(col, false), cellSource(col, true)});
        best.emplace_back(count);
    }
    std::string scratch;
    for (const quint32 position : positions) {
        const qsizetype r = qsizetype(position >> 1);
        for (size_t i = 0; i < sources.size(); ++i) {
            const CellSource &s = sources[i][position & 1u];
            if (s.kind == CellSource::Empty || !best[i].Wants(cellLength(s, r)))
                continue;
            const QByteArrayView bytes = cellBytes(s, r, scratch);
            best[i].Offer(bytes.data(), size_t(bytes.size()));
        }
    }
    std::vector<QList<QString>> texts;
    for (const Longest &b : best)
        texts.push_back(b.Texts());
    return texts;
}

// Two passes over the recordset: the lengths (and whether the column has only a few distinct
// texts), then the longest cells placed in order of length, record order within a length.
void PrinterRows::buildTop(int col, ColumnTop &top) const
{
    const CellSource sources[2] = {cellSource(col, false), cellSource(col, true)};
    const qsizetype n = RecordCount();
    auto forEachCell = [&](const auto &visit) {
        for (qsizetype r = 0; r < n; ++r) {
            if ((r & 0xFFFF) == 0 && m_stop)
                return;
            if (sources[0].kind != CellSource::Empty)
                visit(PrinterPosition(r), sources[0], r);
            if (sources[1].kind != CellSource::Empty && m_fAliasKey >= 0 && !m_rs->IsNullAt(m_fAliasKey, r))
                visit(MergedPosition(r), sources[1], r);
        }
    };
    std::vector<quint32> perLength;
    std::vector<std::string> &distinct = top.values;
    top.byRecord = sources[1].kind == CellSource::Empty;
    top.valueOf.assign(size_t(n) * (top.byRecord ? 1 : 2), NoValue);
    top.lengthOf.assign(size_t(n) * 2, 0);
    auto slot = [&top](quint32 position) { return top.byRecord ? position >> 1 : position; };
    bool many = false;
    size_t cells = 0;
    std::string scratch;
    forEachCell([&](quint32 position, const CellSource &s, qsizetype r) {
        const size_t len = cellLength(s, r);
        if (len == 0)
            return;
        top.lengthOf[position] = quint8(std::min<size_t>(len, LongCell));
        if (len >= perLength.size())
            perLength.resize(len + 1, 0);
        ++perLength[len];
        ++cells;
        if (many)
            return;
        const QByteArrayView bytes = cellBytes(s, r, scratch);
        for (size_t d = 0; d < distinct.size(); ++d)
            if (distinct[d].size() == len && std::memcmp(distinct[d].data(), bytes.data(), len) == 0) {
                top.valueOf[slot(position)] = quint8(d);
                return;
            }
        top.valueOf[slot(position)] = quint8(distinct.size());
        distinct.emplace_back(bytes.data(), len);
        many = distinct.size() > size_t(DistinctCap);
    });
    if (!many) {
        top.complete = true;
        std::vector<quint8>().swap(top.lengthOf);   // given back: assigning {} would keep the room
        if (distinct.empty())
            std::vector<quint8>().swap(top.valueOf);   // no text at all
        return;   // the distinct texts answer every fit; no longest cells needed
    }
    distinct.clear();
    std::vector<quint8>().swap(top.valueOf);

    // Whole lengths from the longest down while they fit; the length that does not, in part.
    size_t kept = 0, cut = 0, atCut = 0;
    for (size_t len = perLength.size(); len-- > 1 && kept < TopCells;) {
        if (perLength[len] == 0)
            continue;
        cut = len;
        atCut = std::min<size_t>(perLength[len], TopCells - kept);
        kept += atCut;
    }
    top.positions.assign(kept, 0);
    top.lastLength = cut;
    top.complete = kept == cells;
    // Where each length starts, longest first.
    std::vector<size_t> next(perLength.size(), 0);
    size_t at = 0;
    for (size_t len = perLength.size(); len-- > cut && cut > 0;) {
        next[len] = at;
        at += len == cut ? atCut : perLength[len];
    }
    size_t placedAtCut = 0;
    forEachCell([&](quint32 position, const CellSource &s, qsizetype r) {
        const size_t len = cellLength(s, r);
        if (len == 0 || len < cut)
            return;
        if (len == cut) {
            if (placedAtCut == atCut)
                return;
            ++placedAtCut;
        }
        top.positions[next[len]++] = position;
    });
}

// Which of the column's few texts the rows shown have, stopping once they have all of them.
QList<QString> PrinterRows::fromValues(const ColumnTop &top, std::span<const quint32> positions, int count) const
{
    const quint64 all = top.values.size() >= 64 ? ~quint64(0) : (quint64(1) << top.values.size()) - 1;
    quint64 seen = 0;
    const quint8 *valueOf = top.valueOf.data();
    for (const quint32 position : positions) {
        const quint8 v = !top.byRecord ? valueOf[position] : (position & 1u) ? NoValue : valueOf[position >> 1];
        if (v != NoValue && !((seen >> v) & 1u)) {
            seen |= quint64(1) << v;
            if (seen == all)
                break;
        }
    }
    Longest best(count);
    for (size_t v = 0; v < top.values.size(); ++v)
        if ((seen >> v) & 1u)
            best.Offer(top.values[v].data(), top.values[v].size());
    return best.Texts();
}

// The column's longest cells, longest first, looked up among the rows shown. Settled once the
// rest cannot be longer; RanOut when the kept cells end before that, OutOfLookups after that many
// looks.
template <typename Shown>
PrinterRows::FitFrom PrinterRows::fromTop(int col, const ColumnTop &top, int count, const Shown &shown, size_t lookups,
                                          QList<QString> &texts) const
{
    const CellSource sources[2] = {cellSource(col, false), cellSource(col, true)};
    Longest best(count);
    std::string scratch;
    bool last = true;   // every kept cell was looked at
    for (const quint32 position : top.positions) {
        const CellSource &s = sources[position & 1u];
        const qsizetype r = qsizetype(position >> 1);
        if (best.Full() && cellLength(s, r) <= best.Shortest()) {
            last = false;
            break;   // nothing after it is longer
        }
        if (lookups-- == 0)
            return FitFrom::OutOfLookups;
        if (!shown(position))
            continue;
        const QByteArrayView bytes = cellBytes(s, r, scratch);
        best.Offer(bytes.data(), size_t(bytes.size()));
    }
    // Cells not kept are no longer than the last kept one.
    if (!top.complete && last && !(best.Full() && best.Shortest() >= top.lastLength))
        return FitFrom::RanOut;
    texts = best.Texts();
    return FitFrom::Settled;
}

// Every shown cell of the column by its length, kept per position: the text is read only for the
// few cells long enough to count.
QList<QString> PrinterRows::fromLengths(int col, const ColumnTop &top, std::span<const quint32> positions, int count) const
{
    const CellSource sources[2] = {cellSource(col, false), cellSource(col, true)};
    const quint8 *lengthOf = top.lengthOf.data();
    Longest best(count);
    std::string scratch;
    for (const quint32 position : positions) {
        const quint8 l = lengthOf[position];
        if (l == 0 || !best.Wants(l == LongCell ? cellLength(sources[position & 1u], qsizetype(position >> 1)) : l))
            continue;
        const QByteArrayView bytes = cellBytes(sources[position & 1u], qsizetype(position >> 1), scratch);
        best.Offer(bytes.data(), size_t(bytes.size()));
    }
    return best.Texts();
}

// Every shown cell of the columns, the positions cut into parts that the cores take; each part's
// longest texts are offered again in the parts' order, which keeps the texts that one pass in
// order would keep.
std::vector<QList<QString>> PrinterRows::readAll(std::span<const int> cols, std::span<const quint32> positions, int count) const
{
    const size_t parts = positions.size() < ReadDirectlyBelow ? 1 : ReadParts;
    std::vector<std::vector<QList<QString>>> partTexts(parts);
    OnCores(parts, [&](size_t part) {
        const size_t first = positions.size() * part / parts, last = positions.size() * (part + 1) / parts;
        partTexts[part] = longestIn(cols, positions.subspan(first, last - first), count);
    });
    std::vector<QList<QString>> out(cols.size());
    for (size_t i = 0; i < cols.size(); ++i) {
        Longest best(count);
        for (const std::vector<QList<QString>> &part : partTexts)
            for (const QString &text : part[i]) {
                const QByteArray bytes = text.toUtf8();
                best.Offer(bytes.constData(), size_t(bytes.size()));
            }
        out[i] = best.Texts();
    }
    return out;
}

void PrinterRows::startTops(std::span<const int> cols) const
{
    const std::vector<int> wanted(cols.begin(), cols.end());
    try {
        m_making = std::async(std::launch::async, [this, wanted] {
            Tops tops(static_cast<size_t>(ColumnCount));
            for (const int col : wanted) {
                tops[size_t(col)] = std::make_unique<ColumnTop>();
                buildTop(col, *tops[size_t(col)]);
            }
            return tops;
        });
    } catch (const std::system_error &) {
        // No thread to be had: the fit makes them itself.
    }
}

// Waits for tops under way and keeps them; without them (no memory) the fit makes what it needs.
void PrinterRows::takeTops() const
{
    if (!m_making.valid())
        return;
    try {
        m_tops = m_making.get();
    } catch (const std::bad_alloc &) {
        m_tops.clear();
        m_tops.resize(size_t(ColumnCount));   // not to be started again: the fit makes what it needs
    }
    if (m_stop) {
        m_tops.clear();   // left half made
        m_stop = false;
    }
}

void PrinterRows::StopMaking()
{
    if (!m_making.valid())
        return;
    m_stop = true;
    takeTops();
}

std::vector<QList<QString>> PrinterRows::LongestTexts(std::span<const int> cols, std::span<const quint32> positions, int count) const
{
    if (positions.size() < ReadDirectlyBelow)
        return readAll(cols, positions, count);
    std::vector<QList<QString>> out(cols.size());
    auto hasCells = [this](int col) {
        return col >= 0 && col < ColumnCount
               && (cellSource(col, false).kind != CellSource::Empty || cellSource(col, true).kind != CellSource::Empty);
    };
    // What the columns need, made once per recordset: on a thread of its own the first
    // time, while this fit reads the shown cells.
    takeTops();
    if (m_tops.empty()) {
        std::vector<int> wanted;
        for (const int col : cols)
            if (hasCells(col))
                wanted.push_back(col);
        std::vector<QList<QString>> read = readAll(cols, positions, count);
        startTops(wanted);
        return read;
    }
    if (m_tops.size() < size_t(ColumnCount))
        m_tops.resize(size_t(ColumnCount));
    std::vector<int> missing;
    for (const int col : cols)
        if (hasCells(col) && !m_tops[size_t(col)]) {
            m_tops[size_t(col)] = std::make_unique<ColumnTop>();
            missing.push_back(col);
        }
    OnCores(missing.size(), [&](size_t i) { buildTop(missing[i], *m_tops[size_t(missing[i])]); });

    // The column's longest cells looked up among the rows shown, by binary search while the
    // positions are in order (as a fill leaves them) and a few looks settle it; else the
    // length of every shown cell.
    const bool ordered = std::is_sorted(positions.begin(), positions.end());
    auto inOrder = [&](quint32 p) { return std::binary_search(positions.begin(), positions.end(), p); };
    OnCores(cols.size(), [&](size_t i) {
        if (!hasCells(cols[i]))
            return;
        const ColumnTop &top = *m_tops[size_t(cols[i])];
        if (!top.values.empty())
            out[i] = fromValues(top, positions, count);
        else if (top.lengthOf.empty())
            return;   // no cell of the list has text
        else if (!ordered || fromTop(cols[i], top, count, inOrder, LookupsInOrder, out[i]) != FitFrom::Settled)
            out[i] = fromLengths(cols[i], top, positions, count);
    });
    return out;
}

} // namespace printerlist
