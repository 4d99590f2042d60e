// frmPrinter: the Connection tab. Only the boxes the chosen connection type needs are shown,
// and they are always filled from the printer's stored host, port and device texts, so that
// changing the type throws away what was typed and changing back shows the stored values.
#include "frmprinter.h"
#include "ui_frmprinter.h"

#include "olecolor.h"
#include "qm6fieldrules.h"

#include <QApplication>

namespace {
constexpr quint32 ColorGrayText = 0x80000011;
constexpr quint32 ColorButtonText = 0x80000012;

void showWidgets(std::initializer_list<QWidget *> widgets, bool visible)
{
    for (QWidget *w : widgets)
        w->setVisible(visible);
}
}

void frmPrinter::cmbConnection_Click()
{
    const bool loading = mblnLoading;
    mblnLoading = true;
    mlngConnectionType = ui->cmbConnection->currentIndex() >= 0 ? ui->cmbConnection->currentData().toInt() : 1;
    switch (mlngConnectionType) {
    case 1:
        ShowNetworkShare();
        break;
    case 2:
        ShowDirectIP();
        break;
    case 3:
        ShowLocal();
        break;
    default:
        break;   // an unknown type leaves the tab as it is
    }
    SetDirty();
    mblnLoading = loading;
}

void frmPrinter::ShowNetworkShare()
{
    // The host is not typed: it is the server part of the share path in the port box.
    showWidgets({ui->txtHost, ui->lblHost, ui->lblPort, ui->txtPort}, true);
    SetHostCaptionColour(ColorGrayText);
    ui->txtHost->setEnabled(false);
    showWidgets({ui->lblDevice, ui->txtDevice}, false);
    SetMACRowVisible(false);
    SetIPRowVisible(false);
    const QString port = minsPrinter->Port();
    QString server;
    ui->txtHost->setText(ParseUNCPath(port, server) ? server : minsPrinter->Host());
    ui->txtPort->setText(port);
}

void frmPrinter::ShowDirectIP()
{
    showWidgets({ui->txtHost, ui->lblHost, ui->lblPort, ui->txtPort, ui->lblDevice, ui->txtDevice}, false);
    QStringList groups;
    if (ParseMACAddress(minsPrinter->Host(), groups)) {
        mblnMACEntry = true;
        SetMACRowVisible(true);
        for (size_t i = 0; i < txtMAC.size(); ++i) {
            txtMAC[i]->setEnabled(true);
            txtMAC[i]->setText(groups[qsizetype(i)]);
        }
    } else {
        SetMACRowVisible(false);
        showWidgets({ui->txtHost, ui->lblHost}, true);
        ui->txtHost->setEnabled(true);
        SetHostCaptionColour(ColorButtonText);
        ui->txtHost->setText(minsPrinter->Host());
        mblnMACEntry = false;
    }
    QString port;
    QStringList pieces;
    const bool valid = ParseIPAddress(minsPrinter->Port(), port, pieces);
    SetIPRowVisible(true);
    ui->txtIPPort->setText(port);
    for (size_t i = 0; i < txtIPAddress.size(); ++i)
        txtIPAddress[i]->setText(valid ? pieces[qsizetype(i)] : QString());
}

void frmPrinter::ShowLocal()
{
    showWidgets({ui->txtHost, ui->lblHost, ui->lblPort, ui->txtPort, ui->lblDevice, ui->txtDevice}, true);
    SetHostCaptionColour(ColorButtonText);
    ui->txtHost->setEnabled(true);
    SetMACRowVisible(false);
    SetIPRowVisible(false);
    ui->txtDevice->setText(minsPrinter->Device());
    ui->txtHost->setText(minsPrinter->Host());
    ui->txtPort->setText(minsPrinter->Port());
}

void frmPrinter::SetMACRowVisible(bool visible)
{
    ui->lblMACAddress->setVisible(visible);
    for (size_t i = 0; i < txtMAC.size(); ++i) {
        if (i < lblHyphen.size())
            lblHyphen[i]->setVisible(visible);
        txtMAC[i]->setVisible(visible);
    }
}

void frmPrinter::SetIPRowVisible(bool visible)
{
    ui->lblIPAddress->setVisible(visible);
    for (size_t i = 0; i < txtIPAddress.size(); ++i) {
        if (i < lblIPDot.size())
            lblIPDot[i]->setVisible(visible);
        txtIPAddress[i]->setVisible(visible);
    }
    ui->lblColon->setVisible(visible);
    ui->txtIPPort->setVisible(visible);
}

void frmPrinter::SetHostCaptionColour(quint32 oleColour)
{
    QPalette palette = ui->lblHost->palette();
    palette.setColor(QPalette::WindowText, OleColorToQColor(oleColour, QApplication::palette()));
    ui->lblHost->setPalette(palette);
}
