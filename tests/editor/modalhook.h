// Drives a modal form from inside its own event loop: act runs once the first printer form
// has been shown, and a watchdog closes every form still open after a while, so that a test
// whose form never closes fails instead of hanging.
#pragma once

#include "frmprinter.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <functional>

class ModalHook : public QObject {
public:
    explicit ModalHook(std::function<void(frmPrinter *)> act, int watchdogMs = 20000) : mAct(std::move(act))
    {
        qApp->installEventFilter(this);
        mWatchdog.setSingleShot(true);
        QObject::connect(&mWatchdog, &QTimer::timeout, this, [this] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *form = qobject_cast<frmPrinter *>(w); form && form->isVisible()) {
                    watchdogFired = true;
                    form->reject();
                }
        });
        mWatchdog.start(watchdogMs);
    }
    ~ModalHook() override { qApp->removeEventFilter(this); }

    bool acted = false;
    bool watchdogFired = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && !acted)
            if (auto *form = qobject_cast<frmPrinter *>(watched)) {
                acted = true;
                // Once the form's own loop runs.
                QTimer::singleShot(0, form, [this, form] { mAct(form); });
            }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(frmPrinter *)> mAct;
    QTimer mWatchdog;
};
