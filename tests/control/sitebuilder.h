// A real SQLite site in a temporary folder, built through the data component.
#pragma once

#include "qm6connection.h"
#include "qm6printer.h"

#include <QFileInfo>
#include <QTest>

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
    if (!a || !b || !c || !d || !e)
        return false;
    for (const auto &src : {d, e})
        if (const QM6ErrorPtr err = a->AddAlias(conn, src->PrinterKey(), src->Device(), src->Host(), src->Port(), src->ConnectionType(), true)) {
            qWarning("%s", qPrintable(err->Description()));
            return false;
        }
    return true;
}
