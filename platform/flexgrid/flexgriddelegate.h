#pragma once

#include <QCache>
#include <QFont>
#include <QStaticText>
#include <QString>
#include <QStringView>
#include <QStyledItemDelegate>

// Paints the grid's cells. Names come from the network and may hold control characters, which
// fonts draw as empty boxes or not at all, and bidirectional controls, which reorder what
// follows them (U+202E shows "txt.exe" as "exe.txt"). Such characters are painted as visible
// marks; the cell text the page reads (TextMatrix, the model's data) is never changed.
class FlexGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    // The style draws the cell without its text, then the text is drawn on one line: the
    // style's own text drawing lays every cell's text out twice (once to size it) and breaks
    // it into lines, which is most of what a refill of a long list costs on screen. Texts laid
    // out lately are kept, so that a repaint, or a refill that shows some of the same texts,
    // draws them without laying them out again.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // text with C0 controls as their control pictures (U+2400 + c; tab as U+21E5), DEL as U+2421,
    // and C1 controls, bidirectional controls and line separators by their code or short name
    // between angle brackets U+27E8 and U+27E9 ("U+0085", "RLO", "LRI", "LS"...). No explicit
    // bidirectional control is left, so none can reach past the text's own cell.
    static QString VisibleText(const QString &text);

protected:
    // Grey text stays grey, and readable, in a selected row too.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    mutable QCache<QString, QStaticText> m_laidOut{4096};   // for m_laidOutFont
    mutable QFont m_laidOutFont;
};
