// The match test of the filter bar over one recordset: which records' name, port or host hold
// the match text, ignoring case.
#pragma once

#include "qm6recordset.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace printerlist {

// Lower-cased copies of each record's name, port and host, made once per recordset when the user
// first filters by text, so that a search runs over contiguous memory. The answer for the last
// match text is kept: when the next text contains it (the user typed one more letter), only the
// records it found can match, and only those are tested again. A search over many records is
// split across the machine's cores; the answer is the same as one thread's.
class MatchIndex {
public:
    // The recordset must outlive the index (the owner of both sees to that).
    MatchIndex(const QM6Recordset &recordset, int fName, int fPort, int fHost);

    // Records, ascending, whose name, port or host contains `text` (trimmed, not empty),
    // ignoring case. Valid until the next call.
    const std::vector<quint32> &Find(const QString &text);

    // The lower-cased copies exist (they are made for a text of ASCII characters only; other
    // texts go through Qt's case folding field by field).
    bool Built() const { return !m_offsets.empty(); }
    // How many records the last Find tested: all of them, or the previous answer's.
    qsizetype LastTested() const { return m_lastTested; }
    qsizetype Bytes() const;

private:
    struct Needle {
        QString text;          // as typed
        QString folded;        // case-folded, to tell whether one text contains another
        QByteArray lowerAscii; // lower-cased bytes when the text is ASCII without NUL
        bool indexed = false;
    };
    void build();
    bool fieldsMatch(qsizetype record, const Needle &needle) const;
    void scanRange(qsizetype first, qsizetype last, const Needle &needle, std::vector<quint32> &out) const;

    const QM6Recordset &m_rs;
    int m_fields[3];
    QByteArray m_text;                 // per record: name NUL port NUL host NUL
    std::vector<quint32> m_offsets;    // records + 1
    std::vector<quint32> m_nonAscii;   // records holding text outside ASCII, ascending
    std::vector<bool> m_isNonAscii;
    bool m_hasLast = false;
    QString m_lastFolded;
    std::vector<quint32> m_last;
    std::vector<quint32> m_next;
    std::vector<std::vector<quint32>> m_parts;   // the parts of an answer, as the cores found them
    qsizetype m_lastTested = 0;
};

// Case-insensitive substring test, as the filter applies it to name, port and host.
bool ContainsIgnoringCase(QUtf8StringView haystack, QUtf8StringView needleLower, const QString &needleText);

// The first occurrence of needle in [begin, end), or null.
const char *FindBytes(const char *begin, const char *end, const char *needle, qsizetype length);

} // namespace printerlist
