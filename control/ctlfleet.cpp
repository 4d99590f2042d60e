// ctlFleet: the host interface, creation, layout and teardown of the printer page.
#include "ctlfleet.h"

#include "captionfit.h"
#include "commonservices.h"
#include "flexgrid.h"
#include "modfonts.h"
#include "modlanguage.h"
#include "modswgraphics.h"
#include "pageglobals.h"
#include "twips.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QTimer>

namespace {

constexpr qint32 PageHelpContextId = 34;
constexpr int StrFilterFrame = 200, StrTypeCaption = 201, StrMatchCaption = 202, StrMinorHeading = 203,
              StrMajorHeading = 204, StrCaption = 220, StrAddPrinter = 223, StrAdvancedMenu = 224, StrMergeMenu = 225,
              StrExportMenu = 229;
// The tip picture's place before the host gives a picture.
constexpr int DefaultTipPixels = 64;

QAtomicInt g_liveControls;

int px(int twips) { return twips::ToPixels(twips); }
int tw(int pixels) { return twips::FromPixels(pixels); }

// Places a control in twips; a negative size is refused like the container refuses it, and
// the caller goes on with its next step.
bool moveTwips(QWidget *w, int left, int top, int width, int height)
{
    if (!w || width < 0 || height < 0)
        return false;
    w->setGeometry(px(left), px(top), px(width), px(height));
    return true;
}

void designGeometry(QWidget *w, int left, int top, int width, int height) { moveTwips(w, left, top, width, height); }

} // namespace

ctlFleet::ctlFleet(QWidget *parent) : QWidget(parent)
{
    g_liveControls.ref();
    setObjectName(QStringLiteral("ctlFleet"));
    mFont = std::make_shared<QM6Font>(QStringLiteral("MS Sans Serif"), 8.25, 0);
    CreateControls();
    mList = std::make_unique<printerlist::PrinterList>(*grdPrinters);
    mForms = DefaultPageForms();

    // Initialisation, in the page's order.
    modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
    SetCaptions();
    mNavGraphicLarge = modSWGraphics::LoadIconPicture(500, QStringLiteral("NAVGRAPHIC"), 32, 32);
    mNavGraphicSmall = modSWGraphics::LoadIconPicture(500, QStringLiteral("NAVGRAPHIC"), 16, 32);
    const QPixmap tip = CommonServices().TipPicture();
    if (!tip.isNull()) {
        imgToolTip->setPixmap(tip);
        imgToolTip->resize(tip.deviceIndependentSize().toSize());
    }

    auto addItem = std::make_shared<QM6MenuItem>();
    addItem->SetActionId(QStringLiteral("QM6PRINTER_ADDPRINTER"));
    addItem->SetCaption(modLanguage::GetLangString(StrAddPrinter));
    addItem->SetPicture(mNavGraphicSmall);
    mAddItemMenus.Add(addItem, addItem->ActionId());

    auto advanced = std::make_shared<QM6Menu>();
    advanced->SetCaption(modLanguage::GetLangString(StrAdvancedMenu));
    advanced->SetActionId(QStringLiteral("QM6CF_ADVANCED"));
    auto merge = std::make_shared<QM6MenuItem>();
    merge->SetCaption(modLanguage::GetLangString(StrMergeMenu));
    merge->SetActionId(QStringLiteral("QM6CF_ADVANCED_MERGE"));
    advanced->Items().Add(merge);
    auto exportList = std::make_shared<QM6MenuItem>();
    exportList->SetCaption(modLanguage::GetLangString(StrExportMenu));
    exportList->SetActionId(QStringLiteral("QM6CF_ADVANCED_EXPORT"));
    advanced->Items().Add(exportList);
    mCustomMenus.Add(advanced);

    LayoutControls();
}

ctlFleet::~ctlFleet()
{
    mCustomMenus.Clear();
    modLanguage::UnloadLanguageLibrary();
    g_liveControls.deref();
}

int ctlFleet::LiveCount() { return g_liveControls.loadRelaxed(); }

