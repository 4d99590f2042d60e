#include "pageforms.h"

#include "frmbatchupdate.h"
#include "frmprogress.h"

PageForms DefaultPageForms()
{
    PageForms forms;
    forms.AddPrinter = [](IQM6AdminControl *) { return false; };
    forms.EditPrinter = [](IQM6AdminControl *, qint32) { return false; };
    forms.BatchUpdate = &frmBatchUpdate::BatchUpdate;
    forms.NewProgress = [] { return std::make_unique<frmProgress>(); };
    return forms;
}
