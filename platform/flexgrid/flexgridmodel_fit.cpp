// FlexGridModel, part three: the longest texts of columns, for fitting their widths.
#include "flexgridmodel.h"

#include <algorithm>
#include <cstring>

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
    m_candidatesDirty = false;
    if (m_ownLive <= 1 && !m_refs.empty() && (m_refs[0] & kOwn))
        return;   // the header is the only own row, and it is measured apart
    for (int r = 1; r < Rows(); ++r) {
        const quint32 ref = m_refs[size_t(r)];
        if (!(ref & kOwn))
            continue;
        const size_t o = ref & ~kOwn;
        for (int c = 0; c < m_cols; ++c) {
            const quint32 s = cellStart(o, c);
            noteCandidate(c, s, cellEnd(o, c) - s);
        }
    }
    m_candidatesDirty = false;
}

// The own rows' candidates and the source's for each run of source rows, of which the longest
// distinct ones are kept.
std::vector<QList<QString>> FlexGridModel::LongestTexts(std::span<const int> cols) const
{
    std::vector<QList<QString>> result(cols.size());
    if (m_candidatesDirty)
        rebuildCandidates();
    std::vector<std::vector<std::pair<qsizetype, QString>>> found(cols.size());   // UTF-8 length, text
    for (size_t i = 0; i < cols.size(); ++i) {
        if (cols[i] < 0 || cols[i] >= m_cols)
            continue;
        for (const Candidate &k : m_candidates[size_t(cols[i])])
            found[i].emplace_back(qsizetype(k.len), QString::fromUtf8(m_arena.constData() + k.off, qsizetype(k.len)));
    }
    if (m_sourceRows > 0) {
        std::vector<int> valid;
        std::vector<size_t> slot;
        for (size_t i = 0; i < cols.size(); ++i)
            if (cols[i] >= 0 && cols[i] < m_cols) {
                valid.push_back(cols[i]);
                slot.push_back(i);
            }
        const size_t rows = m_refs.size();
        // Usually the header is the only own row and every row after it one run.
        const bool oneRun = m_ownLive == 1 && !m_refs.empty() && (m_refs[0] & kOwn);
        size_t r = 1;
        while (r < rows && !valid.empty()) {
            if (m_refs[r] & kOwn) {
                ++r;
                continue;
            }
            const size_t first = r;
            if (oneRun)
                r = rows;
            while (r < rows && !(m_refs[r] & kOwn))
                ++r;
            const std::vector<QList<QString>> run
                = m_source->LongestTexts(valid, std::span<const quint32>(m_refs.data() + first, r - first), kCandidates);
            for (size_t v = 0; v < valid.size() && v < run.size(); ++v)
                for (const QString &text : run[v])
                    found[slot[v]].emplace_back(text.toUtf8().size(), text);
        }
        for (auto &f : found)
            std::stable_sort(f.begin(), f.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    }
    for (size_t i = 0; i < cols.size(); ++i) {
        if (cols[i] < 0 || cols[i] >= m_cols)
            continue;
        const auto &map = m_comboMaps[size_t(cols[i])];
        QList<QString> &texts = result[i];
        for (const auto &[len, text] : found[i]) {
            if (texts.size() == kCandidates)
                break;
            const QString shown = map.value(text, text);
            if (len == 0 || texts.contains(shown))
                continue;
            texts.push_back(shown);
        }
    }
    return result;
}
