// The console's main window: a navigation bar of the registered pages, a toolbar and menus
// that the current page switches on and off, and the page itself.
#pragma once

#include "iqm6admincontrol.h"
#include "pagelibrary.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class ControlExtender;
class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QStackedWidget;
class QToolButton;

class ConsoleWindow : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(bool ToolbarRedraw READ ToolbarRedraw WRITE SetToolbarRedraw)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
public:
    // connection may be null (the database could not be opened): pages then stay empty.
    explicit ConsoleWindow(QM6ConnectionPtr connection, QWidget *parent = nullptr);
    ~ConsoleWindow() override;

    // Before the first page is chosen; null: the pages stay empty. The status bar says which
    // site, as whom, and whether read-only, for as long as the window is open.
    void SetConnection(QM6ConnectionPtr connection);
    // How to open the database again: Refresh without a connection tries it and hands a new
    // connection to every page that has had one (a page keeps no address of its own).
    void SetReopen(std::function<QM6ConnectionPtr()> reopen) { m_reopen = std::move(reopen); }
    // Creates every registered page; broken plug-ins are skipped, each with a message.
    void LoadPages();
    int PageCount() const { return int(m_pages.size()); }
    bool SelectPage(int index);
    IQM6AdminControl *CurrentPage() const;
    QListWidget *NavigationBar() const { return m_nav; }

    // Called by the page, by name.
    Q_INVOKABLE void SetToolbar(const QVariant &action, bool enabled);
    bool ToolbarRedraw() const { return m_redraw; }
    void SetToolbarRedraw(bool on);

    QAction *StandardActionButton(qint32 code) const { return m_standard.value(code); }
    QAction *MenuEntry(const QString &actionId) const { return m_menuEntries.value(actionId); }
    void ApplyConsoleFont(const QFont &font);

signals:
    // The toolbar and menus were painted again after a run of SetToolbar calls.
    void ToolbarRedrawn();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Page {
        RegisteredPage registration;
        std::shared_ptr<PageLibrary> library;
        IQM6AdminControl *control = nullptr;
        IQM6OleObject *ole = nullptr;
        ControlExtender *extender = nullptr;
        bool connected = false;
    };
    void CreateActions();
    void BuildPageMenus(Page &page);
    void ReleasePages();
    void ChooseFont();

    QM6ConnectionPtr m_connection;
    std::function<QM6ConnectionPtr()> m_reopen;
    std::vector<Page> m_pages;
    int m_current = -1;
    QListWidget *m_nav = nullptr;
    QStackedWidget *m_stack = nullptr;
    QToolBar *m_toolbar = nullptr;
    QLabel *m_connectionLabel = nullptr;
    QToolButton *m_addButton = nullptr;
    QMenu *m_addMenu = nullptr;
    QList<QMenu *> m_pageMenus;
    QHash<qint32, QAction *> m_standard;
    QHash<QString, QAction *> m_menuEntries;
    bool m_redraw = true;
    QM6FontPtr m_font;
};
