// The host common library's services object: the console title, messages, questions,
// tips and the tip picture. The console installs its implementation; tests install fakes.
#pragma once

#include "hostapi_export.h"

#include <QPixmap>
#include <QString>
#include <functional>
#include <memory>

class QM6HOSTAPI_EXPORT ICommonServices {
public:
    virtual ~ICommonServices();
    virtual QString GetAppTitle() = 0;
    virtual void ShowMessage(const QString &text, qint32 flag) = 0;
    // answer: 6 = yes, 7 = no
    virtual void AskYesNo(const QString &text, qint32 flag, qint32 &answer) = 0;
    // Shown unless the user earlier asked (kept under registryKey/valueName in HKEY_CURRENT_USER)
    // not to see it again.
    virtual void ShowTip(const QString &text, const QString &registryKey, const QString &valueName, qint32 flag,
                         const QString &extraText, qint32 reserved, qint32 &result) = 0;
    virtual QPixmap TipPicture() = 0;
};

constexpr qint32 QM6_ANSWER_YES = 6;
constexpr qint32 QM6_ANSWER_NO = 7;

// The per-thread services object, made on first use by the installed factory (or, with
// none installed, by a plain one that writes messages to standard error and answers no).
QM6HOSTAPI_EXPORT ICommonServices &CommonServices();
QM6HOSTAPI_EXPORT void SetCommonServicesFactory(std::function<std::unique_ptr<ICommonServices>()> factory);
// Replaces this thread's object (tests); nullptr drops it so the factory makes a new one.
QM6HOSTAPI_EXPORT void SetCommonServices(std::unique_ptr<ICommonServices> services);
