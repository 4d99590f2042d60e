// The console's common services: its title, message boxes, yes/no questions, tips that the
// user can ask not to see again (the choice kept in the registry store) and the tip picture.
#pragma once

#include "commonservices.h"

#include <QPointer>
#include <QWidget>

class ConsoleCommonServices final : public ICommonServices {
public:
    static QString AppTitle();
    // Dialogs are parented to the console's window while it lives.
    static void SetDialogParent(QWidget *parent);

    QString GetAppTitle() override;
    void ShowMessage(const QString &text, qint32 flag) override;
    void AskYesNo(const QString &text, qint32 flag, qint32 &answer) override;
    void ShowTip(const QString &text, const QString &registryKey, const QString &valueName, qint32 flag,
                 const QString &extraText, qint32 reserved, qint32 &result) override;
    QPixmap TipPicture() override;

    // The "don't show again" choice, as ShowTip keeps it.
    static bool TipSuppressed(const QString &registryKey, const QString &valueName);
    static bool SuppressTip(const QString &registryKey, const QString &valueName, QString *error = nullptr);
};

// The picture at the right end of a page's heading band: a light bulb over a soft card.
QPixmap DrawTipPicture(int width = 96, int height = 80);
