// The printer page: the user control that the console creates through the plug-in's class
// factory and drives through IQM6AdminControl.
#pragma once

#include "iqm6admincontrol.h"
#include "pageforms.h"
#include "printerlist.h"
#include "qm6recordset.h"

#include <QAtomicInt>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class FlexGrid;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;

// {3B8F6C2E-2D4A-4F0B-9C61-5A7E2F1D8B40}
inline constexpr CLSID CLSID_ctlFleet = {0x3B8F6C2E, 0x2D4A, 0x4F0B, {0x9C, 0x61, 0x5A, 0x7E, 0x2F, 0x1D, 0x8B, 0x40}};

class ctlFleet final : public QWidget, public IQM6AdminControl, public IQM6OleObject {
    Q_OBJECT
public:
    explicit ctlFleet(QWidget *parent = nullptr);
    ~ctlFleet() override;
    // Pages alive in this process (the plug-in may be unloaded only at 0).
    static int LiveCount();

    // IUnknown / IDispatch
    HRESULT QueryInterface(const IID &riid, void **ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetTypeInfoCount(unsigned *pctinfo) override;
    HRESULT GetTypeInfo(unsigned, unsigned, void **) override;
    HRESULT GetIDsOfNames(const IID &, const char **, unsigned, unsigned, std::int32_t *) override;
    HRESULT Invoke(std::int32_t, const IID &, unsigned, std::uint16_t, void *, void *, void *, unsigned *) override;

    // IQM6AdminControl
    QString Name() override;
    QString Caption() override;
    QPixmap NavGraphicLarge() override;
    QPixmap NavGraphicSmall() override;
    QM6ConnectionPtr Connection() override;
    std::shared_ptr<QObject> License() override;
    void SetConnectionAndLicense(QM6ConnectionPtr pinsData, std::shared_ptr<QObject> pinsLicense) override;
    qint32 HelpContextId() override;
    QString HelpFileName() override;
    void SetHelpFileName(const QString &RHS) override;
    QM6ErrorPtr Save() override;
    bool Visible() override;
    void SetVisible(const bool &RHS) override;
    qint32 Left() override;
    void SetLeft(const qint32 &RHS) override;
    qint32 Top() override;
    void SetTop(const qint32 &RHS) override;
    quintptr hWnd() override;
    QM6FontPtr Font() override;
    void SetFont(const QM6FontPtr &pinsFont) override;
    QM6Menus &CustomMenus() override;
    QM6MenuItemPtr CurrentAddItem() override;
    QM6MenuItems &AddItemMenus() override;
    void StandardAction(qint32 pintAction) override;
    void CustomAction(const QString &pstrActionId) override;
    void AddItemClicked(const QString &pstrActionId) override;
    void SetFocus() override;
    void Refresh() override;
    bool ControlDone() override;
    void Notification(QObject *pinsNotifier, qint32 pintNotificationType, QVariant *pvntChangedValue) override;

    // IQM6OleObject
    void SetClientSite(QObject *extender) override;
    QWidget *Widget() override { return this; }

    // State the page keeps (read by tests and by the commands).
    bool CanChange() const { return mCanChange; }
    bool IsLoading() const { return mLoading; }
    qint32 PrinterCount() const { return mList->PrinterCount(); }
    qint32 MergeTargetRow() const { return mMergeTargetRow; }
    QM6Recordset *PrinterRecordset() const { return mList->Recordset(); }

    // The forms the commands open (the plug-in's real ones unless replaced).
    const PageForms &Forms() const { return mForms; }
    void SetForms(PageForms forms) { mForms = std::move(forms); }

    // Runs body as a long command. Such a command lets the message loop run between its
    // steps (its progress window must repaint and take a Cancel click), so the user can
    // press Refresh, type a match text or start another command meanwhile. None of those
    // may rebuild the grid under the command, which works from rows it read before it
    // started: while body runs, commands from the host and the grid are ignored, and a
    // refill that the filter bar asks for waits until body has returned.
    void RunAsLongCommand(const std::function<void()> &body);
    bool IsBusy() const { return mBusy; }

    // Merges the selected printers into the merge target, without asking first (the merge
    // command asks, then runs this).
    void MergePrinters();

    void LoadPrinterList(qint32 keep);
    void UpdateToolbar();
    void FillPrinterGrid();
    void SizeColumns();
    void PrepareGrid();
    void ResetFilter();

signals:
    // The grid was refilled from the recordset held.
    void GridFilled();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void SetCaptions();
    void ArrangeFilterFrame();
    void ArrangeHeading();
    void LayoutControls();
    QObject *Extender() const { return mExtender; }
    QObject *ConsoleParent() const;
    void SetToolbar(const QVariant &action, bool enabled);
    void EnableHost(bool enabled);
    // The filter bar asks for a refill; during a long command it waits for its end.
    void RequestFill();

    void AddPrinterCommand();
    void EditPrintersCommand(qint32 printerId);
    void DeletePrintersCommand();
    void MergeCommand();
    // Export List: the rows the grid shows, to a CSV file the user picks.
    void ExportCommand();
    void BatchUpdatePrinters(const printerlist::PrinterIdList &ids);

    void OnGridDblClick();
    void OnGridKeyPress(int &keyAscii);
    void OnGridKeyUp(int &keyCode, int shift);
    void OnGridSelChange();
    void OnGridBeforeSort();
    void OnGridAfterSort();
    void ActOnCurrentRow();

    QAtomicInt mRefs{1};
    QPointer<QObject> mExtender;

    // Fields in the order the page keeps them.
    QPixmap mNavGraphicLarge, mNavGraphicSmall;
    QM6ConnectionPtr mConnection;
    std::unique_ptr<printerlist::PrinterList> mList;   // the recordset and the rows filled from it
    std::shared_ptr<QObject> mLicense;
    bool mCanChange = false;
    bool mLoading = false;
    QM6MenuItems mAddItemMenus;
    QM6Menus mCustomMenus;
    qint32 mMergeTargetRow = 0;
    QM6FontPtr mFont;
    PageForms mForms;
    bool mBusy = false;
    bool mFillWaiting = false;
    bool mConnectionGiven = false;   // the host has called SetConnectionAndLicense

    // Constituent controls.
    QLabel *lblBarMajorHeading = nullptr;
    QLabel *lblBarMinorHeading = nullptr;
    QFrame *shpTopBorderShape = nullptr;
    QLabel *imgToolTip = nullptr;
    QGroupBox *fraFilter = nullptr;
    QLabel *lblTypeCaption = nullptr;
    QComboBox *cmbPrinterTypes = nullptr;
    QLabel *lblCaptionMatch = nullptr;
    QLineEdit *txtMatches = nullptr;
    QTimer *tmrMatch = nullptr;
    FlexGrid *grdPrinters = nullptr;
    QLabel *lblNoConnection = nullptr;   // over the list while there is no data connection
};
