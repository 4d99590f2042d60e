#include "pageglobals.h"

QM6FontPtr &PageConsoleFont()
{
    static QM6FontPtr font;
    return font;
}

QString &PageHelpFileName()
{
    static QString path;
    return path;
}
