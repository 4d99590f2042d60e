// frmPrinter: saving. The form is checked field by field in a fixed order (one message for the
// first problem, with the field in front and focused), questions are asked where a change has
// wide effects, and only then is anything written into the printer object, which is stored
// inside one transaction of the caller's connection.
#include "frmprinter.h"
#include "ui_frmprinter.h"

#include "commonservices.h"
#include "hourglass.h"
#include "modlanguage.h"
#include "modutilityfunctions.h"
#include "qm6fieldrules.h"

using modLanguage::GetLangString;

namespace {
constexpr int TabConnection = 0;
constexpr int TabAdvanced = 3;
constexpr qsizetype AccountNoLength = 255;

bool askYes(qint32 stringId)
{
    qint32 answer = 0;
    CommonServices().AskYesNo(GetLangString(stringId), -1, answer);
    return answer == QM6_ANSWER_YES;
}
} // namespace

bool frmPrinter::Refuse(qint32 stringId, QWidget *field, int tab)
{
    CommonServices().ShowMessage(GetLangString(stringId), -1);
    if (tab >= 0)
        ui->tabPrinters->setCurrentIndex(tab);
    field->setFocus();
    return false;
}

bool frmPrinter::SavePrinter()
{
    // The hourglass stays up through every message and question of the save.
    Hourglass hourglass;
    modUtilityFunctions::TrimTextControls(this, false);

    if (ui->txtName->text().isEmpty())
        return Refuse(147, ui->txtName);
    if (ui->cmbProfile->currentIndex() < 0)
        return Refuse(148, ui->cmbProfile);
    if (ui->cmbConnection->currentIndex() < 0)
        return Refuse(149, ui->cmbConnection, TabConnection);
    const qint32 connectionType = ui->cmbConnection->currentData().toInt();

    QString hostValue, addressText;
    switch (connectionType) {
    case 1:
        ui->txtPort->setText(ui->txtPort->text().trimmed());
        if (ui->txtPort->text().isEmpty())
            return Refuse(151, ui->txtPort, TabConnection);
        break;
    case 2: {
        if (mblnMACEntry) {
            mblnLoading = true;
            for (QLineEdit *box : txtMAC) {
                box->setText(box->text().trimmed());
                hostValue += (box->text().size() == 1 ? QStringLiteral("0") : QString()) + box->text() + QLatin1Char('-');
            }
            mblnLoading = false;
            hostValue.chop(1);
            QStringList groups;
            if (!ParseMACAddress(hostValue, groups))
                return Refuse(152, txtMAC[0], TabConnection);
        } else {
            ui->txtHost->setText(ui->txtHost->text().trimmed());
            if (ui->txtHost->text().isEmpty())
                return Refuse(153, ui->txtHost, TabConnection);
            hostValue = ui->txtHost->text();
        }
        ui->txtIPPort->setText(ui->txtIPPort->text().trimmed().left(5));
        QStringList pieces;
        for (const QLineEdit *box : txtIPAddress)
            pieces << box->text();
        addressText = pieces.join(QLatin1Char('.'));
        QString port;
        QStringList parts;
        if (!ParseIPAddress(addressText, port, parts) || !fieldrules::IsIPPort(ui->txtIPPort->text()))
            return Refuse(154, txtIPAddress[0], TabConnection);
        break;
    }
    case 3:
        if (ui->txtDevice->text().isEmpty() && ui->txtHost->text().isEmpty() && ui->txtPort->text().isEmpty())
            return Refuse(150, ui->txtDevice, TabConnection);
        break;
    default:
        break;
    }

    // A rule merges printers found later into this one: asked at every save that keeps one.
    if (AnyConnectionTicked() && !askYes(155))
        return false;

    qint32 bwTotal = 0, colorTotal = 0;
    if (!fieldrules::ReadPageTotal(ui->txtBWTotal->text(), bwTotal))
        return Refuse(166, ui->txtBWTotal, TabAdvanced);
    if (!fieldrules::ReadPageTotal(ui->txtColorTotal->text(), colorTotal))
        return Refuse(167, ui->txtColorTotal, TabAdvanced);
    const bool totalsChanged = bwTotal != minsPrinter->BWTotal() || colorTotal != minsPrinter->ColorTotal();
    if (totalsChanged && !askYes(168))
        return false;

    // Every check passed: the form goes into the printer object.
    QM6Printer &printer = *minsPrinter;
    printer.SetName(ui->txtName->text());
    printer.SetPrintProfileId(ui->cmbProfile->currentData().toInt());
    printer.SetConnectionType(connectionType);
    switch (connectionType) {
    case 1:
        // The share path is both the device and the port; the host box holds its server.
        printer.SetDevice(ui->txtPort->text());
        printer.SetPort(ui->txtPort->text());
        printer.SetHost(ui->txtHost->text());
        break;
    case 2:
        if (printer.Device().isEmpty())
            printer.SetDevice(addressText);
        printer.SetPort(ui->txtIPPort->text().isEmpty() ? addressText : addressText + QLatin1Char(':') + ui->txtIPPort->text());
        printer.SetHost(hostValue);
        break;
    case 3:
        printer.SetDevice(ui->txtDevice->text());
        printer.SetPort(ui->txtPort->text());
        printer.SetHost(ui->txtHost->text());
        break;
    default:
        break;
    }
    printer.SetAccountNo(ui->txtAccountNo->text().left(AccountNoLength));
    printer.SetIsColor(ui->chkIsColor->isChecked());
    printer.SetIsDuplex(ui->chkIsDuplex->isChecked());
    printer.SetModel(ui->txtModel->text());
    printer.SetLocation(ui->txtLocation->text());
    // A device type that matches no entry of the list stays as it is.
    if (ui->cmbDeviceType->currentIndex() >= 0)
        printer.SetDeviceType(ui->cmbDeviceType->currentData().toInt());
    printer.SetSerialNo(ui->txtSerialNo->text());
    WriteAutoMergeRule();
    printer.SetPopEarly(ui->chkPopEarly->isChecked());
    printer.SetDisableColorMode(ui->chkDisableColorMode->isChecked());
    if (totalsChanged) {
        printer.SetBWTotal(bwTotal);
        printer.SetColorTotal(colorTotal);
    }

    if (const QM6ErrorPtr error = StorePrinter(totalsChanged)) {
        error->Display();
        return false;
    }
    return true;
}

QM6ErrorPtr frmPrinter::StorePrinter(bool totalsChanged)
{
    if (!minsConnection)
        return minsPrinter->Save(minsConnection);   // the component's own "no connection" error
    // Save and SaveTotals give the object the stored row's identity as soon as their statement
    // succeeds; when the transaction is rolled back afterwards that row is gone or unchanged,
    // so the object takes back what it had, and saving again stores exactly one printer.
    const QM6Printer::Identity loaded = minsPrinter->GetIdentity();
    if (QM6ErrorPtr error = minsConnection->BeginTransaction())
        return error;
    QM6ErrorPtr error = minsPrinter->Save(minsConnection);
    if (!error && totalsChanged)
        error = minsPrinter->SaveTotals(minsConnection, minsPrinter->BWTotal(), minsPrinter->ColorTotal());
    if (!error)
        error = minsConnection->CommitTransaction();
    if (error) {
        minsConnection->RollbackTransaction();
        minsPrinter->RestoreIdentity(loaded);
    }
    return error;
}
