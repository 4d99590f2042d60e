// Opening a site: its address, its file, who the user is, and its schema.
#include "qm6connectionprivate.h"
#include "qm6demosite.h"
#include "qm6schema.h"
#include "qm6siteusers.h"
#include "qm6texts.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QAtomicInt connectionCounter;

struct PgTarget {
    QString user, password, host, db;
    int port = 5432;
};

bool isPostgresUrl(const QString &url)
{
    return url.startsWith(QLatin1String("postgresql://")) || url.startsWith(QLatin1String("postgres://"));
}

bool parsePg(const QString &url, PgTarget *t)
{
    QString rest = url.section(QStringLiteral("://"), 1);
    QString query;
    if (int q = rest.indexOf(u'?'); q >= 0) {
        query = rest.mid(q + 1);
        rest.truncate(q);
    }
    const int slash = rest.indexOf(u'/');
    if (slash < 0)
        return false;
    t->db = QUrl::fromPercentEncoding(rest.mid(slash + 1).toUtf8());
    QString authority = rest.left(slash);
    if (int at = authority.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        t->user = QUrl::fromPercentEncoding(userInfo.section(u':', 0, 0).toUtf8());
        if (userInfo.contains(u':'))
            t->password = QUrl::fromPercentEncoding(userInfo.section(u':', 1).toUtf8());
    }
    if (int colon = authority.lastIndexOf(u':'); colon >= 0) {
        bool ok = false;
        t->port = authority.mid(colon + 1).toInt(&ok);
        if (!ok || t->port < 1 || t->port > 65535)
            return false;
        authority.truncate(colon);
    }
    t->host = QUrl::fromPercentEncoding(authority.toUtf8());
    const QUrlQuery items(query);
    if (items.hasQueryItem(QStringLiteral("host")))
        t->host = items.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (items.hasQueryItem(QStringLiteral("password")))
        t->password = items.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded);
    return !t->db.isEmpty();
}

// A new site file, made before SQLite opens it so that it never exists with wider rights;
// SQLite gives its -wal and -shm files the same mode.
QM6ErrorPtr createSiteFile(const QString &path, bool groupReadable)
{
    const mode_t mode = groupReadable ? 0640 : 0600;
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        if (errno == EEXIST)   // another process made it first: it is theirs to set up
            return {};
        const int why = errno;
        const QFileInfo file(path);
        const QString cause = !file.absoluteDir().exists() ? QM6Texts::tr("its folder %1 does not exist").arg(file.absolutePath())
                              : why == EACCES || why == EPERM ? QM6Texts::tr("you may not create files in %1").arg(file.absolutePath())
                                                              : QString::fromLocal8Bit(std::strerror(why));
        return MakeQM6Error(QM6Texts::tr("The site file %1 could not be made: %2.").arg(path, cause), QM6Error::ErrNoDatabase);
    }
    ::fchmod(fd, mode);   // the umask must not take the group's read right away
    ::close(fd);
    return {};
}
}

QM6Connection::~QM6Connection() = default;

QString QM6Connection::DefaultUrl()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QStringLiteral("sqlite:") + base + QStringLiteral("/quillmark6/printers.db");
}