void ctlFleet::CreateControls()
{
    shpTopBorderShape = new QFrame(this);
    shpTopBorderShape->setObjectName(QStringLiteral("shpTopBorderShape"));
    // A quiet outline around the heading, not a black box.
    shpTopBorderShape->setStyleSheet(QStringLiteral("QFrame#shpTopBorderShape { border: 1px solid palette(mid); background: palette(base); }"));
    shpTopBorderShape->lower();

    lblBarMajorHeading = new QLabel(QStringLiteral("Printers"), this);
    lblBarMajorHeading->setObjectName(QStringLiteral("lblBarMajorHeading"));
    QFont major(QStringLiteral("Tahoma"));
    major.setPointSizeF(11.25);
    major.setBold(true);
    lblBarMajorHeading->setFont(major);
    designGeometry(lblBarMajorHeading, 120, 30, 4545, 375);

    lblBarMinorHeading = new QLabel(this);
    lblBarMinorHeading->setObjectName(QStringLiteral("lblBarMinorHeading"));
    QFont minor(QStringLiteral("Tahoma"));
    minor.setPointSizeF(9.75);
    lblBarMinorHeading->setFont(minor);
    lblBarMinorHeading->setWordWrap(true);
    lblBarMinorHeading->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    designGeometry(lblBarMinorHeading, 240, 390, 8415, 495);

    imgToolTip = new QLabel(this);
    imgToolTip->setObjectName(QStringLiteral("imgToolTip"));
    imgToolTip->resize(DefaultTipPixels, DefaultTipPixels);

    fraFilter = new QGroupBox(QStringLiteral("Filtering"), this);
    fraFilter->setObjectName(QStringLiteral("fraFilter"));
    designGeometry(fraFilter, 60, 1260, 8415, 1155);
    lblTypeCaption = new QLabel(QStringLiteral("Type:"), fraFilter);
    lblTypeCaption->setObjectName(QStringLiteral("lblTypeCaption"));
    designGeometry(lblTypeCaption, 180, 300, 1215, 195);
    cmbPrinterTypes = new QComboBox(fraFilter);
    cmbPrinterTypes->setObjectName(QStringLiteral("cmbPrinterTypes"));
    designGeometry(cmbPrinterTypes, 1500, 240, 3975, 315);
    lblCaptionMatch = new QLabel(QStringLiteral("Match to:"), fraFilter);
    lblCaptionMatch->setObjectName(QStringLiteral("lblCaptionMatch"));
    designGeometry(lblCaptionMatch, 180, 720, 1155, 195);
    txtMatches = new QLineEdit(fraFilter);
    txtMatches->setObjectName(QStringLiteral("txtMatches"));
    designGeometry(txtMatches, 1500, 660, 3975, 315);
    lblTypeCaption->setBuddy(cmbPrinterTypes);
    lblCaptionMatch->setBuddy(txtMatches);

    tmrMatch = new QTimer(this);
    tmrMatch->setObjectName(QStringLiteral("tmrMatch"));
    tmrMatch->setInterval(250);

    grdPrinters = new FlexGrid(this);
    grdPrinters->setObjectName(QStringLiteral("grdPrinters"));
    grdPrinters->setFont(QFont(QStringLiteral("MS Sans Serif")));
    lblNoConnection = new QLabel(this);
    lblNoConnection->setObjectName(QStringLiteral("lblNoConnection"));
    lblNoConnection->setWordWrap(true);
    lblNoConnection->setAlignment(Qt::AlignCenter);
    lblNoConnection->setAutoFillBackground(true);
    lblNoConnection->hide();

    connect(cmbPrinterTypes, &QComboBox::currentIndexChanged, this, [this] { RequestFill(); });
    txtMatches->installEventFilter(this);
    connect(tmrMatch, &QTimer::timeout, this, [this] {
        tmrMatch->stop();
        RequestFill();
    });
    connect(grdPrinters, &FlexGrid::DblClick, this, [this] { OnGridDblClick(); });
    connect(grdPrinters, &FlexGrid::KeyPress, this, [this](int &key) { OnGridKeyPress(key); });
    connect(grdPrinters, &FlexGrid::KeyUp, this, [this](int &key, int shift) { OnGridKeyUp(key, shift); });
    connect(grdPrinters, &FlexGrid::SelChange, this, [this] { OnGridSelChange(); });
    connect(grdPrinters, &FlexGrid::BeforeSort, this, [this](int, int &) { OnGridBeforeSort(); });
    connect(grdPrinters, &FlexGrid::AfterSort, this, [this](int, int &) { OnGridAfterSort(); });
}

