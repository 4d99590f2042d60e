#include "qm6trackprofiles.h"
#include "qm6connectionprivate.h"
#include "qm6schema.h"
#include "qm6texts.h"

#include <iterator>

namespace {

// The profiles a new site starts with, in the order they are added, named in the language of
// whoever makes the site (English unless there is a set for it). Profiles added later keep the
// name they are given.
const char *const standardNames[] = {"Standard", "Colour restricted", "Finance", "Students", "Do not track"};
const char *const standardNamesFrench[] = {"Standard", "Couleur limitée", "Finance", "Étudiants", "Non suivi"};

// Nothing when the name (trimmed) can be stored, else an error saying what to change. A name
// another profile has (exceptId aside) is refused: printers and reports tell profiles apart by name.
QM6ErrorPtr checkName(QM6ConnectionPrivate *d, const QString &name, qint64 exceptId, const QString &what)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return MakeQM6Error(QM6Texts::tr("A track profile needs a name; give one."), QM6Error::ErrInvalid);
    if (trimmed.toUcs4().size() > QM6Schema::NameLength)
        return MakeQM6Error(QM6Texts::tr("The track profile name is %1 characters long; at most %2 are allowed.")
                                .arg(trimmed.toUcs4().size()).arg(QM6Schema::NameLength),
                            QM6Error::ErrTooLong);
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT profile_id FROM track_profiles WHERE name = :name AND profile_id <> :id"), what))
        return e;
    q.bindValue(QStringLiteral(":name"), trimmed);
    q.bindValue(QStringLiteral(":id"), exceptId);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    if (q.next())
        return MakeQM6Error(QM6Texts::tr("The track profile %1 is already called \"%2\"; choose another name.")
                                .arg(q.value(0).toLongLong()).arg(trimmed),
                            QM6Error::ErrInvalid);
    return {};
}

QM6ErrorPtr insert(QM6ConnectionPrivate *d, const QString &name, qint64 *id, const QString &what)
{
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("INSERT INTO track_profiles (name) VALUES (:name) RETURNING profile_id"), what))
        return e;
    q.bindValue(QStringLiteral(":name"), name);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    if (!q.next())
        return d->DbError(what, QStringLiteral("the new track profile's identifier did not come back"));
    if (id)
        *id = q.value(0).toLongLong();
    return {};
}

} // namespace

QM6ErrorPtr QM6TrackProfiles::EnsureStandard(QM6ConnectionPrivate *d, QList<qint64> *ids)
{
    const QString what = QM6Texts::tr("Adding the standard track profiles");
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT profile_id FROM track_profiles ORDER BY profile_id"), what))
        return e;
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    QList<qint64> found;
    while (q.next())
        found << q.value(0).toLongLong();
    if (found.isEmpty()) {
        const bool french = QM6Connection::Language() == 1036;
        for (size_t i = 0; i < std::size(standardNames); ++i) {
            qint64 id = 0;
            if (QM6ErrorPtr e = insert(d, QString::fromUtf8(french ? standardNamesFrench[i] : standardNames[i]), &id, what))
                return e;
            found << id;
        }
    }
    if (ids)
        *ids = found;
    return {};
}

QM6ErrorPtr QM6TrackProfiles::Add(QM6ConnectionPrivate *d, const QString &name, qint64 *id)
{
    const QString what = QM6Texts::tr("Adding the track profile \"%1\"").arg(name.trimmed());
    QM6WriteScope scope(d);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    QM6ErrorPtr e = checkName(d, name, -1, what);
    if (!e)
        e = insert(d, name.trimmed(), id, what);
    return scope.End(e);
}

QM6ErrorPtr QM6TrackProfiles::Rename(QM6ConnectionPrivate *d, qint64 id, const QString &name)
{
    const QString what = QM6Texts::tr("Renaming the track profile %1").arg(id);
    QM6WriteScope scope(d);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        if (QM6ErrorPtr e = checkName(d, name, id, what))
            return e;
        QSqlQuery q;
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("UPDATE track_profiles SET name = :name WHERE profile_id = :id"), what))
            return e;
        q.bindValue(QStringLiteral(":name"), name.trimmed());
        q.bindValue(QStringLiteral(":id"), id);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        if (q.numRowsAffected() != 1)
            return MakeQM6Error(QM6Texts::tr("There is no track profile %1; list the profiles to find its number.").arg(id),
                                QM6Error::ErrNotFound);
        return {};
    };
    return scope.End(run());
}
