// What a long command of the page asks of its progress window. The real window implements
// it; tests hand the page a fake.
#pragma once

#include <QString>
#include <QVariant>

class QWidget;

class IProgress {
public:
    virtual ~IProgress() = default;
    // Shows the window. plngMax <= 0 runs a timed bar instead of counted steps; the owner
    // form, when given, is disabled while the window is up. pblnShowCancel holds a Boolean
    // or is null (no Cancel button); a chunk below 1 counts as 1.
    virtual void Initialize(const QString &pstrTitle, qint32 plngMax, QWidget *pinsParentForm = nullptr,
                            bool pblnShowText = false, const QVariant &pblnShowCancel = QVariant(),
                            qint16 pintShowTextChunk = 0) = 0;
    // One step, then the message loop runs once so that the window repaints and a Cancel
    // click arrives.
    virtual void Increment() = 0;
    virtual bool Cancelled() const = 0;
    virtual void Shutdown() = 0;
};
