#include "printergrid.h"

#include "flexgrid.h"
#include "modlanguage.h"

#include <charconv>
#include <cstring>
#include <cmath>
#include <string>

namespace printerlist {

namespace {

// Language strings of the column headers.
constexpr int StrName = 213, StrProfile = 214, StrPort = 215, StrHost = 216, StrType = 217, StrAccount = 218;

// Column 2's alignment setting and the grid's outline-bar setting as the page applies them:
// left-aligned names, printer nodes drawn with a button that unfolds their aliases.
constexpr int NameColumnAlignment = 0;
constexpr int OutlineBarWithButtons = 2;

constexpr char AliasIndent[] = "     ";

inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// The match text, prepared once per fill: ASCII needles are searched byte by byte in the
// UTF-8 fields; anything else goes through QString's case folding.
struct Matcher {
    QString text;
    QByteArray lowerAscii;
    bool ascii = true;

    explicit Matcher(const QString &t) : text(t)
    {
        const QByteArray utf8 = t.toUtf8();
        for (char c : utf8) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                ascii = false;
                break;
            }
            lowerAscii.append(asciiLower(c));
        }
    }

    bool matches(QUtf8StringView field) const
    {
        if (ascii)
            return ContainsIgnoringCase(field, QUtf8StringView(lowerAscii.constData(), lowerAscii.size()), text);
        return QString::fromUtf8(field.data(), field.size()).contains(text, Qt::CaseInsensitive);
    }
};

// VB's Trim: spaces only.
QString trimSpaces(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

} // namespace

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

void MatchIndex::Build(const QM6Recordset &rs, int fName, int fPort, int fHost)
{
    const qsizetype n = rs.RecordCount();
    m_text.clear();
    m_offsets.clear();
    m_offsets.reserve(size_t(n) + 1);
    m_nonAscii.assign(size_t(n), false);
    qsizetype bytes = 0;
    for (int f : {fName, fPort, fHost})
        if (f >= 0 && rs.Type(f) == QM6Recordset::FieldType::Text)
            for (qsizetype r = 0; r < n; ++r)
                bytes += rs.TextAt(f, r).size() + 1;
    m_text.reserve(bytes);
    m_offsets.push_back(0);
    for (qsizetype r = 0; r < n; ++r) {
        for (int f : {fName, fPort, fHost}) {
            if (f >= 0 && rs.Type(f) == QM6Recordset::FieldType::Text && !rs.IsNullAt(f, r)) {
                const QUtf8StringView v = rs.TextAt(f, r);
                for (char c : v) {
                    if (static_cast<unsigned char>(c) >= 0x80)
                        m_nonAscii[size_t(r)] = true;
                    m_text.append(asciiLower(c));
                }
            }
            m_text.append('\0');   // no match runs from one field into the next
        }
        m_offsets.push_back(quint32(m_text.size()));
    }
}

int MatchIndex::Matches(qsizetype record, QByteArrayView needle, qsizetype &next) const
{
    if (m_nonAscii[size_t(record)])
        return -1;
    const qsizetype b = m_offsets[size_t(record)], e = m_offsets[size_t(record) + 1];
    if (next < b) {
        const void *hit = memmem(m_text.constData() + b, size_t(m_text.size() - b), needle.data(), size_t(needle.size()));
        next = hit ? static_cast<const char *>(hit) - m_text.constData() : m_text.size();
    }
    return next + needle.size() <= e ? 1 : 0;
}

qsizetype MatchIndex::Bytes() const
{
    return m_text.capacity() + qsizetype(m_offsets.capacity() * sizeof(quint32)) + qsizetype(m_nonAscii.capacity() / 8);
}

QString BuildComboList(const QVariant &list)
{
    if (list.typeId() != QMetaType::QVariantList)
        return QString();
    QString out;
    for (const QVariant &row : list.toList()) {
        const QVariantList entry = row.toList();
        out += QLatin1Char('#') + entry.value(0).toString() + QLatin1Char(';') + entry.value(1).toString() + QLatin1Char('|');
    }
    out.chop(1);
    return out;
}

void PrepareGrid(FlexGrid &grid, const QVariant &connectionTypes)
{
    grid.SetRedraw(false);
    grid.SetCols(ColumnCount);
    grid.SetColHidden(ColPrinterId, true);
    grid.SetColHidden(ColPrinterKey, true);
    grid.SetTextMatrix(0, ColName, modLanguage::GetLangString(StrName));
    grid.SetColAlignment(ColName, NameColumnAlignment);
    grid.SetTextMatrix(0, ColProfile, modLanguage::GetLangString(StrProfile));
    grid.SetTextMatrix(0, ColPort, modLanguage::GetLangString(StrPort));
    grid.SetTextMatrix(0, ColHost, modLanguage::GetLangString(StrHost));
    grid.SetTextMatrix(0, ColConnectionType, modLanguage::GetLangString(StrType));
    grid.SetOutlineBar(OutlineBarWithButtons);
    grid.SetColComboList(ColConnectionType, BuildComboList(connectionTypes));
    grid.SetTextMatrix(0, ColAccount, modLanguage::GetLangString(StrAccount));
    grid.SetRedraw(true);
}

