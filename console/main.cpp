// qm6admin: the Quillmark 6 administration console.
#include "common/consoleservices.h"
#include "consolelanguage.h"
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

constexpr int ExitNoDisplay = 3;

const char HowToGetADisplay[] =
    "Start it where there is a display, for example:\n"
    "  xvfb-run -a ./scripts/run.sh     (a virtual display on this computer)\n"
    "  ssh -X you@this-computer         (then ./scripts/run.sh shows the window on your screen)\n"
    "Or, knowing that Qt's VNC server has no password so that any local account can connect and\n"
    "use the console with your rights, serve it over VNC on 127.0.0.1: add --vnc, or set QM6_ALLOW_VNC=1.\n";

bool VncAllowed(const ConsoleOptions &o)
{
    return o.vnc || qEnvironmentVariable("QM6_ALLOW_VNC") == QLatin1String("1");
}

bool PlatformRequested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0)
            return true;
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

bool DisplayPresent()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

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

    // Without a display Qt would stop with a message about plug-ins; say what to do instead.
    if (!DisplayPresent() && !PlatformRequested(argc, argv)) {
        if (!VncAllowed(options)) {
            std::fprintf(stderr, "qm6admin: there is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set).\n%s",
                         HowToGetADisplay);
            return ExitNoDisplay;
        }
        const QString port = qEnvironmentVariable("QM6_VNC_PORT", QStringLiteral("5900"));
        qputenv("QT_QPA_PLATFORM", QStringLiteral("vnc:size=1280x800:port=%1").arg(port).toLocal8Bit());
    }

    // However the platform was asked for (any case, -platform, a fallback list), what counts is
    // the one Qt chose; the VNC server is made while the application is built.
    WatchVncServerSockets();
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("vnc")) {
        ForgetVncServerSockets();
    } else if (!VncAllowed(options)) {
        // Refused before the event loop runs, so the server never opens its socket.
        std::fprintf(stderr,
                     "qm6admin: Qt chose its VNC platform for the console. Its VNC server has no password, so the\n"
                     "console is served over VNC only when asked with --vnc or QM6_ALLOW_VNC=1.\n%s",
                     HowToGetADisplay);
        return ExitNoDisplay;
    } else {
        // The VNC server opens its socket once the event loop runs.
        QTimer::singleShot(0, &app, [] {
            const quint16 port = MoveVncServerToLoopback();
            if (port == 0) {
                std::fprintf(stderr, "qm6admin: the VNC server could not be limited to this computer (127.0.0.1); stopping.\n");
                QCoreApplication::exit(1);
                return;
            }
            std::fprintf(stderr,
                         "qm6admin: WARNING: the console is served over VNC on 127.0.0.1:%u without a password.\n"
                         "Any local account on this computer can connect to it and use the console with your rights.\n"
                         "Connect a VNC viewer to it (for example: vncviewer 127.0.0.1::%u); Ctrl+C stops it.\n",
                         unsigned(port), unsigned(port));
        });
    }
    if (options.language > 0) {
        QString error;
        if (!StoreConsoleLanguage(options.language, &error))
            std::fprintf(stderr, "qm6admin: the language could not be kept: %s\n", qPrintable(error));
    }
    ApplyConsoleLanguage();
    QApplication::setApplicationName(QStringLiteral("Quillmark 6 Administrator"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    SetCommonServicesFactory([] { return std::make_unique<ConsoleCommonServices>(); });
    QM6Error::SetDisplayHandler([](const QM6Error &e) {
        QMessageBox::critical(QApplication::activeWindow(), ConsoleCommonServices::AppTitle(), e.Description());
    });

    const QString url = options.database.isEmpty() ? QM6Connection::DefaultUrl() : options.database;
    // Who the user is, the data component finds out itself; --user only narrows the rights.
    const QString user = options.user;
    ConsoleWindow window(nullptr);
    window.SetReopen([url, user] { return OpenConsoleDatabase(url, user); });
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
