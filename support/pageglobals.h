// Values that the whole plug-in shares: the console font that every form of the page applies
// when it loads, and the application-wide help file path.
#pragma once

#include "qm6font.h"

QM6FontPtr &PageConsoleFont();
QString &PageHelpFileName();
