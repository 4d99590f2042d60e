// ctlFleet: the filter bar. The combo refills the grid at once; typed text refills it
// 250 ms after the last key is released.
#include "ctlfleet.h"

#include "modlanguage.h"
#include "printerdata.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

namespace {
constexpr int StrAllTypes = 219;
}

void FillComboFromList(QComboBox *combo, const QVariant &list, qint16 firstRow)
{
    if (!combo || list.typeId() != QMetaType::QVariantList)
        return;
    const QVariantList rows = list.toList();
    combo->clear();
    const qsizetype start = firstRow == -1 ? 0 : firstRow;
    for (qsizetype i = start; i < rows.size(); ++i) {
        const QVariantList row = rows.at(i).toList();
        combo->addItem(row.value(1).toString(), row.value(0).toInt());
    }
}

void ctlFleet::ResetFilter()
{
    mMatchTimer->stop();
    {
        // One refill for the whole reset, from the selection below.
        const QSignalBlocker block(mTypes);
        mMatches->clear();
        FillComboFromList(mTypes, LookupLists::Instance().GetList(6), 1);
        mTypes->insertItem(0, modLanguage::GetLangString(StrAllTypes), -1);
        mTypes->setCurrentIndex(0);
    }
    FillPrinterGrid();
}

bool ctlFleet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mMatches) {
        switch (event->type()) {
        case QEvent::FocusIn:
            // After the click that gave the focus has placed the caret.
            QTimer::singleShot(0, mMatches, [this] { mMatches->setSelection(0, int(mMatches->text().size())); });
            break;
        case QEvent::KeyPress:
            mMatchTimer->stop();
            break;
        case QEvent::KeyRelease:
            // A held key repeats press and release; only the real release schedules the refill.
            if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
                mMatchTimer->start();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
