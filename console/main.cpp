// qm6admin: the Quillmark 6 administration console.
#include "common/consoleservices.h"
#include "consoleoptions.h"
#include "consolewindow.h"
#include "pagelibrary.h"
#include "qm6connection.h"
#include "startup.h"
#include "vnclocalonly.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace {

int registerOnly(int argc, char **argv, const ConsoleOptions &o)
{
    QCoreApplication app(argc, argv);
    QString error;
    const HRESULT hr = RegisterPlugin(o.registerPath, o.unregister, &error);
    if (FAILED(hr)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s %s\n", o.unregister ? "Unregistered" : "Registered", qPrintable(o.registerPath));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const ConsoleOptions options = ConsoleOptions::Parse(args);
    if (!options.error.isEmpty() || options.help) {
        std::fprintf(options.help ? stdout : stderr, "%s%s\n", qPrintable(options.error.isEmpty() ? QString() : options.error + QLatin1String("\n\n")),
                     qPrintable(ConsoleOptions::Usage()));
        return options.help ? 0 : 2;
    }
    if (!options.registerPath.isEmpty())
        return registerOnly(argc, argv, options);

    bool vnc = qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("vnc"));
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0)
            vnc = qstrncmp(argv[i + 1], "vnc", 3) == 0;
    if (vnc)
        WatchVncServerSockets();
    QApplication app(argc, argv);
    if (vnc) {
        // The VNC server opens its socket once the event loop runs.
        QTimer::singleShot(0, &app, [] {
            if (!MoveVncServerToLoopback()) {
                std::fprintf(stderr, "The VNC server could not be limited to this computer (127.0.0.1); stopping.\n");
                QCoreApplication::exit(1);
            }
        });
    }
    QApplication::setApplicationName(QStringLiteral("Quillmark 6 Administrator"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    SetCommonServicesFactory([] { return std::make_unique<ConsoleCommonServices>(); });
    QM6Error::SetDisplayHandler([](const QM6Error &e) {
        QMessageBox::warning(QApplication::activeWindow(), ConsoleCommonServices::AppTitle(), e.Description());
    });

    const QString url = options.database.isEmpty() ? QM6Connection::DefaultUrl() : options.database;
    // Who the user is, the data component finds out itself; --user only narrows the rights.
    const QString user = options.user;
    ConsoleWindow window(nullptr);
    window.show();
    // Messages about the database and the pages come over the window, once it is up.
    QTimer::singleShot(0, &window, [&window, url, user] {
        window.SetConnection(OpenConsoleDatabase(url, user));
        window.LoadPages();
        if (window.PageCount() > 0)
            window.SelectPage(0);
        else
            CommonServices().ShowMessage(QObject::tr("No administration pages are registered. Register one with "
                                                     "qm6admin --register LIBRARY."), -1);
    });
    return app.exec();
}
