// The progress window of the page's long commands: a title, an optional line that counts the
// steps, a bar and an optional Cancel button, in a small modeless window that the user cannot
// resize. Each step lets the message loop run once, so the window repaints and a Cancel click
// arrives while the caller's loop runs. Without a step count it runs a timed bar instead.
#pragma once

#include "progress.h"
#include "qm6font.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class frmProgress final : public QDialog, public IProgress {
    Q_OBJECT
public:
    explicit frmProgress(QWidget *parent = nullptr);
    ~frmProgress() override;

    // IProgress
    void Initialize(const QString &pstrTitle, qint32 plngMax, QWidget *pinsParentForm = nullptr, bool pblnShowText = false,
                    const QVariant &pblnShowCancel = QVariant(), qint16 pintShowTextChunk = 0) override;
    void Increment() override;
    bool Cancelled() const override { return mblnCancelled; }
    void Shutdown() override;

    void SetToMax();
    // A null QVariant leaves that setting as it is; plngMax -1 restarts the bar in its mode,
    // 0 starts the timed bar, anything else counts to it.
    void Reset(const QString &pstrTitle = QString(), qint32 plngMax = -1, const QVariant &pblnShowText = QVariant(),
               const QVariant &pblnShowCancel = QVariant(), qint16 pintShowTextChunk = 0);
    qint32 MaxValue() const;
    qint32 ProgressValue() const;
    void SetProgressValue(qint32 plngValue);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void SetProgressCaptions();
    void StartTimedMode();
    void ArrangeControls();
    void UpdateProgressText();
    void PaintIfDue();
    bool TimedMode() const;

    QLabel *lblProgress = nullptr;
    QProgressBar *prgProgress = nullptr;
    QPushButton *cmdCancel = nullptr;
    QTimer *tmrProgress = nullptr;

    // Form fields.
    int mintClientWidth = 0;    // twips, kept from the load
    int mintClientHeight = 0;   // twips, as the layout computed it
    bool mblnCancelled = false;
    bool mblnShowText = false;
    bool mblnShowCancel = false;
    QPointer<QWidget> minsParentForm;
    qint16 mintShowTextChunk = 1;
    bool mInResize = false;
    QM6Font mFont;
    QElapsedTimer mPaintClock;
};
