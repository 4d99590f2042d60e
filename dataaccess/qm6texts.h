// The data component's words for people (refusals, errors): in the user's language when the
// host has installed the component's string table (lang/<LCID>/qm6dataaccess.qm), in English
// otherwise.
#pragma once

#include <QCoreApplication>

class QM6Texts {
    Q_DECLARE_TR_FUNCTIONS(QM6DataAccess)
};
