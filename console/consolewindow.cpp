#include "consolewindow.h"

#include "commonservices.h"
#include "common/consoleservices.h"
#include "controlextender.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {
const char ActionIdProperty[] = "qm6ActionId";
}

ConsoleWindow::ConsoleWindow(QM6ConnectionPtr connection, QWidget *parent)
    : QMainWindow(parent), m_connection(std::move(connection))
{
    setObjectName(QStringLiteral("ConsoleWindow"));
    setWindowTitle(ConsoleCommonServices::AppTitle());
    ConsoleCommonServices::SetDialogParent(this);
    m_font = QM6Font::FromQFont(QApplication::font());

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_nav = new QListWidget(central);
    m_nav->setObjectName(QStringLiteral("navigationBar"));
    m_nav->setViewMode(QListView::IconMode);
    m_nav->setIconSize(QSize(32, 32));
    m_nav->setFlow(QListView::TopToBottom);
    m_nav->setMovement(QListView::Static);
    m_nav->setGridSize(QSize(104, 72));
    m_nav->setFixedWidth(112);
    m_nav->setWordWrap(true);
    m_stack = new QStackedWidget(central);
    m_stack->setObjectName(QStringLiteral("pageArea"));
    // Shown until a page is chosen, so that adding a page to the stack does not show it.
    m_stack->addWidget(new QWidget(m_stack));
    layout->addWidget(m_nav);
    layout->addWidget(m_stack, 1);
    setCentralWidget(central);
    connect(m_nav, &QListWidget::currentRowChanged, this, [this](int row) { SelectPage(row); });

    CreateActions();
    // A permanent widget: a status message would vanish as soon as a menu shows its tips.
    m_connectionLabel = new QLabel(statusBar());
    m_connectionLabel->setObjectName(QStringLiteral("lblConnection"));
    m_connectionLabel->setTextFormat(Qt::PlainText);
    statusBar()->addPermanentWidget(m_connectionLabel, 1);
    SetConnection(m_connection);
    resize(1100, 720);
}

ConsoleWindow::~ConsoleWindow()
{
    // Closing asked each page already; a window destroyed without closing asks here.
    for (Page &page : m_pages)
        if (page.control)
            page.control->ControlDone();
    ReleasePages();
    ConsoleCommonServices::SetDialogParent(nullptr);
}

