// How the page opens its forms. The page is handed one set of these; the plug-in's defaults
// open the real forms, tests hand in fakes, so that a command can be tested without a
// nested event loop.
#pragma once

#include "iqm6admincontrol.h"
#include "progress.h"
#include "qm6printer.h"

#include <functional>
#include <memory>

struct PageForms {
    // True when a new printer was saved.
    std::function<bool(IQM6AdminControl *pinsParent)> AddPrinter;
    // True when the printer was saved.
    std::function<bool(IQM6AdminControl *pinsParent, qint32 plngPrinterId)> EditPrinter;
    // True when the user confirmed; pinsBatchPrinter then carries the profile, account and
    // model to apply.
    std::function<bool(IQM6AdminControl *pinsParent, QM6PrinterPtr &pinsBatchPrinter)> BatchUpdate;
    // A new progress window for one long command.
    std::function<std::unique_ptr<IProgress>()> NewProgress;
    // The file Export List writes, chosen by the user; empty when the user cancelled.
    std::function<QString(IQM6AdminControl *pinsParent)> ChooseExportFile;
};

// The forms the plug-in opens unless it is told otherwise.
PageForms DefaultPageForms();
