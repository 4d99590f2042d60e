#include "flexgriddelegate.h"

#include "flexgridmodel.h"
#include "olecolor.h"

namespace {

// The short names of the characters that change the direction or the lines of what follows.
const char *formatName(char16_t c)
{
    switch (c) {
    case 0x061C: return "ALM";
    case 0x200E: return "LRM";
    case 0x200F: return "RLM";
    case 0x2028: return "LS";
    case 0x2029: return "PS";
    case 0x202A: return "LRE";
    case 0x202B: return "RLE";
    case 0x202C: return "PDF";
    case 0x202D: return "LRO";
    case 0x202E: return "RLO";
    case 0x2066: return "LRI";
    case 0x2067: return "RLI";
    case 0x2068: return "FSI";
    case 0x2069: return "PDI";
    default: return nullptr;
    }
}

bool needsMark(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || formatName(c) != nullptr;
}

} // namespace

QString FlexGridDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    // Strings are taken as they are: the base class would turn a line feed into U+2028 first.
    if (value.typeId() == QMetaType::QString)
        return VisibleText(value.toString());
    return VisibleText(QStyledItemDelegate::displayText(value, locale));
}

QString FlexGridDelegate::VisibleText(const QString &text)
{
    qsizetype first = 0;
    while (first < text.size() && !needsMark(text.at(first).unicode()))
        ++first;
    if (first == text.size())
        return text;   // the usual case: shared, not copied
    QString out = text.left(first);
    out.reserve(text.size() + 8);
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\t')
            out += QChar(0x21E5);
        else if (c < 0x20)
            out += QChar(char16_t(0x2400 + c));
        else if (c == 0x7F)
            out += QChar(0x2421);
        else if (c <= 0x9F && c > 0x7F)
            out += QChar(0x27E8) + QLatin1String("U+") + QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0'))
                   + QChar(0x27E9);
        else if (const char *name = formatName(c))
            out += QChar(0x27E8) + QLatin1String(name) + QChar(0x27E9);
        else
            out += QChar(c);
    }
    return out;
}

void FlexGridDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if ((option->state & QStyle::State_Selected) && index.data(FlexGridModel::GreyTextRole).toBool()) {
        QPalette &pal = option->palette;
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            pal.setColor(group, QPalette::HighlightedText,
                         ReadableGrey(pal.color(group, QPalette::HighlightedText), pal.color(group, QPalette::Highlight)));
    }
}
