#include "frmprogress.h"

#include "modfonts.h"
#include "modlanguage.h"
#include "pageglobals.h"
#include "twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int StrCaption = 1400, StrCancel = 1401, StrCounted = 1402, StrTimed = 1403;
constexpr int Gap = 60;                       // twips between the rows
constexpr int DesignClientWidth = 4605;       // twips
constexpr int DesignClientHeight = 1170;
constexpr int TimedTicks = 60;                // 60 ticks of 250 ms: about 15 seconds
// Steps can come thousands a second; painting each costs more than the step. The window
// repaints at most this often (25 times a second, smooth to the eye) and always at the end.
constexpr int PaintIntervalMs = 40;

void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twips::ToPixels(left), twips::ToPixels(top), twips::ToPixels(width), twips::ToPixels(height));
}

int topOf(const QWidget *w) { return twips::FromPixels(w->y()); }
int heightOf(const QWidget *w) { return twips::FromPixels(w->height()); }

} // namespace

frmProgress::frmProgress(QWidget *parent) : QDialog(parent), mFont(QStringLiteral("MS Sans Serif"), 8.25, 0)
{
    setObjectName(QStringLiteral("frmProgress"));
    setModal(false);
    // A title bar without the buttons that would resize or close it behind the caller's back.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("<TASK NAME HERE>"));

    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    place(lblProgress, 120, 120, 4395, 195);
    prgProgress = new QProgressBar(this);
    prgProgress->setObjectName(QStringLiteral("prgProgress"));
    prgProgress->setTextVisible(false);
    place(prgProgress, 60, 360, 4455, 255);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    place(cmdCancel, 3360, 720, 1155, 375);
    tmrProgress = new QTimer(this);
    tmrProgress->setObjectName(QStringLiteral("tmrProgress"));
    tmrProgress->setInterval(250);

    connect(tmrProgress, &QTimer::timeout, this, [this] { Increment(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        mblnCancelled = true;
        QCoreApplication::processEvents();
    });

    // Load: captions, the designed client area, the console's font.
    SetProgressCaptions();
    mintClientWidth = DesignClientWidth;
    mintClientHeight = DesignClientHeight;
    setFixedSize(twips::ToPixels(mintClientWidth), twips::ToPixels(mintClientHeight));
    modFonts::ApplyFont(mFont, {lblProgress, prgProgress, cmdCancel, tmrProgress}, PageConsoleFont());
}

frmProgress::~frmProgress()
{
    // A window dropped without Shutdown still gives its owner back.
    if (minsParentForm) {
        minsParentForm->setEnabled(true);
        minsParentForm->unsetCursor();
    }
}

void frmProgress::SetProgressCaptions()
{
    setWindowTitle(modLanguage::GetLangString(StrCaption));
    cmdCancel->setText(modLanguage::GetLangString(StrCancel));
}

bool frmProgress::TimedMode() const { return tmrProgress->isActive(); }

void frmProgress::Initialize(const QString &pstrTitle, qint32 plngMax, QWidget *pinsParentForm, bool pblnShowText,
                             const QVariant &pblnShowCancel, qint16 pintShowTextChunk)
{
    mblnCancelled = false;
    minsParentForm = pinsParentForm;
    if (plngMax <= 0) {
        StartTimedMode();
    } else {
        tmrProgress->stop();
        prgProgress->setRange(1, plngMax >= 2 ? plngMax : 2);
        prgProgress->setValue(1);
    }
    mintShowTextChunk = pintShowTextChunk < 1 ? 1 : pintShowTextChunk;
    mblnShowText = pblnShowText;
    mblnShowCancel = pblnShowCancel.toBool();
    ArrangeControls();
    UpdateProgressText();
    setWindowTitle(pstrTitle);
    mPaintClock.invalidate();
    if (pinsParentForm) {
        // Owned by that form: it stays above it and goes with it.
        setParent(pinsParentForm, windowFlags());
    }
    show();
    if (pinsParentForm) {
        pinsParentForm->setCursor(Qt::WaitCursor);
        pinsParentForm->setEnabled(false);
        // Disabling the owner disables its owned windows too; this one must stay usable.
        setEnabled(true);
    }
    QCoreApplication::processEvents();
}

void frmProgress::StartTimedMode()
{
    prgProgress->setRange(1, TimedTicks);
    prgProgress->setValue(1);
    tmrProgress->start();
    QCoreApplication::processEvents();
}

void frmProgress::Increment()
{
    if (prgProgress->maximum() <= prgProgress->value())
        return;
    prgProgress->setValue(prgProgress->value() + 1);
    UpdateProgressText();
    PaintIfDue();
    QCoreApplication::processEvents();
}

void frmProgress::PaintIfDue()
{
    const bool due = !mPaintClock.isValid() || mPaintClock.elapsed() >= PaintIntervalMs ||
                     prgProgress->value() >= prgProgress->maximum();
    if (!due) {
        // Changes wait for the next paint; clicks still arrive.
        setUpdatesEnabled(false);
        return;
    }
    setUpdatesEnabled(true);
    repaint();
    mPaintClock.restart();
}

void frmProgress::UpdateProgressText()
{
    if (TimedMode()) {
        lblProgress->setText(modLanguage::GetLangString(StrTimed));
        return;
    }
    const int value = prgProgress->value();
    if (value % mintShowTextChunk != 0)
        return;
    lblProgress->setText(modLanguage::GetLangString(StrCounted, value, prgProgress->maximum()));
}

void frmProgress::ArrangeControls()
{
    if (mblnShowText) {
        place(prgProgress, 60, topOf(lblProgress) + heightOf(lblProgress) + Gap, 4455, 255);
        lblProgress->show();
    } else {
        place(prgProgress, 60, Gap, 4455, 255);
        lblProgress->hide();
    }
    int bottom = topOf(prgProgress) + heightOf(prgProgress) + Gap;
    if (mblnShowCancel) {
        // An arrow with the hourglass, so that the button can still be aimed at.
        setCursor(Qt::BusyCursor);
        place(cmdCancel, 3360, bottom, 1155, 375);
        bottom = topOf(cmdCancel) + heightOf(cmdCancel) + Gap;
        cmdCancel->show();
    } else {
        setCursor(Qt::WaitCursor);
        cmdCancel->hide();
    }
    mintClientHeight = bottom;
    mInResize = true;
    setFixedSize(twips::ToPixels(mintClientWidth), twips::ToPixels(mintClientHeight));
    mInResize = false;
}

void frmProgress::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const QSize kept(twips::ToPixels(mintClientWidth), twips::ToPixels(mintClientHeight));
    if (mInResize || size() == kept)
        return;
    // The window keeps the size its layout gave it.
    mInResize = true;
    resize(kept);
    mInResize = false;
}

