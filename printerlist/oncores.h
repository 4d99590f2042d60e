// Work split across the machine's cores, for the list's passes over a million records.
#pragma once

#include <cstddef>

namespace printerlist {

// Cores to split work over (at least 1, at most 8).
unsigned CoreCount();

// Runs fn(context, t) for every t in [0, tasks) and returns when all are done. The calling thread
// takes tasks one after another, and so do helper threads kept for the process's life: a helper
// that the system schedules late (the machine is busy) finds the tasks gone and does nothing,
// so a call never waits longer for its helpers than for the task one of them runs. A call made
// while another runs (from a task, or another thread) runs its tasks on the calling thread.
void RunOnCores(size_t tasks, void (*fn)(void *context, size_t task), void *context);

template <typename Work>
void OnCores(size_t tasks, const Work &work)
{
    RunOnCores(tasks, [](void *context, size_t task) { (*static_cast<const Work *>(context))(task); },
               const_cast<void *>(static_cast<const void *>(&work)));
}

} // namespace printerlist
