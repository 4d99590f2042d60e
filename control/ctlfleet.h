// The printer page: the user control that the console creates through the plug-in's class
// factory and drives through IQM6AdminControl.
#pragma once

#include "iqm6admincontrol.h"
#include "printergrid.h"
#include "qm6recordset.h"

#include <QAtomicInt>
#include <QPointer>
#include <QVector>
#include <QWidget>

class FlexGrid;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;

// {3B8F6C2E-2D4A-4F0B-9C61-5A7E2F1D8B40}
inline constexpr CLSID CLSID_ctlFleet = {0x3B8F6C2E, 0x2D4A, 0x4F0B, {0x9C, 0x61, 0x5A, 0x7E, 0x2F, 0x1D, 0x8B, 0x40}};

// Selected printer identifiers; empty = none.
using PrinterIdList = QVector<qint32>;

// Identifiers from the text of `column` of the selected rows, in the order of the selection
// entries, leaving out row 0, rows past lastRow (unless it is -1) and, unless includeMarked,
// merged rows.
PrinterIdList GetSelectedPrinterIds(FlexGrid &grid, int column, qint32 lastRow, bool includeMarked);

// Fills a combo from a lookup list ({code, text} rows) from firstRow on (-1: the first row).
// A list that is not one leaves the combo as it is.
void FillComboFromList(QComboBox *combo, const QVariant &list, qint16 firstRow);

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
    qint32 PrinterCount() const { return mPrinterCount; }
    qint32 MergeTargetRow() const { return mMergeTargetRow; }
    FlexGrid *grdPrinters() const { return mGrid; }
    QComboBox *cmbPrinterTypes() const { return mTypes; }
    QLineEdit *txtMatches() const { return mMatches; }
    QTimer *tmrMatch() const { return mMatchTimer; }
    QM6Recordset *PrinterRecordset() const { return mRecordset.get(); }
    // How many times the grid was refilled (the filter bar's timing is checked by it).
    int FillCount() const { return mFillCount; }

    void LoadPrinterList(qint32 keep);
    void UpdateToolbar();
    void FillPrinterGrid();
    void SizeColumns();
    void PrepareGrid();
    void ResetFilter();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void SetCaptions();
    void FitFilterCaptions();
    void LayoutControls();
    QObject *Extender() const { return mExtender; }
    QObject *ConsoleParent() const;
    void SetToolbar(const QVariant &action, bool enabled);
    void EnableHost(bool enabled);

    // Commands on the list; they arrive with the editor and the batch form.
    void AddPrinterCommand();
    void EditPrintersCommand(qint32 printerId);
    void DeletePrintersCommand();
    void MergeCommand();

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
    QM6RecordsetPtr mRecordset;
    printerlist::MatchIndex mMatchIndex;   // belongs to mRecordset
    std::shared_ptr<QObject> mLicense;
    bool mCanChange = false;
    bool mLoading = false;
    QM6MenuItems mAddItemMenus;
    QM6Menus mCustomMenus;
    qint32 mMergeTargetRow = 0;
    qint32 mPrinterCount = 0;
    QM6FontPtr mFont;
    int mFillCount = 0;

    // Constituent controls.
    QLabel *mMajorHeading = nullptr;
    QLabel *mMinorHeading = nullptr;
    QFrame *mTopBorderShape = nullptr;
    QLabel *mToolTipImage = nullptr;
    QGroupBox *mFilter = nullptr;
    QLabel *mTypeCaption = nullptr;
    QComboBox *mTypes = nullptr;
    QLabel *mMatchCaption = nullptr;
    QLineEdit *mMatches = nullptr;
    QTimer *mMatchTimer = nullptr;
    FlexGrid *mGrid = nullptr;
};
