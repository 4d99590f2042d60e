// Screenshots of the printer editor for the README, from a real run under a display
// (xvfb-run -a): the five tabs in English, the Connection tab in French and the change
// history of a printer that went through a few changes, of printers of the demo site.
// Usage: editor_shots OUTDIR
#include "editorbench.h"
#include "fakeadmincontrol.h"
#include "frmprinter.h"
#include "modlanguage.h"
#include "pageglobals.h"
#include "qm6connection.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <functional>

namespace {

// The first demo printer that shows what a tab is about, else the first one.
qint32 pickPrinter(const QM6ConnectionPtr &conn, const std::function<bool(const QM6Printer &)> &shows)
{
    for (qint32 id = 1; id <= 60; ++id) {
        QM6Printer p;
        if (!p.Load(conn, id) && shows(p))
            return id;
    }
    return 1;
}

// Grabs the form of printer id on each tab given (index, file name).
bool shoot(FakeAdminControl &page, qint32 id, const QString &out, const QList<std::pair<int, QString>> &shots)
{
    const std::unique_ptr<frmPrinter> form = frmPrinter::PrinterForm(&page, id);
    if (!form)
        return false;
    form->show();
    auto *tabs = form->findChild<QTabWidget *>(QStringLiteral("tabPrinters"));
    for (const auto &[tab, name] : shots) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        const QString file = QDir(out).filePath(name);
        if (!form->grab().save(file))
            return false;
        std::printf("%s\n", qPrintable(file));
    }
    return true;
}

// A few changes of the kinds the history records, made to printer id as the user admin.
bool makeHistory(const QM6ConnectionPtr &conn, qint32 id)
{
    QM6Printer p;
    if (p.Load(conn, id))
        return false;
    const QStringList locations{QStringLiteral("Finance, floor 2"), QStringLiteral("Finance, floor 3"), QStringLiteral("Print room")};
    for (const QString &location : locations) {
        p.SetLocation(location);
        if (p.Save(conn))
            return false;
    }
    p.SetIsDuplex(!p.IsDuplex());
    p.SetAccountNo(QStringLiteral("ACC-2040"));
    if (p.Save(conn) || p.SaveTotals(conn, p.BWTotal() + 1200, p.ColorTotal() + 340))
        return false;
    // Another printer merged into it, then one of its merged printers moved away and back.
    QM6Printer other;
    const qint32 otherId = id == 60 ? 59 : 60;
    if (other.Load(conn, otherId) || p.AddAlias(conn, other.PrinterKey(), other.Device(), other.Host(), other.Port(), other.ConnectionType(), true))
        return false;
    qint32 moved = 0;
    if (p.MoveAlias(conn, other.PrinterKey(), id == 1 ? 2 : 1, moved) || p.MoveAlias(conn, other.PrinterKey(), id, moved))
        return false;
    p.SetModel(p.Model() + QStringLiteral(" (2nd tray)"));
    return !p.Save(conn);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: editor_shots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir tmp;
    qputenv("QM6_REGISTRY_DIR", tmp.filePath(QStringLiteral("registry")).toUtf8());
    const QString path = tmp.filePath(QStringLiteral("demo.db"));
    if (!makeSite(QStringLiteral(QM6DATA_TOOL), path, {QStringLiteral("init"), QStringLiteral("sqlite:") + path, QStringLiteral("--demo")}))
        return 1;
    QM6ConnectionPtr conn;
    if (QM6ErrorPtr e = QM6Connection::Open(QStringLiteral("sqlite:") + path, QStringLiteral("admin"), &conn)) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return 1;
    }
    SetCommonServices(std::make_unique<YesServices>());
    PageConsoleFont() = QM6Font::FromQFont(QApplication::font());
    FakeAdminControl page(conn);
    // A printer that connects by MAC address for the Connection tab, one with an auto-merge
    // rule for the others.
    const qint32 byMac = pickPrinter(conn, [](const QM6Printer &p) { return p.ConnectionType() == 2 && p.Host().count(QLatin1Char('-')) == 5; });
    const qint32 withRule = pickPrinter(conn, [](const QM6Printer &p) { return p.AutoMerge(); });

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
    if (!makeHistory(conn, withRule)) {
        std::fprintf(stderr, "the demo printer's history could not be made\n");
        return 1;
    }
    if (!shoot(page, byMac, out, {{0, QStringLiteral("editor-connection.png")}}) ||
        !shoot(page, withRule, out,
               {{1, QStringLiteral("editor-model.png")}, {2, QStringLiteral("editor-automerging.png")},
                {3, QStringLiteral("editor-advanced.png")}, {4, QStringLiteral("editor-history.png")}}))
        return 1;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
    return shoot(page, byMac, out, {{0, QStringLiteral("editor-connection-fr.png")}}) ? 0 : 1;
}
