#include "flexgriddelegate.h"

#include "flexgridmodel.h"
#include "olecolor.h"

#include <QApplication>
#include <QPainter>
#include <QtMath>

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

void FlexGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const QString text = opt.text;
    opt.text.clear();
    opt.features &= ~QStyleOptionViewItem::HasDisplay;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    if (text.isEmpty())
        return;

    // Where and how the style would have drawn it: the text rectangle less the focus margin,
    // the row's text colour for its state, elided at the end when it does not fit.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(margin, 0, -margin, 0);
    if (rect.width() <= 0)
        return;
    QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active))
        group = QPalette::Inactive;
    if (opt.font != m_laidOutFont || opt.font.resolveMask() != m_laidOutFont.resolveMask()) {
        m_laidOut.clear();
        m_laidOutFont = opt.font;
    }
    QStaticText *laidOut = m_laidOut.object(text);
    if (!laidOut) {
        laidOut = new QStaticText(text);
        laidOut->setTextFormat(Qt::PlainText);   // a name is never markup
        laidOut->prepare(QTransform(), opt.font);
        m_laidOut.insert(text, laidOut);
    }
    const QFontMetrics fm(opt.font);
    const int width = qCeil(laidOut->size().width());
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(rect, Qt::IntersectClip);
    if (width <= rect.width()) {
        const QRect at = QStyle::alignedRect(opt.direction, opt.displayAlignment, QSize(width, fm.height()), rect);
        painter->drawStaticText(at.topLeft(), *laidOut);
    } else {
        const QString elided = fm.elidedText(text, opt.textElideMode, rect.width());
        const QRect at = QStyle::alignedRect(opt.direction, opt.displayAlignment, QSize(fm.horizontalAdvance(elided), fm.height()), rect);
        painter->drawText(QPoint(at.left(), at.top() + fm.ascent()), elided);
    }
    painter->restore();
}
