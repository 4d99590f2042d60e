#include "consolelanguage.h"

#include "clsregistry.h"
#include "modlanguage.h"
#include "modstringtable.h"
#include "qm6connection.h"
#include "win32locale.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace {

// A table with the bytes it reads from (QTranslator keeps pointing into them).
struct Table {
    QByteArray data;
    QTranslator translator;
};

// Installed for the life of the process; replaced when the language is applied again.
std::vector<std::unique_ptr<Table>> &installed()
{
    static std::vector<std::unique_ptr<Table>> tables;
    return tables;
}

// A missing table leaves English; a damaged one too (checked before Qt reads it), with a word
// on the terminal.
void install(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    auto table = std::make_unique<Table>();
    table->data = file.readAll();
    QString error;
    if (!modStringTable::LoadStringTable(table->translator, table->data, &error)) {
        qWarning("qm6admin: the string table %s is damaged and is not used: %s", qPrintable(path), qPrintable(error));
        return;
    }
    if (QCoreApplication::installTranslator(&table->translator))
        installed().push_back(std::move(table));
}

} // namespace

qint32 ApplyConsoleLanguage()
{
    for (const auto &t : installed())
        QCoreApplication::removeTranslator(&t->translator);
    installed().clear();
    const qint32 lcid = modLanguage::GetLanguageId();
    const QString folder = modLanguage::GetLanguageFolder() + QLatin1Char('/') + QString::number(lcid) + QLatin1Char('/');
    install(folder + QStringLiteral("qm6admin.qm"));
    install(folder + QStringLiteral("qm6dataaccess.qm"));
    bool known = false;
    const QLocale locale = qm6loc::LCIDToLocale(qm6loc::LCID(lcid), &known);
    if (known)
        install(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_") + locale.name().section(u'_', 0, 0) +
                QStringLiteral(".qm"));
    QM6Connection::SetLanguage(lcid);
    return lcid;
}

bool StoreConsoleLanguage(qint32 localeId, QString *error)
{
    clsRegistry reg;
    reg.SetClassKey(HKEY_CURRENT_USER_ROOT);
    reg.SetSectionKey(QStringLiteral("Software\\Quillmark 6"));
    reg.SetValueType(RegDword);
    return reg.SetCreateValue(QStringLiteral("LocaleId"), localeId, false, error);
}