void ConsoleWindow::CreateActions()
{
    m_toolbar = addToolBar(tr("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setMovable(false);
    struct Def { qint32 code; QString text; QStyle::StandardPixmap icon; QKeySequence key; };
    const Def defs[] = {
        {QM6_ACTION_ADD, tr("&Add"), QStyle::SP_FileDialogNewFolder, QKeySequence::New},
        {QM6_ACTION_EDIT, tr("&Edit"), QStyle::SP_FileDialogDetailedView, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {QM6_ACTION_DELETE, tr("&Delete"), QStyle::SP_TrashIcon, QKeySequence()},
        {QM6_ACTION_REFRESH, tr("&Refresh"), QStyle::SP_BrowserReload, QKeySequence::Refresh},
    };
    for (const Def &d : defs) {
        auto *a = new QAction(style()->standardIcon(d.icon), d.text, this);
        a->setObjectName(QStringLiteral("actionStandard%1").arg(d.code));
        if (!d.key.isEmpty())
            a->setShortcut(d.key);
        a->setEnabled(false);
        const qint32 code = d.code;
        connect(a, &QAction::triggered, this, [this, code] {
            if (code == QM6_ACTION_REFRESH && !m_connection && m_reopen) {
                if (QM6ConnectionPtr again = m_reopen()) {
                    SetConnection(again);
                    for (Page &page : m_pages)
                        if (page.connected)
                            page.control->SetConnectionAndLicense(m_connection, nullptr);
                    return;
                }
            }
            if (IQM6AdminControl *page = CurrentPage())
                page->StandardAction(code);
        });
        m_standard.insert(code, a);
        if (code == QM6_ACTION_ADD) {
            m_addButton = new QToolButton(m_toolbar);
            m_addButton->setObjectName(QStringLiteral("addButton"));
            m_addButton->setDefaultAction(a);
            m_addButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            m_addMenu = new QMenu(tr("Add"), this);
            m_addMenu->setObjectName(QStringLiteral("addMenu"));
            m_addButton->setMenu(m_addMenu);
            m_addButton->setPopupMode(QToolButton::MenuButtonPopup);
            m_toolbar->addWidget(m_addButton);
        } else {
            m_toolbar->addAction(a);
        }
    }

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(m_standard.value(QM6_ACTION_REFRESH));
    file->addSeparator();
    QAction *quit = file->addAction(tr("E&xit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    QMenu *view = menuBar()->addMenu(tr("&View"));
    QAction *font = view->addAction(tr("&Font..."), this, &ConsoleWindow::ChooseFont);
    font->setObjectName(QStringLiteral("actionFont"));
}

void ConsoleWindow::SetConnection(QM6ConnectionPtr connection)
{
    m_connection = std::move(connection);
    if (!m_connection) {
        m_connectionLabel->setText(tr("No database: the pages stay empty."));
        return;
    }
    // Url() carries no password.
    QString who = m_connection->UserName();
    if (!m_connection->NarrowedTo().isEmpty())
        who = tr("%1, with no more rights than %2").arg(who, m_connection->NarrowedTo());
    QString text = tr("Connected to %1 as %2").arg(m_connection->Url(), who);
    if (m_connection->CheckPermission(129))
        text += tr(" (read-only)");
    m_connectionLabel->setText(text);
}

void ConsoleWindow::LoadPages()
{
    QString error;
    const std::vector<RegisteredPage> registered = FindRegisteredPages(&error);
    if (registered.empty() && !error.isEmpty())
        CommonServices().ShowMessage(tr("The registered pages could not be read: %1").arg(error), -1);
    QHash<QString, std::shared_ptr<PageLibrary>> libraries;
    for (const RegisteredPage &reg : registered) {
        Page page;
        page.registration = reg;
        page.library = libraries.value(reg.libraryPath);
        if (!page.library) {
            page.library = PageLibrary::Load(reg.libraryPath, &error);
            libraries.insert(reg.libraryPath, page.library);
        }
        if (page.library)
            page.control = page.library->CreatePage(reg.clsid, &error);
        if (page.control && FAILED(page.control->QueryInterface(IID_IQM6OleObject, reinterpret_cast<void **>(&page.ole)))) {
            error = tr("%1 cannot be placed in a window.").arg(reg.libraryPath);
            page.control->Release();
            page.control = nullptr;
        }
        if (!page.control) {
            CommonServices().ShowMessage(tr("The page %1 was skipped: %2").arg(reg.progId.isEmpty() ? reg.clsidText : reg.progId, error), -1);
            continue;
        }
        QWidget *w = page.ole->Widget();
        page.extender = new ControlExtender(this, w, this);
        page.ole->SetClientSite(page.extender);
        w->hide();
        m_stack->addWidget(w);
        auto *item = new QListWidgetItem(QIcon(page.control->NavGraphicLarge()), page.control->Caption());
        item->setToolTip(page.control->Name());
        m_pages.push_back(std::move(page));
        m_nav->addItem(item);
    }
}

IQM6AdminControl *ConsoleWindow::CurrentPage() const
{
    return m_current >= 0 && m_current < int(m_pages.size()) ? m_pages[size_t(m_current)].control : nullptr;
}

bool ConsoleWindow::SelectPage(int index)
{
    if (index < 0 || index >= int(m_pages.size()))
        return false;
    if (index == m_current)
        return true;
    if (IQM6AdminControl *old = CurrentPage())
        old->SetVisible(false);
    m_current = index;
    Page &page = m_pages[size_t(index)];
    SetToolbar(QVariant(), false);
    BuildPageMenus(page);   // before the page first sets the entries' state
    if (!page.connected) {
        page.connected = true;
        page.control->SetConnectionAndLicense(m_connection, nullptr);
    }
    page.control->SetFont(m_font);
    m_stack->setCurrentWidget(page.ole->Widget());
    page.control->SetLeft(0);
    page.control->SetTop(0);
    page.control->SetVisible(true);
    if (m_nav->currentRow() != index)
        m_nav->setCurrentRow(index);
    setWindowTitle(QStringLiteral("%1 - %2").arg(page.control->Caption(), ConsoleCommonServices::AppTitle()));
    return true;
}

void ConsoleWindow::BuildPageMenus(Page &page)
{
    for (QMenu *m : std::as_const(m_pageMenus)) {
        menuBar()->removeAction(m->menuAction());
        m->deleteLater();
    }
    m_pageMenus.clear();
    m_menuEntries.clear();
    m_addMenu->clear();

    IQM6AdminControl *control = page.control;
    auto trigger = [this](QAction *a, bool addItem) {
        connect(a, &QAction::triggered, this, [this, a, addItem] {
            IQM6AdminControl *current = CurrentPage();
            const QString id = a->property(ActionIdProperty).toString();
            if (!current)
                return;
            if (addItem)
                current->AddItemClicked(id);
            else
                current->CustomAction(id);
        });
    };
    QM6MenuItems &items = control->AddItemMenus();
    for (qsizetype i = 1; i <= items.Count(); ++i) {
        const QM6MenuItemPtr item = items.Item(i);
        QAction *a = m_addMenu->addAction(QIcon(item->Picture()), item->Caption());
        a->setProperty(ActionIdProperty, item->ActionId());
        a->setEnabled(false);
        trigger(a, true);
        m_menuEntries.insert(item->ActionId(), a);
    }
    if (const QM6MenuItemPtr current = control->CurrentAddItem()) {
        QAction *add = m_standard.value(QM6_ACTION_ADD);
        if (!current->Picture().isNull())
            add->setIcon(QIcon(current->Picture()));
        add->setToolTip(current->Caption());
    }
    QM6Menus &menus = control->CustomMenus();
    for (qsizetype i = 1; i <= menus.Count(); ++i) {
        const QM6MenuPtr menu = menus.Item(i);
        auto *m = new QMenu(menu->Caption(), this);
        m->setObjectName(menu->ActionId());
        for (qsizetype j = 1; j <= menu->Items().Count(); ++j) {
            const QM6MenuItemPtr item = menu->Items().Item(j);
            QAction *a = m->addAction(QIcon(item->Picture()), item->Caption());
            a->setProperty(ActionIdProperty, item->ActionId());
            a->setEnabled(false);
            trigger(a, false);
            m_menuEntries.insert(item->ActionId(), a);
        }
        menuBar()->addMenu(m);
        m_pageMenus.append(m);
    }
}

void ConsoleWindow::SetToolbar(const QVariant &action, bool enabled)
{
    if (!action.isValid() || action.isNull()) {
        // A page about to set its buttons: nothing of the previous page stays on.
        for (QAction *a : std::as_const(m_standard))
            a->setEnabled(enabled);
        for (QAction *a : std::as_const(m_menuEntries))
            a->setEnabled(enabled);
        return;
    }
    if (action.typeId() == QMetaType::QString) {
        if (QAction *a = m_menuEntries.value(action.toString()))
            a->setEnabled(enabled);
        return;
    }
    bool ok = false;
    const qint32 code = action.toInt(&ok);
    if (QAction *a = ok ? m_standard.value(code) : nullptr)
        a->setEnabled(enabled);
}

void ConsoleWindow::SetToolbarRedraw(bool on)
{
    if (on == m_redraw)
        return;
    m_redraw = on;
    m_toolbar->setUpdatesEnabled(on);
    menuBar()->setUpdatesEnabled(on);
    if (on) {
        m_toolbar->update();
        menuBar()->update();
        emit ToolbarRedrawn();
    }
}

void ConsoleWindow::ApplyConsoleFont(const QFont &font)
{
    m_font = QM6Font::FromQFont(font);
    for (Page &page : m_pages)
        if (page.connected)
            page.control->SetFont(m_font);
}

void ConsoleWindow::ChooseFont()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, m_font->ToQFont(), this, tr("Console Font"));
    if (ok)
        ApplyConsoleFont(chosen);
}

void ConsoleWindow::ReleasePages()
{
    for (Page &page : m_pages) {
        if (!page.control)
            continue;
        page.ole->SetClientSite(nullptr);
        page.ole->Release();
        page.control->Release();
        page.control = nullptr;
        page.ole = nullptr;
    }
    m_pages.clear();   // drops the libraries after their pages
    m_current = -1;
}

void ConsoleWindow::closeEvent(QCloseEvent *event)
{
    for (Page &page : m_pages)
        if (page.control && !page.control->ControlDone()) {
            event->ignore();
            return;
        }
    ReleasePages();
    event->accept();
}
