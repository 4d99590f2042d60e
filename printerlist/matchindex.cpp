#include "matchindex.h"

#include "oncores.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace printerlist {

namespace {

// Below this many records (or candidates) a second thread costs more than it saves.
constexpr qsizetype ParallelFrom = 65536;
// A longer search is cut into parts of about this many records, at most MaxParts.
constexpr qsizetype PartRecords = 16384;
constexpr qsizetype MaxParts = 64;
// Candidates this many records apart or closer are searched together with the records between.
constexpr quint32 NearGap = 8;

inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// Runs work(first, last, out) over [0, count) in contiguous parts that the cores take as they
// come free, and appends the parts' results to `out` in order, so that the answer does not depend
// on the threads.
template <typename Work>
void inSlices(qsizetype count, std::vector<quint32> &out, std::vector<std::vector<quint32>> &parts, const Work &work)
{
    out.clear();
    if (count < ParallelFrom) {
        work(0, count, out);
        return;
    }
    const size_t n = size_t(std::min(MaxParts, count / PartRecords));
    if (parts.size() < n)
        parts.resize(n);   // never smaller: each part keeps its room for the next search
    auto bound = [&](size_t p) { return count * qsizetype(p) / qsizetype(n); };
    OnCores(n, [&](size_t p) {
        parts[p].clear();
        work(bound(p), bound(p + 1), parts[p]);
    });
    for (size_t p = 0; p < n; ++p)
        out.insert(out.end(), parts[p].begin(), parts[p].end());
}

} // namespace

namespace {

__attribute__((always_inline)) inline bool middleMatches(const char *p, const char *needle, qsizetype m)
{
    for (qsizetype k = 1; k + 1 < m; ++k)
        if (p[k] != needle[k])
            return false;
    return true;
}

inline const char *findScalar(const char *p, const char *stop, const char *needle, qsizetype m)
{
    for (; p < stop; ++p)
        if (p[0] == needle[0] && p[m - 1] == needle[m - 1] && middleMatches(p, needle, m))
            return p;
    return nullptr;
}

#if defined(__x86_64__) && defined(__GNUC__)
// Blocks of WIDTH places; the last places once more as one block that ends where the text does
// (places looked at twice did not match the first time either).
#define QM6_BLOCK_SEARCH(NAME, TARGET, VEC, WIDTH, SET1, LOADU, CMPEQ, AND, MOVEMASK)                                     \
    TARGET const char *NAME(const char *hay, const char *end, const char *needle, qsizetype m)                          \
    {                                                                                                                    \
        const char *const stop = end - m + 1;                                                                            \
        const VEC first = SET1(needle[0]);                                                                               \
        const VEC last = SET1(needle[m - 1]);                                                                            \
        const char *p = hay;                                                                                             \
        for (;;) {                                                                                                       \
            const char *at = p;                                                                                          \
            if (stop - p < WIDTH) {                                                                                      \
                if (p >= stop || end - hay < m + WIDTH - 1)                                                              \
                    break;                                                                                               \
                at = stop - WIDTH;                                                                                       \
            }                                                                                                            \
            const VEC a = LOADU(reinterpret_cast<const VEC *>(at));                                                      \
            const VEC b = LOADU(reinterpret_cast<const VEC *>(at + m - 1));                                              \
            unsigned mask = unsigned(MOVEMASK(AND(CMPEQ(a, first), CMPEQ(b, last))));                                    \
            while (mask) {                                                                                               \
                const int bit = __builtin_ctz(mask);                                                                     \
                if (middleMatches(at + bit, needle, m))                                                                  \
                    return at + bit;                                                                                     \
                mask &= mask - 1;                                                                                        \
            }                                                                                                            \
            if (at != p)                                                                                                 \
                return nullptr;                                                                                          \
            p += WIDTH;                                                                                                  \
        }                                                                                                                \
        return findScalar(p, stop, needle, m);                                                                           \
    }
QM6_BLOCK_SEARCH(findSse2, , __m128i, 16, _mm_set1_epi8, _mm_loadu_si128, _mm_cmpeq_epi8, _mm_and_si128, _mm_movemask_epi8)
QM6_BLOCK_SEARCH(findAvx2, __attribute__((target("avx2"))), __m256i, 32, _mm256_set1_epi8, _mm256_loadu_si256, _mm256_cmpeq_epi8,
                 _mm256_and_si256, _mm256_movemask_epi8)
#undef QM6_BLOCK_SEARCH
#endif

} // namespace

