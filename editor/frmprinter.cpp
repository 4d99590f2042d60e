// frmPrinter: the entry points, loading the form, showing a printer, the dirty state and
// the two buttons.
#include "frmprinter.h"
#include "ui_frmprinter.h"

#include "commonservices.h"
#include "dialogparent.h"
#include "fillcombo.h"
#include "hourglass.h"
#include "modfonts.h"
#include "modlanguage.h"
#include "pageglobals.h"
#include "printerdata.h"

#include <QKeyEvent>
#include <QLocale>
#include <QSignalBlocker>

using modLanguage::GetLangString;

namespace {

constexpr qint32 PermissionChangePrinters = 129;
constexpr qint32 ConnectionTypeLocal = 3;

// What a new printer starts as: the data component's defaults, connected locally.
QM6PrinterPtr NewPrinter()
{
    auto printer = std::make_shared<QM6Printer>();
    printer->SetConnectionType(ConnectionTypeLocal);
    return printer;
}

bool MayChangePrinters(const QM6ConnectionPtr &connection)
{
    return connection && !connection->CheckPermission(PermissionChangePrinters);
}

// Selects the first entry whose item data is value; with none the selection stays.
void SelectItemData(QComboBox *combo, qint32 value)
{
    const int index = combo->findData(value);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

// ---- Entry points --------------------------------------------------------------------------

bool frmPrinter::AddPrinter(IQM6AdminControl *pinsParent)
{
    Hourglass hourglass;
    const std::unique_ptr<frmPrinter> form = NewPrinterForm(pinsParent);
    hourglass.ShowDefault();
    form->exec();
    return form->Saved();
}

bool frmPrinter::EditPrinter(IQM6AdminControl *pinsParent, qint32 plngPrinterId)
{
    Hourglass hourglass;
    const std::unique_ptr<frmPrinter> form = PrinterForm(pinsParent, plngPrinterId);
    if (!form)
        return false;
    hourglass.ShowDefault();
    form->exec();
    return form->Saved();
}

std::unique_ptr<frmPrinter> frmPrinter::NewPrinterForm(IQM6AdminControl *pinsParent)
{
    const QM6ConnectionPtr connection = pinsParent ? pinsParent->Connection() : nullptr;
    // The lists are read from the caller's connection, so it is taken before the form loads.
    std::unique_ptr<frmPrinter> form(new frmPrinter(connection, MayChangePrinters(connection), DialogParent(pinsParent)));
    form->Form_Load();
    // A connection that cannot be opened leaves the profile list empty, and the save then
    // asks for a track profile; nothing is shown here.
    if (connection && !connection->OpenConnection(true)) {
        form->LoadProfiles();
        connection->CloseConnection();
    }
    form->minsPrinter = NewPrinter();
    form->ShowPrinter();
    form->ui->cmdSave->setText(GetLangString(156));
    form->setWindowTitle(GetLangString(157));
    return form;
}

std::unique_ptr<frmPrinter> frmPrinter::PrinterForm(IQM6AdminControl *pinsParent, qint32 plngPrinterId)
{
    const QM6ConnectionPtr connection = pinsParent ? pinsParent->Connection() : nullptr;
    const bool canChange = MayChangePrinters(connection);
    auto printer = std::make_shared<QM6Printer>();
    QM6ErrorPtr error = connection ? connection->OpenConnection(true) : nullptr;
    const bool opened = connection && !error;
    if (!error)
        error = printer->Load(connection, plngPrinterId);
    if (error) {
        ICommonServices &services = CommonServices();
        services.ShowMessage(GetLangString(160, services.GetAppTitle(), error->Description()), -1);
        if (opened)
            connection->CloseConnection();
        return nullptr;
    }
    std::unique_ptr<frmPrinter> form(new frmPrinter(connection, canChange, DialogParent(pinsParent)));
    form->mConnectionHeld = true;
    form->minsPrinter = printer;
    form->Form_Load();
    form->LoadProfiles();
    form->ShowPrinter();
    form->ShowHistory();
    form->ui->cmdSave->setText(GetLangString(158));
    form->setWindowTitle(GetLangString(159, printer->Name()));
    return form;
}

// ---- The form ------------------------------------------------------------------------------

frmPrinter::frmPrinter(QM6ConnectionPtr connection, bool canChange, QWidget *parent)
    : QDialog(parent), minsConnection(std::move(connection)), mblnCanChange(canChange),
      ui(std::make_unique<Ui::frmPrinter>()), mFormFont(DesignFont())
{
    ui->setupUi(this);
    setFont(mFormFont.ToQFont());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    FindControlArrays();
    // Every tab caption stays whole: the tab control grows instead of scrolling or eliding.
    ui->tabPrinters->setUsesScrollButtons(false);
    ui->tabPrinters->setElideMode(Qt::ElideNone);
    mDesign.Record(PlacedControls());
    // Enter saves, Esc is Close (which cancels the changes while there are any).
    ui->cmdSave->setDefault(true);
    connect(this, &frmPrinter::DirtyChanged, this, &frmPrinter::FollowDirty);
    connect(ui->cmdSave, &QPushButton::clicked, this, &frmPrinter::cmdSave_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmPrinter::cmdClose_Click);
    ConnectFieldEvents();
}

frmPrinter::~frmPrinter()
{
    if (mConnectionHeld)
        minsConnection->CloseConnection();
}

void frmPrinter::FindControlArrays()
{
    auto find = [this](auto &array, const char *name, int first) {
        using T = std::remove_pointer_t<typename std::remove_reference_t<decltype(array)>::value_type>;
        for (int i = first; i < int(array.size()); ++i)
            array[size_t(i)] = findChild<T *>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
    };
    find(lblCaption, "lblCaption", 0);
    find(lblMatch, "lblMatch", 0);
    find(chkConnection, "chkConnection", 1);
    find(txtMAC, "txtMAC", 0);
    find(lblHyphen, "lblHyphen", 0);
    find(txtIPAddress, "txtIPAddress", 0);
    find(lblIPDot, "lblIPDot", 0);
}

void frmPrinter::Form_Load()
{
    SetCaptions();
    {
        // Filling a list selects nothing and runs no handler; ShowPrinter selects.
        const QSignalBlocker connectionTypes(ui->cmbConnection), deviceTypes(ui->cmbDeviceType);
        FillComboFromList(ui->cmbConnection, LookupLists::Instance().GetList(minsConnection, 6), -1, true);
        FillComboFromList(ui->cmbDeviceType, LookupLists::Instance().GetList(minsConnection, 5), -1, false);
        ui->cmbConnection->setCurrentIndex(-1);
        ui->cmbDeviceType->setCurrentIndex(-1);
    }
    QList<QObject *> controls;
    for (QWidget *w : PlacedControls())
        controls << w;
    modFonts::ApplyFont(mFormFont, controls, PageConsoleFont());
    setFont(mFormFont.ToQFont());
    FitToFont();
}

void frmPrinter::SetCaptions()
{
    auto L = [](qint32 id) { return GetLangString(id); };
    setWindowTitle(L(100));
    for (int tab = 0; tab < ui->tabPrinters->count(); ++tab)
        ui->tabPrinters->setTabText(tab, L(101 + tab));
    // In the order the captions are fetched; the separators ".", ":" and "--" keep theirs.
    const std::pair<QWidget *, qint32> captions[] = {
        {ui->chkDisableColorMode, 106}, {ui->chkPopEarly, 107},   {lblCaption[13], 108},    {lblCaption[12], 109},
        {lblCaption[7], 110},           {lblCaption[6], 111},     {chkConnection[2], 112},  {chkConnection[1], 113},
        {chkConnection[3], 114},        {lblMatch[3], 115},       {lblMatch[2], 116},       {lblCaption[11], 117},
        {lblMatch[0], 118},             {lblMatch[1], 119},       {ui->chkIsDuplex, 120},   {ui->chkIsColor, 121},
        {lblCaption[2], 122},           {lblCaption[3], 123},     {lblCaption[5], 124},     {lblCaption[1], 125},
        {lblCaption[10], 126},          {ui->lblMACAddress, 128}, {ui->lblPort, 137},       {lblCaption[9], 138},
        {ui->lblHost, 139},             {ui->lblIPAddress, 140},  {ui->lblDevice, 141},     {ui->cmdClose, 142},
        {ui->cmdSave, 143},             {lblCaption[4], 144},     {lblCaption[8], 145},     {lblCaption[0], 146},
        {ui->fraCounts, 163},           {lblCaption[14], 164},    {lblCaption[15], 165},
    };
    for (const auto &[control, id] : captions) {
        if (auto *label = qobject_cast<QLabel *>(control))
            label->setText(L(id));
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            button->setText(L(id));
        else if (auto *frame = qobject_cast<QGroupBox *>(control))
            frame->setTitle(L(id));
    }
    SetHistoryCaptions();
}

void frmPrinter::LoadProfiles()
{
    Hourglass hourglass;
    const QSignalBlocker blocker(ui->cmbProfile);
    ui->cmbProfile->clear();
    QM6RecordsetPtr profiles;
    if (const QM6ErrorPtr error = PrinterData::Instance().GetPrintProfiles(minsConnection, &profiles)) {
        error->Display();
        return;
    }
    const int name = profiles->FieldIndex(QStringLiteral("Name"));
    const int id = profiles->FieldIndex(QStringLiteral("PrintProfileId"));
    for (profiles->MoveFirst(); !profiles->Eof(); profiles->MoveNext())
        ui->cmbProfile->addItem(profiles->Value(name).toString(), qint32(profiles->Int(id)));
    profiles->Close();
    ui->cmbProfile->setCurrentIndex(-1);
}

void frmPrinter::ShowPrinter()
{
    mblnLoading = true;
    const QM6Printer &printer = *minsPrinter;
    ui->txtName->setText(printer.Name());
    if (printer.PrintProfileId() != 0)
        SelectItemData(ui->cmbProfile, printer.PrintProfileId());
    ui->txtAccountNo->setText(printer.AccountNo());
    const int type = ui->cmbConnection->findData(printer.ConnectionType());
    if (type >= 0 && type == ui->cmbConnection->currentIndex())
        cmbConnection_Click();   // the same entry again: the tab is refilled from the stored texts all the same
    else if (type >= 0)
        ui->cmbConnection->setCurrentIndex(type);
    ui->chkIsColor->setChecked(printer.IsColor());
    ui->chkIsDuplex->setChecked(printer.IsDuplex());
    SelectItemData(ui->cmbDeviceType, printer.DeviceType());
    ui->txtModel->setText(printer.Model());
    ui->txtLocation->setText(printer.Location());
    ui->txtSerialNo->setText(printer.SerialNo());
    ShowAutoMergeRule();
    ui->chkPopEarly->setChecked(printer.PopEarly());
    ui->chkDisableColorMode->setChecked(printer.DisableColorMode());
    ui->txtBWTotal->setText(QString::number(printer.BWTotal()));
    ui->txtColorTotal->setText(QString::number(printer.ColorTotal()));
    ui->lblWhoModified->setText(printer.ModifiedBy());
    if (printer.ModifiedOn().isValid())
        ui->lblWhenModified->setText(QLocale().toString(printer.ModifiedOn(), QStringLiteral("MMM dd, yyyy HH:mm:ss")));
    // Filling the boxes ran their change handlers, which marked the editor changed.
    ClearDirty();
    ApplyReadOnlyRule();
    ui->tabPrinters->setCurrentIndex(0);
    mblnLoading = false;
}

void frmPrinter::ApplyReadOnlyRule()
{
    if (mblnCanChange)
        return;
    // Without the right to change printers everything can still be read: the tabs switch
    // and Close closes.
    for (QWidget *control : PlacedControls())
        if (!qobject_cast<QLabel *>(control))
            control->setEnabled(false);
    ui->cmdClose->setEnabled(true);
    ui->tabPrinters->setEnabled(true);
    ui->lstHistory->setEnabled(true);   // it only shows, and must scroll
}

// ---- The dirty state and the buttons -------------------------------------------------------

void frmPrinter::SetDirty()
{
    if (mblnDirty)
        return;
    mblnDirty = true;
    emit DirtyChanged(true);
}

void frmPrinter::ClearDirty()
{
    mblnDirty = false;
    emit DirtyChanged(false);
}

void frmPrinter::FollowDirty(bool dirty)
{
    ui->cmdSave->setEnabled(dirty && mblnCanChange);
    ui->cmdClose->setText(GetLangString(dirty ? 162 : 161));
}

void frmPrinter::cmdSave_Click()
{
    if (!SavePrinter())
        return;
    mblnSaved = true;
    accept();
}

void frmPrinter::cmdClose_Click()
{
    // The caption tells which of the two the button offers; when both texts are the same it
    // always closes.
    if (ui->cmdClose->text() == GetLangString(161)) {
        mblnSaved = false;
        reject();
        return;
    }
    if (minsPrinter->PrinterId() == -1)
        minsPrinter = NewPrinter();
    ShowPrinter();
}

void frmPrinter::keyPressEvent(QKeyEvent *event)
{
    // Esc presses Close, which cancels the changes first when there are any.
    if (event->matches(QKeySequence::Cancel)) {
        if (ui->cmdClose->isEnabled())
            ui->cmdClose->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
