#include "vnclocalonly.h"

#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <thread>

// QtCore's object-creation hook (what debugging tools use): slot 3 is called for every new
// QObject once its QObject part is built.
extern "C++" Q_DECL_IMPORT quintptr qtHookData[];

namespace {

constexpr int AddQObjectHook = 3;
using ObjectHook = void (*)(QObject *);

QList<QPointer<QObject>> &created()
{
    static QList<QPointer<QObject>> objects;
    return objects;
}

ObjectHook previousAdd = nullptr;
std::thread::id mainThread;

// Only this thread's objects are kept; the guarded pointers forget the ones destroyed since.
void onAdd(QObject *o)
{
    if (std::this_thread::get_id() == mainThread)
        created().append(QPointer<QObject>(o));
    if (previousAdd)
        previousAdd(o);
}

} // namespace

void WatchVncServerSockets()
{
    mainThread = std::this_thread::get_id();
    previousAdd = reinterpret_cast<ObjectHook>(qtHookData[AddQObjectHook]);
    qtHookData[AddQObjectHook] = reinterpret_cast<quintptr>(&onAdd);
}

void ForgetVncServerSockets()
{
    qtHookData[AddQObjectHook] = reinterpret_cast<quintptr>(previousAdd);
    created().clear();
}

quint16 MoveVncServerToLoopback()
{
    qtHookData[AddQObjectHook] = reinterpret_cast<quintptr>(previousAdd);
    const QList<QPointer<QObject>> objects = std::exchange(created(), {});
    quint16 moved = 0;
    for (const QPointer<QObject> &o : objects) {
        auto *server = qobject_cast<QTcpServer *>(o.data());
        if (!server || !server->isListening() || server->serverAddress().isLoopback())
            continue;
        const quint16 port = server->serverPort();
        server->close();
        if (server->listen(QHostAddress::LocalHost, port))
            moved = port;
    }
    return moved;
}
