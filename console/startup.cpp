#include "startup.h"

#include "commonservices.h"

#include <QObject>

QM6ConnectionPtr OpenConsoleDatabase(const QString &url, const QString &user)
{
    QM6ConnectionPtr connection;
    if (const QM6ErrorPtr e = QM6Connection::Open(url, user, &connection)) {
        CommonServices().ShowMessage(QObject::tr("The database %1 could not be opened.\n\n%2\n\nThe console stays open "
                                                 "without data; start it again with a working --database URL.")
                                         .arg(QM6Connection::DisplayUrl(url), e->Description()),
                                     -1);
        return nullptr;
    }
    return connection;
}