void frmProgress::closeEvent(QCloseEvent *event)
{
    // Only Shutdown ends the window; the caller's loop still reads it.
    if (isVisible())
        event->ignore();
}

void frmProgress::reject()
{
    // Esc is Cancel when there is a Cancel button; otherwise the window stays.
    if (mblnShowCancel)
        cmdCancel->click();
}

void frmProgress::SetToMax()
{
    tmrProgress->stop();
    prgProgress->setValue(prgProgress->maximum());
    UpdateProgressText();
    setUpdatesEnabled(true);
    repaint();
}

qint32 frmProgress::MaxValue() const { return TimedMode() ? 0 : prgProgress->maximum(); }
qint32 frmProgress::ProgressValue() const { return prgProgress->value(); }

void frmProgress::SetProgressValue(qint32 plngValue)
{
    if (plngValue < prgProgress->minimum() || plngValue > prgProgress->maximum())
        return;
    prgProgress->setValue(plngValue);
    UpdateProgressText();
    PaintIfDue();
}

void frmProgress::Reset(const QString &pstrTitle, qint32 plngMax, const QVariant &pblnShowText,
                        const QVariant &pblnShowCancel, qint16 pintShowTextChunk)
{
    if (!pstrTitle.isEmpty())
        setWindowTitle(pstrTitle);
    mblnCancelled = false;
    if (plngMax == -1) {
        prgProgress->setValue(prgProgress->minimum());
    } else if (plngMax == 0) {
        StartTimedMode();
    } else {
        tmrProgress->stop();
        prgProgress->setValue(prgProgress->minimum());
        prgProgress->setMaximum(plngMax == 1 ? 2 : plngMax);
    }
    if (!pblnShowText.isNull())
        mblnShowText = pblnShowText.toBool();
    if (pintShowTextChunk > 0)
        mintShowTextChunk = pintShowTextChunk;
    if (!pblnShowCancel.isNull())
        mblnShowCancel = pblnShowCancel.toBool();
    ArrangeControls();
    UpdateProgressText();
    setUpdatesEnabled(true);
    repaint();
}

void frmProgress::Shutdown()
{
    tmrProgress->stop();
    setUpdatesEnabled(true);
    if (minsParentForm) {
        minsParentForm->setEnabled(true);
        minsParentForm->unsetCursor();
    }
    minsParentForm = nullptr;
    hide();
    // No longer owned by the form: the caller that made the window deletes it.
    setParent(nullptr, windowFlags());
}
