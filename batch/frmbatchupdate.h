// The batch update form: collects a track profile, an account and a model to apply to several
// printers, asks for confirmation, and hands them back in a template printer. It changes no
// printer itself; the page applies the template with its own progress window.
#pragma once

#include "iqm6admincontrol.h"
#include "qm6font.h"
#include "qm6printer.h"

#include <QDialog>
#include <array>
#include <memory>

class QLabel;

namespace Ui {
class frmBatchUpdate;
}

class frmBatchUpdate final : public QDialog {
    Q_OBJECT
public:
    // True when the user confirmed an update; pinsBatchPrinter then holds the template
    // (PrintProfileId -1: keep each printer's profile; an account or model left empty: keep).
    // False with an empty template when the user closed the form, may not change printers, or
    // the track profiles could not be read.
    static bool BatchUpdate(IQM6AdminControl *pinsParent, QM6PrinterPtr &pinsBatchPrinter);

    explicit frmBatchUpdate(QM6ConnectionPtr connection, QWidget *parent = nullptr);
    ~frmBatchUpdate() override;

    bool LoadProfiles();
    bool Saved() const { return mblnSaved; }
    QM6PrinterPtr BatchPrinter() const { return minsBatchPrinter; }

private:
    void Form_Load();
    void SetCaptions();
    void cmdSave_Click();

    std::unique_ptr<Ui::frmBatchUpdate> ui;
    std::array<QLabel *, 3> lblCaption{};
    QM6ConnectionPtr minsConnection;
    bool mblnSaved = false;
    QM6PrinterPtr minsBatchPrinter;
    QM6Font mFont;
};