void ctlFleet::SetCaptions()
{
    lblBarMajorHeading->setText(modLanguage::GetLangString(StrMajorHeading));
    lblBarMinorHeading->setText(modLanguage::GetLangString(StrMinorHeading));
    lblCaptionMatch->setText(modLanguage::GetLangString(StrMatchCaption));
    lblTypeCaption->setText(modLanguage::GetLangString(StrTypeCaption));
    fraFilter->setTitle(modLanguage::GetLangString(StrFilterFrame));
    ArrangeFilterFrame();
}

void ctlFleet::ArrangeFilterFrame()
{
    // The designed places hold at the default font; a larger console font or longer captions
    // push the rows down and the boxes right, and the frame grows to hold them. A box needs its
    // text's height and a few pixels of frame; a row starts below the frame's caption.
    struct Row {
        QLabel *label;
        QWidget *box;
        int designTop;
    };
    const Row rows[] = {{lblTypeCaption, cmbPrinterTypes, 240}, {lblCaptionMatch, txtMatches, 660}};
    constexpr int RowGap = 105, BottomMargin = 180, BoxFrame = 6;   // twips as designed; pixels
    int next = fraFilter->fontMetrics().height() + 1;
    for (const Row &row : rows) {
        const int boxHeight = std::max(px(315), row.box->fontMetrics().height() + BoxFrame);
        const int top = std::max(px(row.designTop), next);
        row.box->setGeometry(row.box->x(), top, row.box->width(), boxHeight);
        const int labelHeight = std::max(px(195), row.label->fontMetrics().height());
        // As designed, 60 twips below the box's top, as long as the label stays within the box's height.
        row.label->setGeometry(row.label->x(), top + std::min(px(60), std::max(0, boxHeight - labelHeight)), row.label->width(),
                               labelHeight);
        next = top + boxHeight + px(RowGap);
    }
    fraFilter->resize(fraFilter->width(), std::max(px(1155), next - px(RowGap) + px(BottomMargin)));
    FitCaptions({lblTypeCaption, lblCaptionMatch}, {cmbPrinterTypes, txtMatches}, px(1500));
}

void ctlFleet::ArrangeHeading()
{
    // Each heading is as tall as its text needs (the minor one wraps), and never shorter than
    // designed.
    const int majorHeight = std::max(px(375), lblBarMajorHeading->sizeHint().height());
    lblBarMajorHeading->resize(lblBarMajorHeading->width(), majorHeight);
    const int minorTop = std::max(px(390), lblBarMajorHeading->y() + majorHeight);
    const int minorHeight = std::max(px(495), lblBarMinorHeading->heightForWidth(lblBarMinorHeading->width()));
    lblBarMinorHeading->setGeometry(lblBarMinorHeading->x(), minorTop, lblBarMinorHeading->width(), minorHeight);
}

void ctlFleet::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutControls();
}

