#include "pageforms.h"

#include "frmprinter.h"

namespace {

// Stands in for a progress window until the real one exists: shows nothing, never cancels.
class NoProgress final : public IProgress {
public:
    void Initialize(const QString &, qint32, QWidget *, bool, const QVariant &, qint16) override {}
    void Increment() override {}
    bool Cancelled() const override { return false; }
    void Shutdown() override {}
};

} // namespace

PageForms DefaultPageForms()
{
    PageForms forms;
    forms.AddPrinter = &frmPrinter::AddPrinter;
    forms.EditPrinter = &frmPrinter::EditPrinter;
    forms.BatchUpdate = [](IQM6AdminControl *, QM6PrinterPtr &) { return false; };
    forms.NewProgress = [] { return std::make_unique<NoProgress>(); };
    return forms;
}