QString QM6Connection::OperatingSystemUser()
{
    // Not $USER: anyone can set that.
    if (const passwd *pw = getpwuid(geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return QString();
}

QString QM6Connection::DisplayUrl(const QString &url)
{
    // Any address of a server (also of a kind this program does not know) may carry one.
    if (url.startsWith(QLatin1String("sqlite:")) || !url.contains(QLatin1String("://")))
        return url;
    // Generous on purpose: a password with unescaped '@', '/' or '?' in it must not show either.
    QString shown = url;
    const qsizetype start = shown.indexOf(QLatin1String("://")) + 3;
    const qsizetype at = shown.lastIndexOf(u'@');
    const qsizetype colon = shown.indexOf(u':', start);
    if (at > start && colon >= 0 && colon < at)
        shown.remove(colon, at - colon);
    for (qsizetype i; (i = shown.indexOf(QLatin1String("password="), 0, Qt::CaseInsensitive)) >= 0;) {
        qsizetype end = shown.indexOf(u'&', i);
        end = end < 0 ? shown.size() : end + 1;
        shown.remove(i, end - i);
    }
    while (shown.endsWith(u'&') || shown.endsWith(u'?'))
        shown.chop(1);
    return shown;
}

QM6ErrorPtr QM6Connection::Open(const QString &url, const QString &narrowToUser, std::shared_ptr<QM6Connection> *out)
{
    return QM6ConnectionPrivate::OpenSite(url, narrowToUser, QM6OpenOptions(), out);
}

namespace {
std::atomic<qint32> g_language{1033};
}

void QM6Connection::SetLanguage(qint32 localeId) { g_language = localeId > 0 ? localeId : 1033; }
qint32 QM6Connection::Language() { return g_language; }

QM6ErrorPtr QM6Connection::CreateSite(const QString &url, std::shared_ptr<QM6Connection> *out)
{
    QM6OpenOptions options;
    options.createSite = true;
    options.fillDefaultDemo = false;
    return QM6ConnectionPrivate::OpenSite(url, QString(), options, out);
}

namespace {

QM6ErrorPtr noSiteError(const QString &shownUrl, bool fileMissing)
{
    const QString what = fileMissing ? QM6Texts::tr("There is no Quillmark site at %1: the file does not exist.")
                                     : QM6Texts::tr("%1 holds no Quillmark site (its tables are not there).");
    return MakeQM6Error(what.arg(shownUrl) + QStringLiteral(" Check the address; to make a new site there, run "
                                                          "\"qm6data init %1\" (add --demo for demo printers).").arg(shownUrl),
                        QM6Error::ErrNoDatabase);
}

} // namespace

QM6ErrorPtr QM6ConnectionPrivate::OpenSite(const QString &url, const QString &narrowToUser, const QM6OpenOptions &options,
                                           QM6ConnectionPtr *out)
{
    if (out)
        out->reset();
    auto c = std::make_shared<QM6ConnectionPrivate>();
    QM6ConnectionPrivate *d = c.get();
    d->url = DisplayUrl(url);
    d->readOnly = options.readOnly;
    d->connName = QStringLiteral("qm6data-%1").arg(connectionCounter.fetchAndAddRelaxed(1));

    if (url.startsWith(QLatin1String("sqlite:"))) {
        QString path = url.mid(7);
        if (path.startsWith(QLatin1String("//")))
            path = path.mid(2);
        if (path.isEmpty())
            return MakeQM6Error(QM6Texts::tr("The database address \"%1\" names no file.").arg(url), QM6Error::ErrNoDatabase);
        d->sqlitePath = path;
        // Before the file is touched: a user who cannot be identified creates nothing either.
        if (QM6ErrorPtr e = QM6SiteUsers::Identify(d))
            return e;
        if (!QFileInfo::exists(path)) {
            if (options.readOnly)
                return MakeQM6Error(QM6Texts::tr("The database file %1 does not exist.").arg(path), QM6Error::ErrNoDatabase);
            if (!options.createSite && url != DefaultUrl())
                return noSiteError(d->url, true);
            if (url == DefaultUrl())
                QDir().mkpath(QFileInfo(path).absolutePath());
            if (QM6ErrorPtr e = createSiteFile(path, options.groupReadable))
                return e;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connName);
        db.setDatabaseName(path);
        db.setConnectOptions(options.readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000;QSQLITE_OPEN_READONLY")
                                              : QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else if (isPostgresUrl(url)) {
        PgTarget t;
        if (!parsePg(url, &t))
            return MakeQM6Error(QM6Texts::tr("The database address \"%1\" is not of the form postgresql://user@host:port/database.")
                                    .arg(d->url),
                                QM6Error::ErrNoDatabase);
        d->pg = true;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), d->connName);
        db.setHostName(t.host);
        db.setPort(t.port);
        db.setDatabaseName(t.db);
        db.setUserName(t.user);
        db.setPassword(t.password);
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    } else {
        return MakeQM6Error(QM6Texts::tr("The database address \"%1\" is neither sqlite:PATH nor postgresql://...").arg(d->url),
                            QM6Error::ErrNoDatabase);
    }

    if (QM6ErrorPtr e = d->Ensure())
        return e;
    if (d->pg)
        if (QM6ErrorPtr e = QM6SiteUsers::Identify(d))
            return e;
    bool created = false;
    if (options.readOnly) {
        if (QM6ErrorPtr e = QM6Schema::RequireSite(d))
            return e;
    } else {
        if (!options.createSite && url != DefaultUrl()) {
            int version = 0;
            if (QM6ErrorPtr e = QM6Schema::ReadVersion(d, &version))
                return e;
            if (version == 0)
                return noSiteError(d->url, false);
        }
        if (QM6ErrorPtr e = QM6Schema::Migrate(d, &created))
            return e;
    }
    // The default site starts as the demo site (also when an earlier start left its file empty).
    // The demo is the creator's work, whatever name the rights are narrowed to afterwards.
    if (created && options.fillDefaultDemo && url == DefaultUrl()) {
        if (QM6ErrorPtr e = QM6DemoSite::Fill(c.get()))
            return e;
    }
    if (!narrowToUser.isEmpty() && narrowToUser != d->identity)
        d->narrowedTo = narrowToUser;
    if (out)
        *out = std::move(c);
    return {};
}

QM6ErrorPtr QM6NoConnectionError()
{
    return MakeQM6Error(QM6Texts::tr("There is no data connection."), QM6Error::ErrNoDatabase);
}
