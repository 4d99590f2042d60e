// ctlFleet: the filter bar. The combo refills the grid at once; typed text refills it
// 250 ms after the last key is released.
#include "ctlfleet.h"

#include "fillcombo.h"
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

void ctlFleet::ResetFilter()
{
    tmrMatch->stop();
    {
        // One refill for the whole reset, from the selection below.
        const QSignalBlocker block(cmbPrinterTypes);
        txtMatches->clear();
        FillComboFromList(cmbPrinterTypes, LookupLists::Instance().GetList(mConnection, 6), 1);
        cmbPrinterTypes->insertItem(0, modLanguage::GetLangString(StrAllTypes), -1);
        cmbPrinterTypes->setCurrentIndex(0);
    }
    FillPrinterGrid();
}

bool ctlFleet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtMatches) {
        switch (event->type()) {
        case QEvent::FocusIn:
            // After the click that gave the focus has placed the caret.
            QTimer::singleShot(0, txtMatches, [this] { txtMatches->setSelection(0, int(txtMatches->text().size())); });
            break;
        case QEvent::KeyPress:
            tmrMatch->stop();
            break;
        case QEvent::KeyRelease:
            // A held key repeats press and release; only the real release schedules the refill.
            if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
                tmrMatch->start();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
