#include "frmbatchupdate.h"
#include "ui_frmbatchupdate.h"

#include "commonservices.h"
#include "dialogparent.h"
#include "modfonts.h"
#include "modlanguage.h"
#include "modutilityfunctions.h"
#include "pageglobals.h"
#include "printerdata.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>

namespace {

constexpr int StrCaption = 1, StrClose = 2, StrUpdate = 3, StrModel = 4, StrProfile = 5, StrAccount = 6,
              StrKeepProfile = 7, StrConfirm = 8, StrNothing = 9;
constexpr qint32 PermissionChangePrinters = 129;


struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Selects the whole text when the box gets the focus, after the click has placed the caret.
class SelectAllOnFocus final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            if (auto *box = qobject_cast<QLineEdit *>(watched))
                QTimer::singleShot(0, box, [box] { box->selectAll(); });
        return false;
    }
};

} // namespace

bool frmBatchUpdate::BatchUpdate(IQM6AdminControl *pinsParent, QM6PrinterPtr &pinsBatchPrinter)
{
    pinsBatchPrinter.reset();
    if (!pinsParent)
        return false;
    const QM6ConnectionPtr connection = pinsParent->Connection();
    if (!connection || connection->CheckPermission(PermissionChangePrinters))
        return false;
    frmBatchUpdate form(connection, DialogParent(pinsParent));
    if (!form.LoadProfiles())
        return false;
    form.exec();
    pinsBatchPrinter = form.BatchPrinter();
    return form.Saved();
}

frmBatchUpdate::frmBatchUpdate(QM6ConnectionPtr connection, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmBatchUpdate>()), minsConnection(std::move(connection)),
      mFont(QStringLiteral("MS Sans Serif"), 8.25, 0)
{
    ui->setupUi(this);
    lblCaption = {ui->lblCaption_0, ui->lblCaption_1, ui->lblCaption_2};
    ui->txtAccountNo->installEventFilter(new SelectAllOnFocus(this));
    connect(ui->cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(ui->cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

frmBatchUpdate::~frmBatchUpdate() = default;

void frmBatchUpdate::Form_Load()
{
    SetCaptions();
    QList<QObject *> controls;
    for (QWidget *w : findChildren<QWidget *>())
        controls << w;
    modFonts::ApplyFont(mFont, controls, PageConsoleFont());
    adjustSize();
}

void frmBatchUpdate::SetCaptions()
{
    setWindowTitle(modLanguage::GetLangString(StrCaption));
    ui->cmdClose->setText(modLanguage::GetLangString(StrClose));
    ui->cmdSave->setText(modLanguage::GetLangString(StrUpdate));
    lblCaption[2]->setText(modLanguage::GetLangString(StrModel));
    lblCaption[0]->setText(modLanguage::GetLangString(StrProfile));
    lblCaption[1]->setText(modLanguage::GetLangString(StrAccount));
}

bool frmBatchUpdate::LoadProfiles()
{
    WaitCursor wait;
    bool result = false;
    ui->cmbProfile->clear();
    ui->cmbProfile->addItem(modLanguage::GetLangString(StrKeepProfile), -1);
    QM6ErrorPtr e = minsConnection->OpenConnection(true);
    if (!e) {
        QM6RecordsetPtr rs;
        e = PrinterData::Instance().GetPrintProfiles(minsConnection, &rs);
        if (!e) {
            const int fId = rs->FieldIndex(QStringLiteral("PrintProfileId"));
            const int fName = rs->FieldIndex(QStringLiteral("Name"));
            for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
                ui->cmbProfile->addItem(rs->Value(fName).toString(), qint32(rs->Int(fId)));
            rs->Close();
            result = true;
        }
    }
    if (e)
        e->Display();
    minsConnection->CloseConnection();
    ui->cmbProfile->setCurrentIndex(0);
    return result;
}

void frmBatchUpdate::cmdSave_Click()
{
    ui->txtAccountNo->setText(modUtilityFunctions::TrimSpaces(ui->txtAccountNo->text()));
    ui->txtModel->setText(modUtilityFunctions::TrimSpaces(ui->txtModel->text()));
    const QString account = ui->txtAccountNo->text(), model = ui->txtModel->text();
    if (ui->cmbProfile->currentIndex() <= 0 && account.isEmpty() && model.isEmpty()) {
        CommonServices().ShowMessage(modLanguage::GetLangString(StrNothing), -1);
        return;
    }
    qint32 answer = 0;
    CommonServices().AskYesNo(modLanguage::GetLangString(StrConfirm), -1, answer);
    if (answer != QM6_ANSWER_YES)
        return;
    minsBatchPrinter = std::make_shared<QM6Printer>();
    minsBatchPrinter->SetPrintProfileId(ui->cmbProfile->currentData().toInt());
    if (!account.isEmpty())
        minsBatchPrinter->SetAccountNo(account);
    if (!model.isEmpty())
        minsBatchPrinter->SetModel(model);
    mblnSaved = true;
    accept();
}
