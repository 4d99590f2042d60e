// What the editor's benchmark and its screenshot program share: a generated site made once
// with the qm6data tool, and host services that answer every question with yes.
#pragma once

#include "commonservices.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>

class YesServices final : public ICommonServices {
public:
    QString GetAppTitle() override { return QStringLiteral("Quillmark 6 Administrator"); }
    void ShowMessage(const QString &text, qint32) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    void AskYesNo(const QString &, qint32, qint32 &answer) override { answer = QM6_ANSWER_YES; }
    void ShowTip(const QString &, const QString &, const QString &, qint32, const QString &, qint32, qint32 &result) override { result = 0; }
    QPixmap TipPicture() override { return {}; }
};

// Runs the qm6data tool with args unless path exists already; false when it fails.
inline bool makeSite(const QString &tool, const QString &path, const QStringList &args)
{
    if (QFile::exists(path))
        return true;
    std::printf("qm6data %s\n", qPrintable(args.join(QLatin1Char(' '))));
    const int rc = QProcess::execute(tool, args);
    if (rc != 0)
        std::fprintf(stderr, "qm6data failed (%d)\n", rc);
    return rc == 0;
}
