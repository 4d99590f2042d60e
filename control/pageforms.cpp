#include "pageforms.h"

#include "frmbatchupdate.h"
#include "frmprinter.h"
#include "frmprogress.h"

PageForms DefaultPageForms()
{
    PageForms forms;
    forms.AddPrinter = &frmPrinter::AddPrinter;
    forms.EditPrinter = &frmPrinter::EditPrinter;
    forms.BatchUpdate = &frmBatchUpdate::BatchUpdate;
    forms.NewProgress = [] { return std::make_unique<frmProgress>(); };
    return forms;
}
