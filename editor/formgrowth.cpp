#include "formgrowth.h"

#include "captionfit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace formgrowth {

void Design::Record(const QList<QWidget *> &controls)
{
    mRects.clear();
    for (QWidget *w : controls)
        mRects.insert(w, w->geometry());
}

int Design::Scale(int pixels, double factor)
{
    return int(std::lround(pixels * factor));
}

void Design::Apply(double factor) const
{
    for (auto it = mRects.constBegin(); it != mRects.constEnd(); ++it) {
        const QRect &r = it.value();
        const int left = Scale(r.left(), factor), top = Scale(r.top(), factor);
        const int right = Scale(r.left() + r.width(), factor), bottom = Scale(r.top() + r.height(), factor);
        it.key()->setGeometry(left, top, right - left, bottom - top);
    }
}

double FontFactor(const QFont &designFont, const QFont &font)
{
    const int designed = QFontMetrics(designFont).height();
    const int now = QFontMetrics(font).height();
    return designed > 0 ? std::max(1.0, double(now) / designed) : 1.0;
}

void FitToText(const QList<QWidget *> &controls)
{
    for (QWidget *w : controls) {
        QSize s = w->size();
        if (qobject_cast<QCheckBox *>(w)) {
            s = QSize(w->sizeHint().width(), std::max(s.height(), w->sizeHint().height()));
        } else if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w)) {
            s = s.expandedTo(w->sizeHint());
        } else if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)) {
            s.setHeight(std::max(s.height(), w->minimumSizeHint().height()));
        }
        if (s != w->size())
            w->resize(s);
    }
}

void FitColumn(const CaptionColumn &column, double factor)
{
    QList<QWidget *> leads;
    QList<int> designedLefts;
    for (const QList<QWidget *> &row : column.rows) {
        leads << row.first();
        designedLefts << row.first()->x();
    }
    const int left = FitCaptions(column.labels, leads, Design::Scale(column.designedBoxLeft, factor));
    // The rest of a row keeps its distance from the row's first box.
    for (qsizetype i = 0; i < column.rows.size(); ++i) {
        const int shift = left - designedLefts[i];
        for (qsizetype j = 1; j < column.rows[i].size(); ++j)
            column.rows[i][j]->move(column.rows[i][j]->x() + shift, column.rows[i][j]->y());
    }
}

void Chain(const QList<QWidget *> &row, int gap)
{
    for (qsizetype i = 1; i < row.size(); ++i) {
        const int earliest = row[i - 1]->geometry().right() + 1 + gap;
        if (row[i]->x() < earliest)
            row[i]->move(earliest, row[i]->y());
    }
}

QSize Extent(const QList<QWidget *> &widgets, int margin)
{
    QRect all;
    for (const QWidget *w : widgets)
        all = all.united(w->geometry());
    return QSize(all.right() + 1 + margin, all.bottom() + 1 + margin);
}

} // namespace formgrowth