qint32 FillRows(FlexGrid &grid, QM6Recordset *rs, const FillFilter &filter, MatchIndex *index)
{
    grid.SetRows(1);
    if (!rs || rs->RecordCount() == 0)
        return 0;

    const int fId = rs->FieldIndex(QStringLiteral("PrinterId"));
    const int fKey = rs->FieldIndex(QStringLiteral("PrinterKey"));
    const int fName = rs->FieldIndex(QStringLiteral("Name"));
    const int fPort = rs->FieldIndex(QStringLiteral("Port"));
    const int fHost = rs->FieldIndex(QStringLiteral("Host"));
    const int fProfile = rs->FieldIndex(QStringLiteral("ProfileName"));
    const int fType = rs->FieldIndex(QStringLiteral("ConnectionType"));
    const int fAccount = rs->FieldIndex(QStringLiteral("AccountNo"));
    const int fAliasKey = rs->FieldIndex(QStringLiteral("AliasPrinterKey"));
    const int fAliasDevice = rs->FieldIndex(QStringLiteral("AliasDeviceName"));
    const int fAliasPort = rs->FieldIndex(QStringLiteral("AliasPort"));
    const int fAliasHost = rs->FieldIndex(QStringLiteral("AliasHost"));
    const int fAliasMerge = rs->FieldIndex(QStringLiteral("AliasMergeType"));

    // Null reads as the empty text; a field the recordset lacks does too.
    auto text = [rs](int f, qsizetype r) -> QUtf8StringView {
        if (f < 0 || rs->IsNullAt(f, r))
            return QUtf8StringView();
        if (rs->Type(f) == QM6Recordset::FieldType::Text)
            return rs->TextAt(f, r);
        return QUtf8StringView();
    };
    auto integer = [rs](int f, qsizetype r) -> qint64 { return (f < 0 || rs->IsNullAt(f, r)) ? 0 : rs->IntAt(f, r); };

    const QString match = trimSpaces(filter.matchText);
    const Matcher matcher(match);
    const bool matching = !match.isEmpty();
    const QByteArrayView needle(matcher.lowerAscii.constData(), matcher.lowerAscii.size());
    const bool indexed = matching && matcher.ascii && index && !matcher.lowerAscii.contains('\0');
    if (indexed && !index->Built())
        index->Build(*rs, fName, fPort, fHost);
    qsizetype nextHit = -1;
    const qint16 typeFilter = static_cast<qint16>(filter.connectionType);

    char idBuf[24], typeBuf[24];
    std::string aliasName;
    qint64 lastPrinterId = 0;
    qint32 rows = 0;
    const qsizetype n = rs->RecordCount();
    for (qsizetype r = 0; r < n; ++r) {
        const qint64 type = integer(fType, r);
        bool shown = typeFilter == -1 || type == typeFilter;
        if (matching && shown) {
            const int quick = indexed ? index->Matches(r, needle, nextHit) : -1;
            shown = quick >= 0 ? quick == 1
                               : matcher.matches(text(fName, r)) || matcher.matches(text(fPort, r)) || matcher.matches(text(fHost, r));
        }
        if (!shown)
            continue;

        const qint64 id = integer(fId, r);
        const auto idEnd = std::to_chars(idBuf, idBuf + sizeof idBuf, id).ptr;
        const QUtf8StringView idText(idBuf, idEnd - idBuf);
        if (id != lastPrinterId) {
            lastPrinterId = id;
            const auto typeEnd = std::to_chars(typeBuf, typeBuf + sizeof typeBuf, type).ptr;
            grid.AddItem({idText, text(fKey, r), text(fName, r), text(fPort, r), text(fHost, r), text(fProfile, r),
                          QUtf8StringView(typeBuf, typeEnd - typeBuf), text(fAccount, r)});
            const int row = grid.Rows() - 1;
            grid.SetIsSubtotal(row, true);
            grid.SetRowOutlineLevel(row, 0);
            ++rows;
        }
        if (fAliasKey >= 0 && !rs->IsNullAt(fAliasKey, r)) {
            const QUtf8StringView device = text(fAliasDevice, r);
            aliasName.assign(AliasIndent);
            aliasName.append(device.data(), size_t(device.size()));
            grid.AddItem({idText, text(fAliasKey, r), QUtf8StringView(aliasName.data(), qsizetype(aliasName.size())),
                          text(fAliasPort, r), text(fAliasHost, r), QUtf8StringView(), QUtf8StringView(), QUtf8StringView()});
            const int row = grid.Rows() - 1;
            grid.SetRowOutlineLevel(row, 1);
            const bool byHand = fAliasMerge >= 0 && !rs->IsNullAt(fAliasMerge, r) && rs->IntAt(fAliasMerge, r) == 1;
            grid.SetCellForeColor(row, ColPrinterId, row, ColAccount, byHand ? ColorActiveCaption : ColorGrayText);
            ++rows;
        }
    }
    rs->Move(n);
    return rows;
}

qint32 RoundHalfEven(double value)
{
    return static_cast<qint32>(std::nearbyint(value));   // the default rounding mode is to nearest, ties to even
}

void SizeColumns(FlexGrid &grid, qint32 printerCount, qint32 widthTwips)
{
    const double room = double(widthTwips) - 400.0;
    if (printerCount == 0) {
        const qint32 w = RoundHalfEven(room / 6.0);
        if (w < 0)
            return;   // a width the grid refuses; the layout goes on without it
        for (int c : {ColProfile, ColPort, ColHost, ColConnectionType, ColName, ColAccount})
            grid.SetColWidth(c, w);
        return;
    }
    grid.AutoSize(ColName, ColAccount);
    qint32 used = 0;
    for (int c = ColPort; c <= ColAccount; ++c)
        if (!grid.ColHidden(c))
            used += grid.ColWidth(c);
    const qint32 w = RoundHalfEven(room - used);
    if (w > grid.ColWidth(ColName))
        grid.SetColWidth(ColName, w);
}

} // namespace printerlist
