// What the page's suites share: a real SQLite site in a temporary folder, built through the
// data component, the fake console around it, and the page itself.
#pragma once

#include "ctlfleet.h"
#include "fakehost.h"
#include "flexgrid.h"
#include "qm6connection.h"
#include "qm6connectionprivate.h"
#include "qm6printer.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

inline QM6ConnectionPtr openSite(const QString &path, const QString &user = QStringLiteral("admin"))
{
    QM6ConnectionPtr conn;
    // The first open makes the site (its maker, the user running the tests, holds every right);
    // the user named narrows what this connection may do.
    QM6ErrorPtr e;
    if (!QFileInfo::exists(path))
        e = QM6Connection::CreateSite(QStringLiteral("sqlite:") + path, &conn);
    if (!e)
        e = QM6Connection::Open(QStringLiteral("sqlite:") + path, user, &conn);
    if (e)
        qWarning("%s", qPrintable(e->Description()));
    return conn;
}

inline QM6PrinterPtr addPrinter(const QM6ConnectionPtr &conn, const QString &name, const QString &port,
                                const QString &host, qint32 type, const QString &account = QString())
{
    auto p = std::make_shared<QM6Printer>();
    p->SetName(name);
    p->SetPort(port);
    p->SetHost(host);
    p->SetDevice(name);
    p->SetConnectionType(type);
    p->SetAccountNo(account);
    if (const QM6ErrorPtr e = p->Save(conn)) {
        qWarning("%s", qPrintable(e->Description()));
        return nullptr;
    }
    return p;
}

// SQL straight at a site, past the data component.
inline bool execSql(const QM6ConnectionPtr &conn, const QString &sql)
{
    QSqlQuery q(QM6ConnectionPrivate::get(conn)->db());
    if (q.exec(sql))
        return true;
    qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

// Makes the printer sourceId a merged printer of ownerId.
inline bool mergeInto(const QM6ConnectionPtr &conn, qint32 ownerId, qint32 sourceId)
{
    QM6Printer owner, src;
    QM6ErrorPtr e = owner.Load(conn, ownerId);
    if (!e)
        e = src.Load(conn, sourceId);
    if (!e)
        e = owner.AddAlias(conn, src.PrinterKey(), src.Device(), src.Host(), src.Port(), src.ConnectionType(), true);
    if (e)
        qWarning("%s", qPrintable(e->Description()));
    return !e;
}

// Three printers, the first with two printers merged into it by hand:
//   "Alpha LaserJet" (network share) <- "alpha-old", "alpha-ip"; "Bravo Canon" (direct IP);
//   "Charlie Zebra" (local). PrinterCount 5.
inline bool buildThreePrinterSite(const QM6ConnectionPtr &conn)
{
    auto a = addPrinter(conn, QStringLiteral("Alpha LaserJet"), QStringLiteral("\\\\srv01\\alpha"), QStringLiteral("srv01"), 1, QStringLiteral("100"));
    auto b = addPrinter(conn, QStringLiteral("Bravo Canon"), QStringLiteral("10.1.2.3:9100"), QStringLiteral("prn-lab"), 2);
    auto c = addPrinter(conn, QStringLiteral("Charlie Zebra"), QStringLiteral("LPT1:"), QStringLiteral("WS-RECEPTION"), 3);
    auto d = addPrinter(conn, QStringLiteral("alpha-old"), QStringLiteral("\\\\srv09\\alpha"), QStringLiteral("srv09"), 1);
    auto e = addPrinter(conn, QStringLiteral("alpha-ip"), QStringLiteral("10.0.0.9"), QStringLiteral("00-1B-78-A0-3C-5F"), 2);
    return a && b && c && d && e && mergeInto(conn, a->PrinterId(), d->PrinterId()) && mergeInto(conn, a->PrinterId(), e->PrinterId());
}

// Per test: the site, the registry and the console's services and container.
struct PageSite {
    QTemporaryDir dir;
    QString db = dir.filePath(QStringLiteral("site.db"));
    QM6ConnectionPtr conn;
    FakeCommonServices *services = nullptr;
    FakeConsole console;
    FakeExtender extender;

    explicit PageSite(std::unique_ptr<FakeCommonServices> s = std::make_unique<FakeCommonServices>())
    {
        qputenv("QM6_REGISTRY_DIR", dir.filePath(QStringLiteral("registry")).toUtf8());
        conn = openSite(db);
        services = s.get();
        SetCommonServices(std::move(s));
        extender.parent = &console;
    }
    ~PageSite()
    {
        conn.reset();
        SetCommonServices(nullptr);
        QM6Error::SetDisplayHandler(nullptr);
    }

    bool exec(const QString &sql) const { return execSql(conn, sql); }
};

// The page in the site's container, released at the end of the test, whatever happens.
struct PageHolder {
    ctlFleet *page = new ctlFleet();
    // Every change the page makes to its grid's model is checked against the model rules.
    QAbstractItemModelTester tester{grid()->View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest};

    PageHolder() = default;
    // Placed in the container (900 x 600) and given the connection; shown when asked.
    PageHolder(PageSite &site, const QM6ConnectionPtr &conn, bool show = false)
    {
        page->SetClientSite(&site.extender);
        page->resize(900, 600);
        page->SetConnectionAndLicense(conn, nullptr);
        if (show)
            page->show();
    }
    ~PageHolder() { page->Release(); }
    ctlFleet *operator->() const { return page; }
    // The page's controls, found by name as the user sees them.
    FlexGrid *grid() const { return page->findChild<FlexGrid *>(QStringLiteral("grdPrinters")); }
    QComboBox *types() const { return page->findChild<QComboBox *>(QStringLiteral("cmbPrinterTypes")); }
    QLineEdit *match() const { return page->findChild<QLineEdit *>(QStringLiteral("txtMatches")); }
    QTimer *timer() const { return page->findChild<QTimer *>(QStringLiteral("tmrMatch")); }
    // Selects rows in the outline as a user would: the first becomes current.
    void select(const QList<int> &rows) const
    {
        grid()->Outline(1);
        grid()->SetRow(rows.first());
        for (qsizetype i = 1; i < rows.size(); ++i)
            grid()->SetIsSelected(rows[i], true);
    }
};
