// frmPrinter: the Auto Merging tab. The rule names the connection types it applies to and
// four match texts; the match boxes take part only while a type is ticked, and keep their
// texts while they are greyed.
#include "frmprinter.h"
#include "ui_frmprinter.h"

#include "olecolor.h"

#include <QApplication>

namespace {
constexpr quint32 ColorWindowText = 0x80000008;
constexpr quint32 ColorGrayText = 0x80000011;
// The order the boxes are read and written in.
constexpr qint32 RuleTypes[] = {3, 1, 2};
}

void frmPrinter::ShowAutoMergeRule()
{
    const QM6Printer &printer = *minsPrinter;
    if (printer.AutoMerge()) {
        const QM6AutoMergeRule &rule = printer.AutoMergeRule();
        for (const qint32 code : RuleTypes)
            chkConnection[size_t(code)]->setChecked(rule.IncludesConnectionType(code));
        ui->txtDeviceMatch->setText(rule.DeviceMatch());
        ui->txtHostMatch->setText(rule.HostMatch());
        ui->txtPortMatch->setText(rule.PortMatch());
        ui->txtModelMatch->setText(rule.ModelMatch());
    } else {
        for (const qint32 code : RuleTypes)
            chkConnection[size_t(code)]->setChecked(false);
        // A rule ticked later starts from this printer's own connection.
        ui->txtDeviceMatch->setText(printer.Device());
        ui->txtHostMatch->setText(printer.Host());
        ui->txtPortMatch->setText(printer.Port());
        ui->txtModelMatch->setText(printer.Model());
    }
    EnableMatchFields();
}

bool frmPrinter::AnyConnectionTicked() const
{
    for (const qint32 code : RuleTypes)
        if (chkConnection[size_t(code)]->checkState() == Qt::Checked)
            return true;
    return false;
}

void frmPrinter::EnableMatchFields()
{
    const bool active = AnyConnectionTicked();
    const std::pair<QLabel *, QLineEdit *> pairs[] = {
        {lblMatch[0], ui->txtDeviceMatch}, {lblMatch[1], ui->txtHostMatch}, {lblMatch[2], ui->txtPortMatch}, {lblMatch[3], ui->txtModelMatch}};
    const QColor text = OleColorToQColor(active ? ColorWindowText : ColorGrayText, QApplication::palette());
    for (const auto &[label, box] : pairs) {
        label->setEnabled(active);
        box->setEnabled(active);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Text, text);
        box->setPalette(palette);
    }
}

void frmPrinter::WriteAutoMergeRule()
{
    QM6Printer &printer = *minsPrinter;
    printer.SetAutoMerge(AnyConnectionTicked());
    // Without a ticked type only the flag is written; the rule's texts stay as they were.
    if (!printer.AutoMerge())
        return;
    QM6AutoMergeRule &rule = printer.AutoMergeRule();
    rule.SetDeviceMatch(ui->txtDeviceMatch->text());
    rule.SetHostMatch(ui->txtHostMatch->text());
    rule.SetModelMatch(ui->txtModelMatch->text());
    rule.SetPortMatch(ui->txtPortMatch->text());
    rule.SetConnectionTypes(0);
    for (const qint32 code : RuleTypes)
        if (chkConnection[size_t(code)]->checkState() == Qt::Checked)
            rule.AddConnectionType(code);
}
