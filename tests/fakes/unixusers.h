// Unix users and file modes for the suites that check who may read or write a file: root
// ignores modes, so those suites run part of their work as an ordinary user.
#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace unixusers {

// The ordinary user to run programs as.
inline constexpr char kOtherUser[] = "qm6test";

// Makes the user unless it is there; several suites may make it at the same time.
inline bool ensureOtherUser(QString *error = nullptr)
{
    if (getpwnam(kOtherUser))
        return true;
    QProcess p;
    p.start(QStringLiteral("useradd"), {QStringLiteral("--system"), QStringLiteral("--no-create-home"), QStringLiteral("--shell"),
                                        QStringLiteral("/usr/sbin/nologin"), QString::fromLatin1(kOtherUser)});
    p.waitForFinished(60000);
    if (getpwnam(kOtherUser))
        return true;
    if (error)
        *error = QStringLiteral("useradd failed: ") + QString::fromLocal8Bit(p.readAllStandardError()) + p.errorString();
    return false;
}

// The name of the user this process runs as.
inline QString me()
{
    const passwd *pw = getpwuid(geteuid());
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString();
}

// A file's permission bits; -1 when there is no such file.
inline int fileMode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace unixusers