void ctlFleet::LayoutControls()
{
    const int W = tw(width()), H = tw(height());
    const int imgLeft = W - tw(imgToolTip->width());
    imgToolTip->move(px(imgLeft), imgToolTip->y());
    moveTwips(lblBarMinorHeading, tw(lblBarMinorHeading->x()), tw(lblBarMinorHeading->y()), imgLeft - tw(lblBarMinorHeading->x()),
              tw(lblBarMinorHeading->height()));
    ArrangeHeading();
    // The band holds the picture and, when they need more, the headings.
    const int bandHeight = std::max(tw(imgToolTip->height()) + 10, tw(lblBarMinorHeading->geometry().bottom() + 1) + 60);
    moveTwips(shpTopBorderShape, 0, 0, imgLeft + 10, bandHeight);
    const int filterTop = tw(shpTopBorderShape->height()) + 60;
    moveTwips(fraFilter, 0, filterTop, W, tw(fraFilter->height()));
    const int gridTop = tw(fraFilter->y()) + tw(fraFilter->height()) + 60;
    moveTwips(grdPrinters, 0, gridTop, W, H - gridTop);
    // The notice sits across the list, below its header row.
    const int noticeTop = grdPrinters->y() + 3 * grdPrinters->fontMetrics().height();
    lblNoConnection->setGeometry(grdPrinters->x() + 20, noticeTop, std::max(0, grdPrinters->width() - 40),
                                 lblNoConnection->heightForWidth(std::max(1, grdPrinters->width() - 40)) + 16);
    lblNoConnection->raise();
    SizeColumns();
}

void ctlFleet::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    SetToolbar(QVariant(), false);
    UpdateToolbar();
}

// ---- IUnknown / IDispatch ------------------------------------------------------------------

HRESULT ctlFleet::QueryInterface(const IID &riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IQM6AdminControl)
        *ppv = static_cast<IQM6AdminControl *>(this);
    else if (riid == IID_IQM6OleObject)
        *ppv = static_cast<IQM6OleObject *>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG ctlFleet::AddRef() { return ULONG(mRefs.ref() ? mRefs.loadRelaxed() : 0); }

ULONG ctlFleet::Release()
{
    if (!mRefs.deref()) {
        delete this;
        return 0;
    }
    return ULONG(mRefs.loadRelaxed());
}

HRESULT ctlFleet::GetTypeInfoCount(unsigned *pctinfo)
{
    if (pctinfo)
        *pctinfo = 0;
    return S_OK;
}
HRESULT ctlFleet::GetTypeInfo(unsigned, unsigned, void **) { return E_NOTIMPL; }
HRESULT ctlFleet::GetIDsOfNames(const IID &, const char **, unsigned, unsigned, std::int32_t *) { return E_NOTIMPL; }
HRESULT ctlFleet::Invoke(std::int32_t, const IID &, unsigned, std::uint16_t, void *, void *, void *, unsigned *) { return E_NOTIMPL; }

// ---- IQM6AdminControl ----------------------------------------------------------------------

QString ctlFleet::Name() { return QStringLiteral("Printers"); }
QString ctlFleet::Caption() { return modLanguage::GetLangString(StrCaption); }
QPixmap ctlFleet::NavGraphicLarge() { return mNavGraphicLarge; }
QPixmap ctlFleet::NavGraphicSmall() { return mNavGraphicSmall; }
QM6ConnectionPtr ctlFleet::Connection() { return mConnection; }
std::shared_ptr<QObject> ctlFleet::License() { return mLicense; }

void ctlFleet::SetConnectionAndLicense(QM6ConnectionPtr pinsData, std::shared_ptr<QObject> pinsLicense)
{
    mLicense = std::move(pinsLicense);
    // Only a second call with the same connection is nothing new: the first one prepares the
    // page even when the host has no connection to give.
    if (mConnectionGiven && pinsData == mConnection)
        return;
    mConnectionGiven = true;
    // From here on each step runs whatever the one before it did.
    for (QWidget *w : findChildren<QWidget *>())
        w->setProperty("HelpContextID", PageHelpContextId);
    mConnection = std::move(pinsData);
    mCanChange = mConnection && !mConnection->CheckPermission(129);
    PrepareGrid();
    ResetFilter();
    LoadPrinterList(1);
    UpdateToolbar();
}

qint32 ctlFleet::HelpContextId() { return PageHelpContextId; }
QString ctlFleet::HelpFileName() { return PageHelpFileName(); }
void ctlFleet::SetHelpFileName(const QString &RHS) { PageHelpFileName() = RHS; }
QM6ErrorPtr ctlFleet::Save() { return nullptr; }

