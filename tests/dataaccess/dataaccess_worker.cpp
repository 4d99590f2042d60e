// A second process for the concurrency tests.
//   dataaccess_worker add URL USER COUNT TAG      adds COUNT printers, one transaction each
//   dataaccess_worker hold URL USER MS -          holds a write transaction for MS milliseconds
//                                                 (0: until a line arrives on standard input),
//                                                 saying "held" once it has it
//   dataaccess_worker look URL USER - -           opens the site and says "printers N", then
//                                                 "change: ok" or "change: " and why not, then
//                                                 tries to save the first printer
//   dataaccess_worker OP URL USER A B [held]      one change, for the race tests (it says
//                                                 "calling" just before the change's call):
//       merge TARGET-ID KEY     AddAlias of KEY into the loaded printer TARGET-ID
//       delete ID -             Delete of printer ID
//       move KEY TARGET-ID      MoveAlias of the merged printer KEY
//       save ID NAME            loads printer ID and saves it renamed
//     With "held", the change stops once it has read and locked what it depends on, says
//     "held", and goes on when a line arrives on standard input.
// The outcome is "ok" on standard output (exit 0) or the error's description on standard
// error (exit 1).
#include "printerdata.h"
#include "qm6connection.h"
#include "qm6connectionprivate.h"
#include "qm6printer.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

namespace {
void waitForGo()
{
    std::printf("held\n");
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        std::fprintf(stderr, "standard input closed while held\n");
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 6 && a.size() != 7)
        return 2;
    const QString op = a[1];
    QM6ConnectionPtr c;
    QM6ErrorPtr e = QM6Connection::Open(a[2], a[3], &c);
    if (!e && a.size() == 7 && a[6] == QLatin1String("held")) {
        QM6ConnectionPrivate::get(c)->afterLocks = [once = false]() mutable {
            if (!once) {
                once = true;
                waitForGo();
            }
        };
    }
    qint32 count = 0;
    QM6Printer p;
    // Whatever the change reads before its call has been read once this is said.
    auto calling = [] {
        std::printf("calling\n");
        std::fflush(stdout);
    };
    if (e) {
    } else if (op == QLatin1String("merge")) {
        if (!(e = p.Load(c, a[4].toInt()))) {
            calling();
            e = p.AddAlias(c, a[5], QStringLiteral("merged"), QString(), QString(), 3, true);
        }
    } else if (op == QLatin1String("delete")) {
        p.SetPrinterId(a[4].toInt());
        calling();
        e = p.Delete(c);
    } else if (op == QLatin1String("move")) {
        calling();
        e = p.MoveAlias(c, a[4], a[5].toInt(), count);
    } else if (op == QLatin1String("save")) {
        if (!(e = p.Load(c, a[4].toInt()))) {
            p.SetName(a[5]);
            calling();
            e = p.Save(c);
        }
    } else if (op == QLatin1String("add")) {
        for (int i = 0; i < a[4].toInt() && !e; ++i) {
            QM6Printer added;
            added.SetName(QStringLiteral("%1 %2").arg(a[5]).arg(i));
            added.SetConnectionType(3);
            if (!(e = c->BeginTransaction())) {
                e = added.Save(c);
                if (!e)
                    e = c->CommitTransaction();
                else
                    c->RollbackTransaction();
            }
        }
    } else if (op == QLatin1String("look")) {
        QM6RecordsetPtr rs;
        if (!(e = PrinterData::Instance().GetPrinters(c, &rs, true))) {
            std::printf("printers %d\n", int(rs->RecordCount()));
            const QM6ErrorPtr right = c->CheckPermission(129);
            std::printf("change: %s\n", right ? qPrintable(right->Description()) : "ok");
            std::fflush(stdout);
            rs->MoveFirst();
            if (!(e = p.Load(c, rs->Fields(QStringLiteral("PrinterId")).toInt()))) {
                p.SetLocation(QStringLiteral("Looked at"));
                e = p.Save(c);
            }
        }
    } else if (op == QLatin1String("hold")) {
        p.SetName(QStringLiteral("Held"));
        p.SetConnectionType(3);
        if (!(e = c->BeginTransaction()) && !(e = p.Save(c))) {
            const ulong ms = a[4].toULong();
            if (ms == 0) {
                waitForGo();
            } else {
                std::printf("held\n");
                std::fflush(stdout);
                QThread::msleep(ms);
            }
            e = c->CommitTransaction();
        }
    } else {
        return 2;
    }
    if (e) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return 1;
    }
    std::printf("ok\n");
    return 0;
}
