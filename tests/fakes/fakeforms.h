// Fakes of the page's forms: they record how the page called them and answer from a script,
// so that a command's test needs no modal form and no nested event loop.
#pragma once

#include "pageforms.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

// A progress window that shows nothing. Each Increment lets the message loop run once, as the
// real one does; onStep, when set, acts as the user between steps (clicks Refresh, types).
class FakeProgress final : public IProgress {
public:
    struct Log {
        QString title;
        qint32 max = 0;
        bool showText = false;
        QVariant showCancel;
        qint16 chunk = 0;
        int increments = 0;
        bool shutDown = false;
    };
    explicit FakeProgress(std::shared_ptr<Log> log) : mLog(std::move(log)) {}
    int cancelAfter = -1;                  // Cancelled turns true after this many steps
    std::function<void(int step)> onStep;  // called after each step's message loop

    void Initialize(const QString &pstrTitle, qint32 plngMax, QWidget *, bool pblnShowText, const QVariant &pblnShowCancel,
                    qint16 pintShowTextChunk) override
    {
        *mLog = Log{pstrTitle, plngMax, pblnShowText, pblnShowCancel, pintShowTextChunk, 0, false};
    }
    void Increment() override
    {
        ++mLog->increments;
        QCoreApplication::processEvents();
        if (onStep)
            onStep(mLog->increments);
    }
    bool Cancelled() const override { return cancelAfter >= 0 && mLog->increments >= cancelAfter; }
    void Shutdown() override { mLog->shutDown = true; }

private:
    std::shared_ptr<Log> mLog;
};

// The forms as the page sees them: each call is recorded and answered from the fields.
struct FakeForms {
    QList<qint32> edited;      // printer ids EditPrinter was asked for
    int added = 0;             // AddPrinter calls
    int batchAsked = 0;        // BatchUpdate calls
    bool saves = true;         // what AddPrinter and EditPrinter answer
    bool batchConfirmed = false;
    QM6PrinterPtr batchTemplate;
    QList<std::shared_ptr<FakeProgress::Log>> progress;   // one per progress window made
    int cancelAfter = -1;
    std::function<void(int step)> onStep;
    QString exportFile;        // what ChooseExportFile answers (empty: the user cancelled)
    int exportAsked = 0;

    PageForms Forms()
    {
        PageForms f;
        f.AddPrinter = [this](IQM6AdminControl *) { ++added; return saves; };
        f.EditPrinter = [this](IQM6AdminControl *, qint32 id) { edited << id; return saves; };
        f.BatchUpdate = [this](IQM6AdminControl *, QM6PrinterPtr &printer) {
            ++batchAsked;
            if (batchConfirmed)
                printer = batchTemplate ? batchTemplate : std::make_shared<QM6Printer>();
            return batchConfirmed;
        };
        f.NewProgress = [this] {
            progress.append(std::make_shared<FakeProgress::Log>());
            auto p = std::make_unique<FakeProgress>(progress.last());
            p->cancelAfter = cancelAfter;
            p->onStep = onStep;
            return p;
        };
        f.ChooseExportFile = [this](IQM6AdminControl *) {
            ++exportAsked;
            return exportFile;
        };
        return f;
    }
};
