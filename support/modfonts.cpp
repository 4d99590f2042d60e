#include "modfonts.h"

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QMetaClassInfo>
#include <QMetaObject>
#include <QWidget>

namespace modFonts {

namespace {

bool HasProperty(const QObject *o, const char *name)
{
    return o->metaObject()->indexOfProperty(name) >= 0 || o->dynamicPropertyNames().contains(name);
}

bool GuiAvailable()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

// A face that can show the writing system, as the platform's font mapper would pick it.
QString SubstituteFace(QFontDatabase::WritingSystem ws)
{
    const QStringList families = QFontDatabase::families(ws);
    for (const QString &family : families) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        // Drop the foundry that the database adds to tell equal names apart.
        const qsizetype bracket = family.indexOf(QLatin1String(" ["));
        return bracket > 0 ? family.left(bracket) : family;
    }
    return QString();
}

// Sizes are compared at the four decimals that the font object keeps.
bool SameSize(double a, double b)
{
    return qRound64(a * 10000.0) == qRound64(b * 10000.0);
}

void SetWidgetFamily(QWidget *w, const QString &family)
{
    QFont f = w->font();
    f.setFamily(family);
    w->setFont(f);
}

void SetWidgetSize(QWidget *w, double size)
{
    if (size <= 0)
        return;
    QFont f = w->font();
    f.setPointSizeF(size);
    w->setFont(f);
}

// The control takes the new face and charset, and the new size unless it had one of its own.
void TakeNewFont(QWidget *w, const QM6Font &oldFont, const QM6Font &newFont)
{
    SetWidgetFamily(w, newFont.Name());
    SetControlCharset(w, newFont.Charset());
    if (SameSize(w->font().pointSizeF(), oldFont.Size()))
        SetWidgetSize(w, newFont.Size());
}

void ApplyByType(QObject *c, const QM6Font &newFont)
{
    auto *w = qobject_cast<QWidget *>(c);
    const QString type = ControlTypeName(c);
    if (type == QLatin1String("PVOutlookBar")) {
        if (w) {
            w->setFont(newFont.ToQFont());
            w->setProperty(CHARSET_PROPERTY, newFont.Charset());
        }
    } else if (type == QLatin1String("SSActiveTabs")) {
        if (HasProperty(c, "FontSelectedTab"))
            c->setProperty("FontSelectedTab", newFont.ToQFont());
        if (w) {
            w->setFont(newFont.ToQFont());
            w->setProperty(CHARSET_PROPERTY, newFont.Charset());
        }
    } else if (type == QLatin1String("VSFlexGrid")) {
        if (HasProperty(c, "FontName"))
            c->setProperty("FontName", newFont.Name());
        SetControlCharset(c, newFont.Charset());
        if (HasProperty(c, "FontSize"))
            c->setProperty("FontSize", newFont.Size());
    }
}

} // namespace

QFontDatabase::WritingSystem WritingSystemForCharset(qint16 charset)
{
    switch (charset) {
    case 0:   // ANSI
    case 162: // Turkish
    case 186: // Baltic
    case 238: // Central European
        return QFontDatabase::Latin;
    case 2:
        return QFontDatabase::Symbol;
    case 128:
        return QFontDatabase::Japanese;
    case 129:
        return QFontDatabase::Korean;
    case 134:
        return QFontDatabase::SimplifiedChinese;
    case 136:
        return QFontDatabase::TraditionalChinese;
    case 161:
        return QFontDatabase::Greek;
    case 177:
        return QFontDatabase::Hebrew;
    case 178:
        return QFontDatabase::Arabic;
    case 204:
        return QFontDatabase::Cyrillic;
    case 222:
        return QFontDatabase::Thai;
    default: // 1 (DEFAULT) and the character sets with no writing system of their own
        return QFontDatabase::Any;
    }
}

bool FaceSupportsCharset(const QFont &font, qint16 charset)
{
    const QFontDatabase::WritingSystem ws = WritingSystemForCharset(charset);
    if (ws == QFontDatabase::Any || !GuiAvailable())
        return true;
    QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(font.family());
    // A face that is not installed is shown in the face the platform matched for it.
    if (systems.isEmpty())
        systems = QFontDatabase::writingSystems(QFontInfo(font).family());
    return systems.contains(ws);
}

qint16 ControlCharset(const QObject *control)
{
    if (!control)
        return 0;
    const QVariant v = control->property(CHARSET_PROPERTY);
    return v.isValid() ? qint16(v.toInt()) : qint16(0);
}

bool SetControlCharset(QObject *control, qint16 charset)
{
    auto *w = qobject_cast<QWidget *>(control);
    if (!w)
        return false;
    w->setProperty(CHARSET_PROPERTY, charset);
    if (!FaceSupportsCharset(w->font(), charset)) {
        const QString face = SubstituteFace(WritingSystemForCharset(charset));
        if (!face.isEmpty())
            SetWidgetFamily(w, face);
    }
    return true;
}

QString ControlTypeName(const QObject *control)
{
    if (!control)
        return QString();
    const QMetaObject *mo = control->metaObject();
    const int index = mo->indexOfClassInfo("TypeName");
    if (index >= 0)
        return QString::fromLatin1(mo->classInfo(index).value());
    return QString::fromLatin1(mo->className());
}

void ApplyFont(QM6Font &oldFont, const QList<QObject *> &controls, const QM6FontPtr &newFont)
{
    if (!newFont)
        return;
    const QM6Font target = *newFont;

    // Each control is handled on its own; one that cannot take a font does not stop the rest.
    for (QObject *c : controls) {
        if (!c)
            continue;
        if (auto *w = qobject_cast<QWidget *>(c)) {
            const QString face = w->font().family();
            if (face != oldFont.Name()) {
                // A face of its own stays, unless it cannot show the new character set.
                SetControlCharset(w, target.Charset());
                if (ControlCharset(w) != target.Charset() || w->font().family() != face)
                    TakeNewFont(w, oldFont, target);
            } else {
                TakeNewFont(w, oldFont, target);
            }
        }
        ApplyByType(c, target);
    }

    oldFont.SetName(target.Name());
    oldFont.SetCharset(target.Charset());
    oldFont.SetSize(target.Size());
}

} // namespace modFonts
