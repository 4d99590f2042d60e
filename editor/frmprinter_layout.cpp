// frmPrinter: the form at the console's font. The controls stand at their designed places
// (15 twips to a pixel) scaled with the font; captions, boxes and panels then make room so
// that no caption is cut off in any language.
#include "frmprinter.h"
#include "ui_frmprinter.h"

#include "modlanguage.h"

#include <algorithm>

namespace {
// Distances of the design, in pixels at the design font.
constexpr int Margin = 8;   // 120 twips: from the form's and the panels' edges
constexpr int Gap = 6;      // between a caption and its box, and between neighbours
}

QM6Font frmPrinter::DesignFont()
{
    return QM6Font(QStringLiteral("MS Sans Serif"), 8.25, 0);
}

QList<QWidget *> frmPrinter::PlacedControls() const
{
    QList<QWidget *> panels{const_cast<frmPrinter *>(this), ui->fraCounts};
    for (int tab = 0; tab < ui->tabPrinters->count(); ++tab)
        panels << ui->tabPrinters->widget(tab);
    QList<QWidget *> controls;
    for (QWidget *panel : panels)
        controls += panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    return controls;
}

void frmPrinter::FitToFont()
{
    const double factor = formgrowth::FontFactor(DesignFont().ToQFont(), mFormFont.ToQFont());
    auto scaled = [factor](int pixels) { return formgrowth::Design::Scale(pixels, factor); };
    const QList<QWidget *> placed = PlacedControls();
    mDesign.Apply(factor);

    // The two buttons take the longest of the captions they show over the form's life.
    const std::pair<QPushButton *, std::array<qint32, 3>> buttons[] = {{ui->cmdSave, {143, 156, 158}}, {ui->cmdClose, {142, 161, 162}}};
    int buttonWidth = ui->cmdSave->width();
    for (const auto &[button, ids] : buttons) {
        const QString shown = button->text();
        for (const qint32 id : ids) {
            button->setText(modLanguage::GetLangString(id));
            buttonWidth = std::max(buttonWidth, button->sizeHint().width());
        }
        button->setText(shown);
    }
    formgrowth::FitToText(placed);
    for (const auto &[button, ids] : buttons)
        button->resize(buttonWidth, button->height());

    QList<QWidget *> macRow, ipRow;
    for (size_t i = 0; i < txtMAC.size(); ++i) {
        macRow << txtMAC[i];
        if (i < lblHyphen.size())
            macRow << lblHyphen[i];
    }
    for (size_t i = 0; i < txtIPAddress.size(); ++i) {
        ipRow << txtIPAddress[i];
        if (i < lblIPDot.size())
            ipRow << lblIPDot[i];
    }
    ipRow << ui->lblColon << ui->txtIPPort;
    const QList<QWidget *> colourRow{ui->chkIsColor, ui->chkIsDuplex};
    const QList<QWidget *> typeRow{chkConnection[3], chkConnection[1], chkConnection[2]};
    const formgrowth::CaptionColumn columns[] = {
        {{lblCaption[0], lblCaption[8], lblCaption[4]}, {{ui->txtName}, {ui->cmbProfile}, {ui->txtAccountNo}}, 72},
        {{lblCaption[9], ui->lblHost, ui->lblMACAddress, ui->lblIPAddress, ui->lblPort, ui->lblDevice},
         {{ui->cmbConnection}, {ui->txtHost}, macRow, ipRow, {ui->txtPort}, {ui->txtDevice}}, 80},
        {{lblCaption[1], lblCaption[3], lblCaption[5], lblCaption[2], lblCaption[10]},
         {colourRow, {ui->cmbDeviceType}, {ui->txtModel}, {ui->txtSerialNo}, {ui->txtLocation}}, 80},
        {{lblCaption[11], lblMatch[0], lblMatch[1], lblMatch[3], lblMatch[2]},
         {typeRow, {ui->txtDeviceMatch}, {ui->txtHostMatch}, {ui->txtPortMatch}, {ui->txtModelMatch}}, 96},
        {{lblCaption[12], lblCaption[13]}, {{ui->chkPopEarly}, {ui->chkDisableColorMode}}, 132},
        {{lblCaption[14], lblCaption[15]}, {{ui->txtBWTotal}, {ui->txtColorTotal}}, 108},
        {{lblCaption[7], lblCaption[6]}, {{ui->lblWhoModified}, {ui->lblWhenModified}}, 80},
    };
    for (const formgrowth::CaptionColumn &column : columns)
        formgrowth::FitColumn(column, factor);
    formgrowth::Chain(colourRow, scaled(Gap));
    formgrowth::Chain(typeRow, scaled(Gap));
    formgrowth::Chain(macRow, 0);
    formgrowth::Chain(ipRow, 0);

    // Each panel holds what it carries: the frame its boxes, each tab page its controls, the
    // tab control its largest page and every tab's caption.
    const int margin = scaled(Margin);
    ui->fraCounts->resize(ui->fraCounts->size()
                              .expandedTo(formgrowth::Extent(ui->fraCounts->findChildren<QWidget *>(Qt::FindDirectChildrenOnly), margin))
                              .expandedTo(ui->fraCounts->minimumSizeHint()));
    for (int tab = 0; tab < ui->tabPrinters->count(); ++tab) {
        QWidget *page = ui->tabPrinters->widget(tab);
        page->setMinimumSize(formgrowth::Extent(page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly), margin));
    }
    ui->tabPrinters->resize(ui->tabPrinters->size().expandedTo(ui->tabPrinters->minimumSizeHint()));

    // The buttons stand right of the boxes at the top, with the tab control below; both end
    // at one right edge.
    const QList<QWidget *> top{ui->txtName, ui->cmbProfile, ui->txtAccountNo};
    const int buttonsLeft = std::max(ui->cmdSave->x(), formgrowth::Extent(top, 0).width() + scaled(Gap));
    const int right = std::max(buttonsLeft + buttonWidth, ui->tabPrinters->geometry().right() + 1);
    ui->cmdSave->move(right - buttonWidth, ui->cmdSave->y());
    ui->cmdClose->move(right - buttonWidth, std::max(ui->cmdClose->y(), ui->cmdSave->geometry().bottom() + 1 + scaled(Gap)));
    const int tabTop = std::max(ui->tabPrinters->y(), formgrowth::Extent(top + QList<QWidget *>{ui->cmdClose}, 0).height() + scaled(Gap));
    ui->tabPrinters->setGeometry(ui->tabPrinters->x(), tabTop, right - ui->tabPrinters->x(), ui->tabPrinters->height());
    setFixedSize(right + margin, ui->tabPrinters->geometry().bottom() + 1 + margin);
}
