#include "consoleservices.h"

#include "clsregistry.h"

#include <QCheckBox>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>

namespace {


QPointer<QWidget> &dialogParent()
{
    static QPointer<QWidget> parent;
    return parent;
}

} // namespace

QString ConsoleCommonServices::AppTitle() { return QStringLiteral("Quillmark 6 Administrator"); }
void ConsoleCommonServices::SetDialogParent(QWidget *parent) { dialogParent() = parent; }
QString ConsoleCommonServices::GetAppTitle() { return AppTitle(); }

void ConsoleCommonServices::ShowMessage(const QString &text, qint32)
{
    QMessageBox::information(dialogParent(), AppTitle(), text);
}

void ConsoleCommonServices::AskYesNo(const QString &text, qint32, qint32 &answer)
{
    const auto button = QMessageBox::question(dialogParent(), AppTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::No);
    answer = button == QMessageBox::Yes ? QM6_ANSWER_YES : QM6_ANSWER_NO;
}

bool ConsoleCommonServices::TipSuppressed(const QString &registryKey, const QString &valueName)
{
    clsRegistry reg;
    reg.SetClassKey(HKEY_CURRENT_USER_ROOT);
    reg.SetSectionKey(registryKey);
    return reg.GetValueOrDefault(valueName, 0).toInt() == 1;
}

bool ConsoleCommonServices::SuppressTip(const QString &registryKey, const QString &valueName, QString *error)
{
    clsRegistry reg;
    reg.SetClassKey(HKEY_CURRENT_USER_ROOT);
    reg.SetSectionKey(registryKey);
    reg.SetValueType(RegDword);
    return reg.SetCreateValue(valueName, 1, false, error);
}

void ConsoleCommonServices::ShowTip(const QString &text, const QString &registryKey, const QString &valueName, qint32,
                                    const QString &extraText, qint32, qint32 &result)
{
    result = 0;
    if (TipSuppressed(registryKey, valueName))
        return;
    QMessageBox box(QMessageBox::Information, AppTitle(), text, QMessageBox::Ok, dialogParent());
    box.setObjectName(QStringLiteral("tipBox"));
    if (!extraText.isEmpty())
        box.setInformativeText(extraText);
    auto *dontShow = new QCheckBox(QObject::tr("Don't show this message again"), &box);
    dontShow->setObjectName(QStringLiteral("chkDontShowAgain"));
    box.setCheckBox(dontShow);
    box.exec();
    if (dontShow->isChecked()) {
        QString error;
        if (!SuppressTip(registryKey, valueName, &error))
            QMessageBox::warning(dialogParent(), AppTitle(),
                                 QObject::tr("Your choice could not be saved, so this tip will show again.\n%1").arg(error));
        result = 1;
    }
}

QPixmap ConsoleCommonServices::TipPicture() { return DrawTipPicture(); }

QPixmap DrawTipPicture(int width, int height)
{
    QPixmap pm(width, height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient card(0, 0, 0, height);
    card.setColorAt(0, QColor(0xE8, 0xF1, 0xFB));
    card.setColorAt(1, QColor(0xCF, 0xE0, 0xF5));
    p.setPen(Qt::NoPen);
    p.setBrush(card);
    p.drawRoundedRect(QRectF(4, 4, width - 8, height - 8), 10, 10);
    // The bulb.
    const QPointF c(width / 2.0, height * 0.42);
    const qreal r = height * 0.2;
    QRadialGradient glow(c, r * 1.3);
    glow.setColorAt(0, QColor(0xFF, 0xF4, 0xB0));
    glow.setColorAt(1, QColor(0xF5, 0xC2, 0x2E));
    p.setBrush(glow);
    p.setPen(QPen(QColor(0xB8, 0x86, 0x0B), 1.5));
    QPainterPath bulb;
    bulb.addEllipse(c, r, r);
    QPainterPath neck;
    neck.addRect(QRectF(c.x() - r * 0.45, c.y() + r * 0.7, r * 0.9, r * 0.6));
    p.drawPath(bulb.united(neck));
    p.setBrush(QColor(0x8A, 0x94, 0xA6));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(c.x() - r * 0.5, c.y() + r * 1.35 + i * r * 0.28, r, r * 0.2), 2, 2);
    // Rays.
    p.setPen(QPen(QColor(0xF5, 0xA6, 0x23), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = -2; i <= 2; ++i) {
        const qreal a = (-90 + i * 35) * M_PI / 180.0;
        p.drawLine(QPointF(c.x() + std::cos(a) * r * 1.35, c.y() + std::sin(a) * r * 1.35),
                   QPointF(c.x() + std::cos(a) * r * 1.75, c.y() + std::sin(a) * r * 1.75));
    }
    return pm;
}