bool ctlFleet::Visible()
{
    if (QObject *ext = Extender())
        return ext->property("Visible").toBool();
    return isVisible();
}

void ctlFleet::SetVisible(const bool &RHS)
{
    if (QObject *ext = Extender())
        ext->setProperty("Visible", RHS);
    else
        setVisible(RHS);
}

qint32 ctlFleet::Left()
{
    if (QObject *ext = Extender())
        return ext->property("Left").toInt();
    return tw(x());
}

void ctlFleet::SetLeft(const qint32 &RHS)
{
    if (QObject *ext = Extender())
        ext->setProperty("Left", RHS);
    else
        move(px(RHS), y());
}

qint32 ctlFleet::Top()
{
    if (QObject *ext = Extender())
        return ext->property("Top").toInt();
    return tw(y());
}

void ctlFleet::SetTop(const qint32 &RHS)
{
    if (QObject *ext = Extender())
        ext->setProperty("Top", RHS);
    else
        move(x(), px(RHS));
}

quintptr ctlFleet::hWnd() { return quintptr(winId()); }
QM6FontPtr ctlFleet::Font() { return mFont; }

void ctlFleet::SetFont(const QM6FontPtr &pinsFont)
{
    PageConsoleFont() = pinsFont;
    const QList<QObject *> controls{lblBarMajorHeading, lblBarMinorHeading, shpTopBorderShape, imgToolTip, fraFilter, lblTypeCaption,
                                    cmbPrinterTypes,        lblCaptionMatch, txtMatches,        tmrMatch,   grdPrinters};
    modFonts::ApplyFont(*mFont, controls, pinsFont);
    QWidget::setFont(mFont->ToQFont());
    ArrangeFilterFrame();
    LayoutControls();
}

QM6Menus &ctlFleet::CustomMenus() { return mCustomMenus; }
QM6MenuItemPtr ctlFleet::CurrentAddItem() { return mAddItemMenus.Item(1); }
QM6MenuItems &ctlFleet::AddItemMenus() { return mAddItemMenus; }

void ctlFleet::StandardAction(qint32 pintAction)
{
    if (mBusy)
        return;   // see RunAsLongCommand
    switch (pintAction) {
    case QM6_ACTION_ADD:
        AddPrinterCommand();
        break;
    case QM6_ACTION_EDIT:
        EditPrintersCommand(0);
        break;
    case QM6_ACTION_DELETE:
        DeletePrintersCommand();
        break;
    case QM6_ACTION_REFRESH:
        LoadPrinterList(grdPrinters->Row());
        UpdateToolbar();
        break;
    default:
        break;
    }
}

void ctlFleet::CustomAction(const QString &pstrActionId)
{
    if (mBusy)
        return;
    if (pstrActionId == QLatin1String("QM6CF_ADVANCED_MERGE") && grdPrinters->SelectedRows() > 1)
        MergeCommand();
    else if (pstrActionId == QLatin1String("QM6CF_ADVANCED_EXPORT"))
        ExportCommand();
}

void ctlFleet::AddItemClicked(const QString &)
{
    if (!mBusy)
        AddPrinterCommand();
}
void ctlFleet::SetFocus() { QWidget::setFocus(Qt::OtherFocusReason); }
void ctlFleet::Refresh() {}
bool ctlFleet::ControlDone() { return true; }
void ctlFleet::Notification(QObject *, qint32, QVariant *) {}

void ctlFleet::SetClientSite(QObject *extender) { mExtender = extender; }

QObject *ctlFleet::ConsoleParent() const
{
    QObject *ext = Extender();
    return ext ? ext->property("Parent").value<QObject *>() : nullptr;
}

void ctlFleet::SetToolbar(const QVariant &action, bool enabled)
{
    if (QObject *console = ConsoleParent())
        QMetaObject::invokeMethod(console, "SetToolbar", Q_ARG(QVariant, action), Q_ARG(bool, enabled));
}

void ctlFleet::EnableHost(bool enabled)
{
    if (QObject *console = ConsoleParent())
        console->setProperty("Enabled", enabled);
}
