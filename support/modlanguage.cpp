#include "modlanguage.h"

#include "clsregistry.h"
#include "modstringtable.h"
#include "win32locale.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTranslator>

#include <dlfcn.h>
#include <memory>

namespace modLanguage {

namespace {

constexpr qint32 DEFAULT_LANGUAGE_ID = 1033;
// A string table entry is copied into a 512-character buffer that keeps one place for the
// terminator, so no text is longer than this.
constexpr qsizetype MAX_TEXT_LENGTH = 511;
// Far more than a table of every text the page shows; anything larger is not one of ours.
constexpr qint64 MAX_TABLE_SIZE = 16 * 1024 * 1024;

// A file as found on disk: a table refused once is not read again while this stays the same.
struct FileStamp {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const FileStamp &) const = default;
};

struct LanguageState {
    // The table is read into memory rather than mapped, so a file replaced or cut short while
    // it is loaded cannot pull the data from under the translator.
    std::unique_ptr<QTranslator> translator;
    QByteArray data;
    QString moduleName;
    QString languageFolder;
    FileStamp refused;
};

LanguageState &State()
{
    static LanguageState state;
    return state;
}

QString LibraryPath(const QString &folder, qint32 lcid, const QString &moduleName)
{
    return folder + QLatin1Char('/') + QString::number(lcid) + QLatin1Char('/') + moduleName
        + QStringLiteral("LangRes.qm");
}

// The folder of the executable or shared library that this code was linked into.
QString BinaryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&BinaryFolder), &info) != 0 && info.dli_fname
        && info.dli_fname[0] == '/')
        return QFileInfo(QFile::decodeName(info.dli_fname)).canonicalPath();
    // The main program may be reported by the name it was started with.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

FileStamp StampOf(const QString &path)
{
    const QFileInfo info(path);
    return FileStamp{path, info.size(), info.lastModified()};
}

// A damaged table reads as a missing one: empty texts, said once in the log, and the file is
// not read again until it changes.
bool LoadTranslator(const QString &path)
{
    LanguageState &st = State();
    // Taken before reading: a file that changes while it is read gets another look next time.
    const FileStamp stamp = StampOf(path);
    if (stamp == st.refused)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString error;
    QByteArray data;
    auto translator = std::make_unique<QTranslator>();
    if (file.size() > MAX_TABLE_SIZE)
        error = QStringLiteral("it is larger than %1 bytes").arg(MAX_TABLE_SIZE);
    else if ((data = file.read(MAX_TABLE_SIZE + 1)).isEmpty())
        error = QStringLiteral("it is empty or cannot be read");
    else {
        data.squeeze();   // read() kept room for the largest table allowed, 32 MB, for as long as the table is used
        modStringTable::LoadStringTable(*translator, data, &error);
    }
    if (!error.isEmpty()) {
        st.refused = stamp;
        qWarning("The string table %s is not used: %s. Texts stay empty until the file is replaced.",
                 qPrintable(path), qPrintable(error));
        return false;
    }
    st.refused = FileStamp();
    st.data = std::move(data);
    st.translator = std::move(translator);
    return true;
}

// Fills "%s" placeholders in order. The search goes on after each insertion, so a "%s" that
// a value brings with it (a printer name, an error text) is shown as it is, never filled.
QString FillPlaceholders(QString text, const QVariantList &args)
{
    qsizetype s = 0;
    for (const QVariant &arg : args) {
        const QString value = arg.isNull() ? QString() : arg.toString();
        const qsizetype p = text.indexOf(QLatin1String("%s"), s);
        if (p < 0)
            continue;
        text.replace(p, 2, value);
        s = p + value.size();
    }
    return text;
}

} // namespace

bool FileExists(const QString &pstrPath)
{
    return !pstrPath.isEmpty() && QFileInfo::exists(pstrPath);
}

QString GetLanguageFolder()
{
    // An installation or a test may keep its string tables elsewhere.
    const QString configured = qEnvironmentVariable("QM6_LANG_DIR");
    if (!configured.isEmpty())
        return configured;
    LanguageState &st = State();
    if (!st.languageFolder.isEmpty())
        return st.languageFolder;

    QString path = BinaryFolder();
    while (true) {
        if (FileExists(path + QStringLiteral("/lang")))
            break;
        const qsizetype p = path.lastIndexOf(QLatin1Char('/'));
        if (p <= 0) {
            // Nothing found up to the root: the answer is the root's "lang".
            path.clear();
            break;
        }
        path.truncate(p);
    }
    st.languageFolder = path + QStringLiteral("/lang");
    return st.languageFolder;
}

QVariant GetConfiguredLocaleId()
{
    clsRegistry reg;
    reg.SetClassKey(HKEY_CURRENT_USER_ROOT);
    reg.SetSectionKey(QStringLiteral("Software\\Quillmark 6"));
    reg.SetValueType(4);
    const QVariant value = reg.GetValueOrDefault(QStringLiteral("LocaleId"), QString());
    if (value.isNull() || value.toString().isEmpty())
        return QVariant(qint32(-1));
    bool ok = false;
    const qint32 id = value.toString().trimmed().toInt(&ok);
    // A value that is not a number cannot name a locale; behave as if none were configured.
    return QVariant(ok ? id : qint32(-1));
}

qint32 GetLanguageId()
{
    const qint32 configured = GetConfiguredLocaleId().toInt();
    if (configured != -1)
        return configured;
    return qint32(qm6loc::GetUserDefaultLCID());
}

void UnloadLanguageLibrary()
{
    LanguageState &st = State();
    st.translator.reset();
    st.data.clear();
}

bool IsLanguageLibraryLoaded()
{
    return State().translator != nullptr;
}

bool LoadLanguageLibrary(const QString &pstrModuleName)
{
    LanguageState &st = State();
    if (IsLanguageLibraryLoaded())
        UnloadLanguageLibrary();
    st.moduleName = pstrModuleName;

    const QString folder = GetLanguageFolder();
    const QString defaultPath = LibraryPath(folder, DEFAULT_LANGUAGE_ID, pstrModuleName);
    const qint32 languageId = GetLanguageId();
    QString localPath;
    if (languageId != DEFAULT_LANGUAGE_ID)
        localPath = LibraryPath(folder, languageId, pstrModuleName);

    QString chosen;
    if (!localPath.isEmpty() && FileExists(localPath))
        chosen = localPath;
    else if (FileExists(defaultPath))
        chosen = defaultPath;
    else
        return false;
    return LoadTranslator(chosen);
}

QString GetLangString(qint32 plngId, const QVariantList &pvntArgs)
{
    LanguageState &st = State();
    if (!IsLanguageLibraryLoaded() && !st.moduleName.isEmpty())
        LoadLanguageLibrary(st.moduleName);
    if (!IsLanguageLibraryLoaded())
        return QString();

    const QByteArray key = QByteArray::number(plngId);
    QString text = st.translator->translate(nullptr, key.constData());
    if (text.size() > MAX_TEXT_LENGTH) {
        text.truncate(MAX_TEXT_LENGTH);
        // Never leave half of a surrogate pair at the cut.
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    if (text.isEmpty())
        return QString();
    return FillPlaceholders(text, pvntArgs);
}

} // namespace modLanguage
