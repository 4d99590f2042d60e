// Opening the console's database: a failure is shown (naming the URL and the reason) and the
// console goes on without data.
#pragma once

#include "qm6connection.h"

QM6ConnectionPtr OpenConsoleDatabase(const QString &url, const QString &user);
