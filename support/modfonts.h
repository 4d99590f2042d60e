// Carries the console font over the controls of a form or of the page, leaving alone the
// controls that were given a face of their own, and handling the grid, the tab control and
// the outlook bar whose fonts are not an ordinary widget font.
#pragma once

#include "qm6font.h"

#include <QFontDatabase>
#include <QList>

class QObject;
class QFont;

namespace modFonts {

// Dynamic property that holds a control's Windows character set (0 = ANSI when absent).
inline constexpr const char *CHARSET_PROPERTY = "FontCharset";

// Brings every control from the old font to the new one, then makes the old font equal to
// the new one (name, charset, size). Nothing happens when there is no new font. Controls
// without a font (timers, other non-widget objects) are passed over.
void ApplyFont(QM6Font &oldFont, const QList<QObject *> &controls, const QM6FontPtr &newFont);

// The writing system a Windows character set needs; Any when it sets no constraint.
QFontDatabase::WritingSystem WritingSystemForCharset(qint16 charset);
// True when the face the font resolves to can show the character set.
bool FaceSupportsCharset(const QFont &font, qint16 charset);

// The control's character set, and setting it as the platform would: a face that cannot show
// the new character set is replaced by one that can. False when the object has no font.
qint16 ControlCharset(const QObject *control);
bool SetControlCharset(QObject *control, qint16 charset);

// The name the page knows a control type by: the "TypeName" class info, else the class name.
QString ControlTypeName(const QObject *control);

} // namespace modFonts
