// frmPrinter: how the boxes react to typing and focus, and how every edit marks the editor
// changed. While code fills the boxes (mblnLoading) the address boxes neither move the focus
// nor mark anything; the other boxes mark the editor changed regardless, and ShowPrinter clears
// the mark when it has filled the form.
#include "frmprinter.h"
#include "ui_frmprinter.h"

#include "modutilityfunctions.h"
#include "qm6fieldrules.h"

#include <QFocusEvent>
#include <QTimer>

void frmPrinter::ConnectFieldEvents()
{
    const auto markChanged = [this] { SetDirty(); };
    for (QLineEdit *box : {ui->txtHost, ui->txtName, ui->txtModel, ui->txtSerialNo, ui->txtAccountNo, ui->txtHostMatch,
                           ui->txtPortMatch, ui->txtDeviceMatch, ui->txtModelMatch, ui->txtBWTotal, ui->txtColorTotal,
                           ui->txtDevice, ui->txtLocation})
        connect(box, &QLineEdit::textChanged, this, markChanged);
    for (QCheckBox *box : {ui->chkDisableColorMode, ui->chkIsColor, ui->chkIsDuplex, ui->chkPopEarly})
        connect(box, &QCheckBox::stateChanged, this, markChanged);
    for (QComboBox *list : {ui->cmbDeviceType, ui->cmbProfile})
        connect(list, &QComboBox::currentIndexChanged, this, markChanged);
    for (const qint32 code : {1, 2, 3})
        connect(chkConnection[size_t(code)], &QCheckBox::stateChanged, this, [this] {
            SetDirty();
            EnableMatchFields();
        });
    connect(ui->cmbConnection, &QComboBox::currentIndexChanged, this, [this] { cmbConnection_Click(); });

    for (int i = 0; i < int(txtIPAddress.size()); ++i)
        connect(txtIPAddress[size_t(i)], &QLineEdit::textChanged, this, [this, i] { txtIPAddress_Change(i); });
    connect(ui->txtIPPort, &QLineEdit::textChanged, this, [this] {
        if (!mblnLoading)
            SetDirty();
    });
    for (int i = 0; i < int(txtMAC.size()); ++i)
        connect(txtMAC[size_t(i)], &QLineEdit::textChanged, this, [this, i] { txtMAC_Change(i); });
    connect(ui->txtPort, &QLineEdit::textChanged, this, [this] { txtPort_Change(); });

    // Digits only, with a beep for anything else (pasted text is checked when saving).
    QList<QLineEdit *> digitsOnly{ui->txtIPPort, ui->txtBWTotal, ui->txtColorTotal};
    digitsOnly.append(QList<QLineEdit *>(txtIPAddress.begin(), txtIPAddress.end()));
    for (QLineEdit *box : digitsOnly)
        modUtilityFunctions::InstallNumericKeyFilter(box, false, false);

    // The form watches only these boxes. Entering one selects their whole text, so typing replaces it; the MAC boxes also
    // upper-case their text when they are left.
    QList<QLineEdit *> selectOnEntry{ui->txtIPPort, ui->txtPort, ui->txtHost, ui->txtName, ui->txtModel, ui->txtSerialNo,
                                     ui->txtAccountNo, ui->txtHostMatch, ui->txtPortMatch, ui->txtDeviceMatch, ui->txtModelMatch,
                                     ui->txtBWTotal, ui->txtColorTotal};
    selectOnEntry.append(QList<QLineEdit *>(txtIPAddress.begin(), txtIPAddress.end()));
    selectOnEntry.append(QList<QLineEdit *>(txtMAC.begin(), txtMAC.end()));
    for (QLineEdit *box : selectOnEntry)
        box->installEventFilter(this);
}

bool frmPrinter::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (box && event->type() == QEvent::FocusIn) {
        box->selectAll();
        // A click that brought the focus places the cursor after this; select again once it has.
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (box && event->type() == QEvent::FocusOut) {
        for (int i = 0; i < int(txtMAC.size()); ++i)
            if (box == txtMAC[size_t(i)])
                txtMAC_LostFocus(i);
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrinter::txtIPAddress_Change(int index)
{
    if (mblnLoading)
        return;
    QLineEdit *box = txtIPAddress[size_t(index)];
    if (box->text().size() == box->maxLength()) {
        if (index < int(txtIPAddress.size()) - 1)
            txtIPAddress[size_t(index) + 1]->setFocus();
        else
            ui->txtIPPort->setFocus();
    }
    SetDirty();
}

void frmPrinter::txtMAC_Change(int index)
{
    if (mblnLoading)
        return;
    QLineEdit *box = txtMAC[size_t(index)];
    if (box->text().size() == box->maxLength() && index < int(txtMAC.size()) - 1)
        txtMAC[size_t(index) + 1]->setFocus();
    SetDirty();
}

void frmPrinter::txtMAC_LostFocus(int index)
{
    // Upper-casing is tidying, not a change: it neither moves the focus nor marks the editor.
    const bool loading = mblnLoading;
    mblnLoading = true;
    txtMAC[size_t(index)]->setText(txtMAC[size_t(index)]->text().toUpper());
    mblnLoading = loading;
}

void frmPrinter::txtPort_Change()
{
    // A share's host follows the server part of the path as it is typed.
    QString host;
    if (!mblnLoading && mlngConnectionType == 1 && ParseUNCPath(ui->txtPort->text(), host))
        ui->txtHost->setText(host);
    SetDirty();
}
