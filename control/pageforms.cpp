#include "pageforms.h"

#include "frmbatchupdate.h"
#include "frmprinter.h"
#include "frmprogress.h"

#include "dialogparent.h"
#include "modlanguage.h"

#include <QDir>
#include <QFileDialog>

namespace {
constexpr qint32 StrExportCaption = 230, StrExportFilter = 231;

QString chooseExportFile(IQM6AdminControl *pinsParent)
{
    QFileDialog dialog(DialogParent(pinsParent), modLanguage::GetLangString(StrExportCaption),
                       QDir::home().filePath(QStringLiteral("printers.csv")), modLanguage::GetLangString(StrExportFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
} // namespace

PageForms DefaultPageForms()
{
    PageForms forms;
    forms.AddPrinter = &frmPrinter::AddPrinter;
    forms.EditPrinter = &frmPrinter::EditPrinter;
    forms.BatchUpdate = &frmBatchUpdate::BatchUpdate;
    forms.NewProgress = [] { return std::make_unique<frmProgress>(); };
    forms.ChooseExportFile = &chooseExportFile;
    return forms;
}
