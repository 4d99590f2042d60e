// The console's command line.
#pragma once

#include <QString>
#include <QStringList>

struct ConsoleOptions {
    QString database;        // empty: the default database
    QString user;            // empty: the signed-in operating-system user
    QString registerPath;    // --register / --unregister LIBRARY: register a page plug-in and exit
    bool unregister = false;
    qint32 language = 0;     // --language LCID: kept as the user's language from now on
    bool vnc = false;        // --vnc: serving over VNC without a display is wanted
    QString error;           // set when the command line is wrong
    bool help = false;

    static ConsoleOptions Parse(const QStringList &arguments);
    static QString Usage();
};
