#include "consoleoptions.h"

ConsoleOptions ConsoleOptions::Parse(const QStringList &args)
{
    ConsoleOptions o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](const QString &name) -> QString {
            if (a.startsWith(name + QLatin1Char('=')))
                return a.mid(name.size() + 1);
            if (i + 1 < args.size())
                return args.at(++i);
            o.error = QStringLiteral("%1 needs a value.").arg(name);
            return QString();
        };
        if (a == QLatin1String("--database") || a.startsWith(QLatin1String("--database=")))
            o.database = value(QStringLiteral("--database"));
        else if (a == QLatin1String("--user") || a.startsWith(QLatin1String("--user=")))
            o.user = value(QStringLiteral("--user"));
        else if (a == QLatin1String("--register") || a.startsWith(QLatin1String("--register=")))
            o.registerPath = value(QStringLiteral("--register"));
        else if (a == QLatin1String("--unregister") || a.startsWith(QLatin1String("--unregister="))) {
            o.registerPath = value(QStringLiteral("--unregister"));
            o.unregister = true;
        } else if (a == QLatin1String("--language") || a.startsWith(QLatin1String("--language="))) {
            bool ok = false;
            o.language = value(QStringLiteral("--language")).toInt(&ok);
            if (o.error.isEmpty() && (!ok || o.language <= 0))
                o.error = QStringLiteral("--language takes a Windows locale id, such as 1033 (English) or 1036 (French).");
        } else if (a == QLatin1String("--vnc"))
            o.vnc = true;
        else if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            o.help = true;
        else if (a.startsWith(QLatin1Char('-')) && !a.startsWith(QLatin1String("-platform")) && !a.startsWith(QLatin1String("-style")))
            o.error = QStringLiteral("Unknown option %1.").arg(a);
        else if (a.startsWith(QLatin1String("-platform")) || a.startsWith(QLatin1String("-style")))
            ++i;   // Qt's own options take a value
        if (!o.error.isEmpty())
            break;
    }
    return o;
}

QString ConsoleOptions::Usage()
{
    return QStringLiteral(
        "Usage: qm6admin [--database URL] [--user NAME] [--language LCID] [--vnc]\n"
        "       qm6admin --register LIBRARY | --unregister LIBRARY\n\n"
        "  --database URL   sqlite:PATH or postgresql://user@host:port/db\n"
        "                   (default: the demo database in $XDG_DATA_HOME/quillmark6/printers.db)\n"
        "  --user NAME      work with no more rights than the site's user NAME has (auditor: read-only);\n"
        "                   who you are is your PostgreSQL login role, or on SQLite your user on this computer\n"
        "  --language LCID  the language of the console and its pages from now on, as a Windows locale id\n"
        "                   (1033 English, 1036 French); kept as LocaleId in your registry store\n"
        "  --vnc            without a display, serve the console over VNC on 127.0.0.1\n"
        "                   (port $QM6_VNC_PORT, default 5900; QM6_ALLOW_VNC=1 does the same).\n"
        "                   VNC has no password: any local account can connect and use the console.\n");
}