// First and last byte of the needle compared at 16 or 32 places at once (the width the processor
// has), the bytes between only where both match.
const char *FindBytes(const char *hay, const char *end, const char *needle, qsizetype m)
{
    if (m <= 0)
        return hay;
    if (end - hay < m)
        return nullptr;
    if (m == 1)
        return static_cast<const char *>(std::memchr(hay, needle[0], size_t(end - hay)));
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? findAvx2(hay, end, needle, m) : findSse2(hay, end, needle, m);
#else
    return findScalar(hay, end - m + 1, needle, m);
#endif
}

bool ContainsIgnoringCase(QUtf8StringView hay, QUtf8StringView needleLower, const QString &needleText)
{
    const qsizetype n = hay.size(), m = needleLower.size();
    if (m == 0)
        return true;
    const char *h = hay.data();
    const char *nd = needleLower.data();
    const char first = nd[0];
    const char firstUpper = (first >= 'a' && first <= 'z') ? char(first - 32) : first;
    bool nonAscii = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = h[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            nonAscii = true;
            continue;
        }
        if ((c == first || c == firstUpper) && i + m <= n) {
            qsizetype k = 1;
            while (k < m && asciiLower(h[i + k]) == nd[k])
                ++k;
            if (k == m)
                return true;
        }
    }
    // Letters outside ASCII can fold onto ASCII ones (the Kelvin sign onto "k"): let Qt decide.
    if (nonAscii)
        return QString::fromUtf8(h, n).contains(needleText, Qt::CaseInsensitive);
    return false;
}

MatchIndex::MatchIndex(const QM6Recordset &recordset, int fName, int fPort, int fHost)
    : m_rs(recordset), m_fields{fName, fPort, fHost}
{
    // A field the recordset lacks, or one that holds no text, is never searched.
    for (int &f : m_fields)
        if (f >= 0 && m_rs.Type(f) != QM6Recordset::FieldType::Text)
            f = -1;
}

void MatchIndex::build()
{
    const qsizetype n = m_rs.RecordCount();
    m_offsets.resize(size_t(n) + 1);
    quint32 bytes = 0;
    m_offsets[0] = 0;
    for (qsizetype r = 0; r < n; ++r) {
        for (int f : m_fields)
            if (f >= 0 && !m_rs.IsNullAt(f, r))
                bytes += quint32(m_rs.TextAt(f, r).size());
        bytes += 3;   // no match runs from one field into the next, or into the next record
        m_offsets[size_t(r) + 1] = bytes;
    }
    m_text.resize(bytes);
    char *const text = m_text.data();
    std::vector<std::vector<quint32>> parts;
    inSlices(n, m_nonAscii, parts, [&](qsizetype first, qsizetype last, std::vector<quint32> &nonAscii) {
        char *out = text + m_offsets[size_t(first)];
        for (qsizetype r = first; r < last; ++r) {
            unsigned char high = 0;
            for (int f : m_fields) {
                if (f >= 0 && !m_rs.IsNullAt(f, r)) {
                    const QUtf8StringView v = m_rs.TextAt(f, r);
                    const char *in = v.data();
                    for (qsizetype i = 0; i < v.size(); ++i) {
                        const unsigned char c = static_cast<unsigned char>(in[i]);
                        high |= c;
                        out[i] = char(unsigned(c - 'A') < 26u ? c + 32 : c);
                    }
                    out += v.size();
                }
                *out++ = '\0';
            }
            if (high & 0x80)
                nonAscii.push_back(quint32(r));
        }
    });
    m_isNonAscii.assign(size_t(n), false);
    for (quint32 r : m_nonAscii)
        m_isNonAscii[r] = true;
}

