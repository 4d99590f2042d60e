// A second process for the concurrency tests.
//   dataaccess_worker rename URL USER ID NAME   loads printer ID and saves it renamed
//   dataaccess_worker add URL USER COUNT TAG    adds COUNT printers, one transaction each
//   dataaccess_worker hold URL USER MS -        holds a write transaction for MS milliseconds,
//                                               saying "held" once it has it
#include "qm6connection.h"
#include "qm6printer.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 6)
        return 2;
    QM6ConnectionPtr c;
    QM6ErrorPtr e = QM6Connection::Open(a[2], a[3], &c);
    if (!e && a[1] == QLatin1String("rename")) {
        QM6Printer p;
        e = p.Load(c, a[4].toInt());
        if (!e) {
            p.SetName(a[5]);
            e = p.Save(c);
        }
    } else if (!e && a[1] == QLatin1String("add")) {
        for (int i = 0; i < a[4].toInt() && !e; ++i) {
            QM6Printer p;
            p.SetName(QStringLiteral("%1 %2").arg(a[5]).arg(i));
            p.SetConnectionType(3);
            if (!(e = c->BeginTransaction())) {
                e = p.Save(c);
                if (!e)
                    e = c->CommitTransaction();
                else
                    c->RollbackTransaction();
            }
        }
    } else if (!e && a[1] == QLatin1String("hold")) {
        QM6Printer p;
        p.SetName(QStringLiteral("Held"));
        p.SetConnectionType(3);
        if (!(e = c->BeginTransaction()) && !(e = p.Save(c))) {
            std::printf("held\n");
            std::fflush(stdout);
            QThread::msleep(a[4].toULong());
            e = c->CommitTransaction();
        }
    }
    if (e) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return 1;
    }
    return 0;
}
