#include "modstringtable.h"

#include <QSet>
#include <QTranslator>
#include <QtEndian>

#include <climits>
#include <cstring>
#include <optional>
#include <vector>

namespace modStringTable {

namespace {

// The layout below is the one QTranslator (Qt 6.4) reads: a 16-byte magic number, then blocks
// of a tag byte, a big-endian 32-bit length and that many bytes.
constexpr unsigned char kMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                      0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
enum BlockTag : unsigned char {
    Contexts = 0x2f,
    Hashes = 0x42,
    Messages = 0x69,
    NumerusRules = 0x88,
    Dependencies = 0x96,
    Language = 0xa7,
};
// The fields of one message, each a tag byte; all but End and Obsolete1 carry a 32-bit length.
enum MessageTag : unsigned char {
    TagEnd = 1,
    TagTranslation = 3,
    TagObsolete1 = 5,
    TagSourceText = 6,
    TagContext = 7,
    TagComment = 8,
};
// A translation of this length is a null string with no bytes.
constexpr quint32 kNullLength = 0xffffffffu;

struct Block {
    qsizetype start = 0;
    qsizetype size = 0;
};

quint32 Read32(const char *p) { return qFromBigEndian<quint32>(p); }
quint16 Read16(const char *p) { return qFromBigEndian<quint16>(p); }

bool Fail(QString *pstrError, const QString &strText)
{
    if (pstrError)
        *pstrError = strText;
    return false;
}

// Walks the message block from its start; every message must end with its End tag inside the
// block. Each message's start offset goes into starts.
bool WalkMessages(const char *p, qsizetype size, QSet<quint32> *starts, QString *pstrError)
{
    qsizetype m = 0;
    while (m < size) {
        const qsizetype messageStart = m;
        starts->insert(quint32(messageStart));
        for (bool ended = false; !ended;) {
            if (m >= size)
                return Fail(pstrError, QStringLiteral("the message at %1 has no end").arg(messageStart));
            const auto tag = static_cast<unsigned char>(p[m++]);
            switch (tag) {
            case TagEnd:
                ended = true;
                break;
            case TagObsolete1:
                if (size - m < 4)
                    return Fail(pstrError, QStringLiteral("the message at %1 is cut short").arg(messageStart));
                m += 4;
                break;
            case TagTranslation:
            case TagSourceText:
            case TagContext:
            case TagComment: {
                if (size - m < 4)
                    return Fail(pstrError, QStringLiteral("the message at %1 is cut short").arg(messageStart));
                const quint32 length = Read32(p + m);
                m += 4;
                // Qt gives up on a translation of odd length before reading it, which is what
                // makes the null string safe; the other fields it reads as far as they claim.
                if (tag == TagTranslation && length == kNullLength)
                    break;
                if (length > quint64(size - m))
                    return Fail(pstrError, QStringLiteral("a field of the message at %1 runs past its block")
                                               .arg(messageStart));
                m += qsizetype(length);
                break;
            }
            default:
                return Fail(pstrError, QStringLiteral("the message at %1 has an unknown field %2")
                                           .arg(messageStart).arg(tag));
            }
        }
    }
    return true;
}

// Every entry is a hash and the offset of a message; Qt reads entries eight bytes at a time.
bool CheckHashes(const char *p, qsizetype size, const QSet<quint32> &starts, QString *pstrError)
{
    if (size % 8 != 0)
        return Fail(pstrError, QStringLiteral("the hash block's length %1 is not a whole number of entries").arg(size));
    for (qsizetype i = 0; i < size; i += 8) {
        const quint32 offset = Read32(p + i + 4);
        if (!starts.contains(offset))
            return Fail(pstrError, QStringLiteral("hash entry %1 points at %2, where no message starts")
                                       .arg(i / 8).arg(offset));
    }
    return true;
}

// A table size, a bucket per hash value with the offset (in 16-bit units) of its list of
// contexts, and the lists: a length byte and that many bytes, until a zero length. A lookup
// walks on from its bucket's list into the lists after it, so every walk must meet a zero
// length inside the block.
bool CheckContexts(const char *p, qsizetype size, QString *pstrError)
{
    if (size < 2)
        return Fail(pstrError, QStringLiteral("the context block is too short"));
    const quint32 buckets = Read16(p);
    if (buckets == 0)
        return Fail(pstrError, QStringLiteral("the context table has no buckets"));
    const qsizetype pool = 2 + 2 * qsizetype(buckets);
    if (pool > size)
        return Fail(pstrError, QStringLiteral("the context table runs past its block"));
    // Where a walk from each position of the pool meets its zero length, computed from the end.
    std::vector<bool> terminates(size_t(size - pool) + 1, false);
    for (qsizetype c = size - 1; c >= pool; --c) {
        const auto length = static_cast<unsigned char>(p[c]);
        const qsizetype next = c + 1 + length;
        terminates[size_t(c - pool)] = length == 0 || (next < size && terminates[size_t(next - pool)]);
    }
    for (quint32 g = 0; g < buckets; ++g) {
        const quint32 offset = Read16(p + 2 + 2 * g);
        if (offset == 0)
            continue;
        const qsizetype c = pool + 2 * qsizetype(offset);
        if (c >= size || !terminates[size_t(c - pool)])
            return Fail(pstrError, QStringLiteral("the contexts of bucket %1 run past their block").arg(g));
    }
    return true;
}

} // namespace

bool IsValidStringTable(const char *pData, qsizetype lngSize, QString *pstrError)
{
    if (!pData || lngSize < qsizetype(sizeof kMagic) || std::memcmp(pData, kMagic, sizeof kMagic) != 0)
        return Fail(pstrError, QStringLiteral("it is not a compiled string table"));
    if (lngSize > INT_MAX)
        return Fail(pstrError, QStringLiteral("it is too large"));

    // The blocks as Qt finds them: a zero tag or length ends the walk, a later block of a kind
    // replaces an earlier one, and fewer than six bytes left over are ignored.
    std::optional<Block> contexts, hashes, messages;
    qsizetype pos = sizeof kMagic;
    while (pos + 5 < lngSize) {
        const auto tag = static_cast<unsigned char>(pData[pos]);
        const quint32 length = Read32(pData + pos + 1);
        pos += 5;
        if (tag == 0 || length == 0)
            break;
        if (length > quint64(lngSize - pos))
            return Fail(pstrError, QStringLiteral("block %1 at %2 runs past the end of the file")
                                       .arg(tag).arg(pos - 5));
        const Block block{pos, qsizetype(length)};
        switch (tag) {
        case Contexts:
            contexts = block;
            break;
        case Hashes:
            hashes = block;
            break;
        case Messages:
            messages = block;
            break;
        case Dependencies:
            // Qt would load the tables named here, relative to the working folder.
            return Fail(pstrError, QStringLiteral("it names other tables to load"));
        default:
            // Numerus rules Qt checks itself; the language is read as text; others are skipped.
            break;
        }
        pos += qsizetype(length);
    }

    QSet<quint32> starts;
    if (messages && !WalkMessages(pData + messages->start, messages->size, &starts, pstrError))
        return false;
    if (hashes && !CheckHashes(pData + hashes->start, hashes->size, starts, pstrError))
        return false;
    if (contexts && !CheckContexts(pData + contexts->start, contexts->size, pstrError))
        return false;
    return true;
}

bool LoadStringTable(QTranslator &translator, const QByteArray &data, QString *pstrError)
{
    if (!IsValidStringTable(data.constData(), data.size(), pstrError))
        return false;
    if (!translator.load(reinterpret_cast<const uchar *>(data.constData()), int(data.size())))
        return Fail(pstrError, QStringLiteral("Qt refused it"));
    return true;
}

} // namespace modStringTable