// The test field by field, through Qt's case folding where the text needs it.
bool MatchIndex::fieldsMatch(qsizetype record, const Needle &needle) const
{
    const bool ascii = !needle.lowerAscii.isEmpty() || needle.indexed;
    const QUtf8StringView lower(needle.lowerAscii.constData(), needle.lowerAscii.size());
    for (int f : m_fields) {
        if (f < 0 || m_rs.IsNullAt(f, record))
            continue;
        const QUtf8StringView field = m_rs.TextAt(f, record);
        if (ascii ? ContainsIgnoringCase(field, lower, needle.text)
                  : QString::fromUtf8(field.data(), field.size()).contains(needle.text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Records [first, last) by one search through their lower-cased copies: from each hit to the
// record that holds it, then on from the next record.
void MatchIndex::scanRange(qsizetype first, qsizetype last, const Needle &needle, std::vector<quint32> &out) const
{
    const char *const base = m_text.constData();
    const char *p = base + m_offsets[size_t(first)];
    const char *const end = base + m_offsets[size_t(last)];
    const quint32 *const offsets = m_offsets.data();
    auto nonAscii = std::lower_bound(m_nonAscii.cbegin(), m_nonAscii.cend(), quint32(first));
    // Records with text outside ASCII that the search passed over still get Qt's test.
    auto passOver = [&](qsizetype upto) {
        for (; nonAscii != m_nonAscii.cend() && qsizetype(*nonAscii) < upto; ++nonAscii)
            if (fieldsMatch(*nonAscii, needle))
                out.push_back(*nonAscii);
    };
    qsizetype r = first;
    while (p < end) {
        const char *hit = FindBytes(p, end, needle.lowerAscii.constData(), needle.lowerAscii.size());
        if (!hit)
            break;
        const quint32 at = quint32(hit - base);
        // Hits are usually close together: step, and search only across a long gap.
        int steps = 0;
        while (offsets[r + 1] <= at && ++steps < 8)
            ++r;
        if (offsets[r + 1] <= at)
            r = std::upper_bound(offsets + r + 1, offsets + last + 1, at) - offsets - 1;
        passOver(r);
        if (nonAscii != m_nonAscii.cend() && qsizetype(*nonAscii) == r)
            ++nonAscii;
        out.push_back(quint32(r));
        ++r;
        p = base + offsets[r];
    }
    passOver(last);
}

const std::vector<quint32> &MatchIndex::Find(const QString &text)
{
    Needle needle;
    needle.text = text;
    needle.folded = text.toCaseFolded();
    const QByteArray utf8 = text.toUtf8();
    const bool ascii = std::none_of(utf8.cbegin(), utf8.cend(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (ascii) {
        needle.lowerAscii.resize(utf8.size());
        std::transform(utf8.cbegin(), utf8.cend(), needle.lowerAscii.begin(), asciiLower);
        needle.indexed = !utf8.contains('\0');
    }
    if (needle.indexed && !Built())
        build();

    const qsizetype n = m_rs.RecordCount();
    // What matches the longer text matches every part of it: only the last answer can.
    const bool refine = m_hasLast && needle.folded.contains(m_lastFolded);
    if (refine) {
        const std::vector<quint32> &candidates = m_last;
        m_lastTested = qsizetype(candidates.size());
        inSlices(m_lastTested, m_next, m_parts, [&](qsizetype first, qsizetype last, std::vector<quint32> &out) {
            if (!needle.indexed) {
                for (qsizetype i = first; i < last; ++i)
                    if (fieldsMatch(candidates[size_t(i)], needle))
                        out.push_back(candidates[size_t(i)]);
                return;
            }
            // Candidates close to each other are searched as one stretch of text: the records
            // between did not hold the last text, so they cannot hold this one either.
            for (qsizetype i = first; i < last;) {
                qsizetype j = i + 1;
                while (j < last && candidates[size_t(j)] - candidates[size_t(j - 1)] <= NearGap)
                    ++j;
                scanRange(candidates[size_t(i)], candidates[size_t(j - 1)] + 1, needle, out);
                i = j;
            }
        });
    } else {
        m_lastTested = n;
        inSlices(n, m_next, m_parts, [&](qsizetype first, qsizetype last, std::vector<quint32> &out) {
            if (needle.indexed) {
                scanRange(first, last, needle, out);
                return;
            }
            for (qsizetype r = first; r < last; ++r)
                if (fieldsMatch(r, needle))
                    out.push_back(quint32(r));
        });
    }
    m_last.swap(m_next);
    m_lastFolded = needle.folded;
    m_hasLast = true;
    return m_last;
}

qsizetype MatchIndex::Bytes() const
{
    size_t numbers = m_offsets.capacity() + m_nonAscii.capacity() + m_last.capacity() + m_next.capacity();
    for (const std::vector<quint32> &part : m_parts)
        numbers += part.capacity();
    return m_text.capacity() + qsizetype(numbers * sizeof(quint32)) + qsizetype(m_isNonAscii.capacity() / 8);
}

} // namespace printerlist
