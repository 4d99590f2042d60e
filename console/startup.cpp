#include "startup.h"


#include <QObject>

QM6ConnectionPtr OpenConsoleDatabase(const QString &url, const QString &user)
{
    QM6ConnectionPtr connection;
    if (const QM6ErrorPtr e = QM6Connection::Open(url, user, &connection)) {
        // An error, shown as errors are (with the error icon), naming the site and what to do.
        MakeQM6Error(QObject::tr("The database %1 could not be opened.\n\n%2\n\nThe console stays open without data: "
                                 "correct the problem and click Refresh, or start it again with a working --database URL.")
                         .arg(QM6Connection::DisplayUrl(url), e->Description()),
                     e->Number())
            ->Display();
        return nullptr;
    }
    return connection;
}
