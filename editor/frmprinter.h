// The printer editor: adds or edits one printer in a tabbed form (Connection, Model, Auto
// Merging, Advanced, Last Modified with the printer's change history), checks what was typed
// and stores it in one transaction.
#pragma once

#include "formgrowth.h"
#include "iqm6admincontrol.h"
#include "qm6connection.h"
#include "qm6font.h"
#include "qm6printer.h"

#include <QDialog>

#include <array>
#include <memory>

namespace Ui {
class frmPrinter;
}
class QCheckBox;
class QLabel;
class QLineEdit;
struct QM6HistoryEntry;

class frmPrinter final : public QDialog {
    Q_OBJECT
public:
    // The page's two ways in. Each shows a fresh form modally over the console window and
    // returns true exactly when a printer was stored.
    static bool AddPrinter(IQM6AdminControl *pinsParent);
    static bool EditPrinter(IQM6AdminControl *pinsParent, qint32 plngPrinterId);

    // The forms those entry points show, prepared the same way but not shown. A printer that
    // cannot be loaded gives no form: the message saying why has been shown. The edit form
    // keeps the caller's connection open until it is destroyed.
    static std::unique_ptr<frmPrinter> NewPrinterForm(IQM6AdminControl *pinsParent);
    static std::unique_ptr<frmPrinter> PrinterForm(IQM6AdminControl *pinsParent, qint32 plngPrinterId);

    ~frmPrinter() override;

    // True once a save has stored the printer (what the entry points return).
    bool Saved() const { return mblnSaved; }

signals:
    // The editor turned changed (true) or unchanged (false); the two buttons follow it.
    void DirtyChanged(bool dirty);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    frmPrinter(QM6ConnectionPtr connection, bool canChange, QWidget *parent);
    void FindControlArrays();
    void ConnectFieldEvents();

    // Loading (frmprinter.cpp)
    void Form_Load();
    void SetCaptions();
    void LoadProfiles();
    void ShowPrinter();
    void ApplyReadOnlyRule();

    // The dirty state and the buttons (frmprinter.cpp)
    void SetDirty();
    void ClearDirty();
    void FollowDirty(bool dirty);
    void cmdSave_Click();
    void cmdClose_Click();

    // Saving (frmprinter_save.cpp)
    bool SavePrinter();
    bool Refuse(qint32 stringId, QWidget *field, int tab = -1);
    QM6ErrorPtr StorePrinter(bool totalsChanged);

    // The Connection tab (frmprinter_connection.cpp)
    void cmbConnection_Click();
    void ShowNetworkShare();
    void ShowDirectIP();
    void ShowLocal();
    void SetMACRowVisible(bool visible);
    void SetIPRowVisible(bool visible);
    void SetHostCaptionColour(quint32 oleColour);

    // The Auto Merging tab (frmprinter_automerge.cpp)
    void ShowAutoMergeRule();
    void EnableMatchFields();
    bool AnyConnectionTicked() const;
    void WriteAutoMergeRule();

    // Field events (frmprinter_events.cpp)
    void txtIPAddress_Change(int index);
    void txtMAC_Change(int index);
    void txtMAC_LostFocus(int index);
    void txtPort_Change();

    // The change history on the Last Modified tab (frmprinter_history.cpp)
    void SetHistoryCaptions();
    void ShowHistory();
    QString HistoryText(const QM6HistoryEntry &entry, bool oneLine) const;
    QString HistoryValue(const QString &field, const QString &value) const;

    // Growing with the console font (frmprinter_layout.cpp)
    static QM6Font DesignFont();
    void FitToFont();
    QList<QWidget *> PlacedControls() const;

    // Fields in the order the form keeps them.
    QM6ConnectionPtr minsConnection;
    QM6PrinterPtr minsPrinter;
    bool mblnLoading = false;
    bool mblnSaved = false;
    qint32 mlngConnectionType = 0;
    bool mblnMACEntry = false;
    bool mblnDirty = false;
    bool mblnCanChange = false;
    bool mConnectionHeld = false;   // the edit form holds the caller's connection open

    std::unique_ptr<Ui::frmPrinter> ui;
    QM6Font mFormFont;              // the form's own font, which ApplyFont carries forward
    formgrowth::Design mDesign;

    // Control arrays, indexed as the form numbers them (chkConnection by connection type).
    std::array<QLabel *, 16> lblCaption{};
    std::array<QLabel *, 4> lblMatch{};
    std::array<QCheckBox *, 4> chkConnection{};
    std::array<QLineEdit *, 6> txtMAC{};
    std::array<QLabel *, 5> lblHyphen{};
    std::array<QLineEdit *, 4> txtIPAddress{};
    std::array<QLabel *, 3> lblIPDot{};
};
