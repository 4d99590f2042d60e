// Work split across the machine's cores, for the list's passes over a million records.
#pragma once

#include <algorithm>
#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

namespace printerlist {

inline unsigned CoreCount()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

// Runs work(t) for t in [0, tasks), the tasks dealt out over at most CoreCount() threads, the
// calling thread among them; returns when all are done. Where no thread can be had, the calling
// thread does that share too.
template <typename Work>
void OnCores(size_t tasks, const Work &work)
{
    const unsigned threads = unsigned(std::clamp<size_t>(tasks, 1, CoreCount()));
    auto share = [&](unsigned t) {
        for (size_t i = t; i < tasks; i += threads)
            work(i);
    };
    std::vector<std::thread> started;
    started.reserve(threads - 1);
    for (unsigned t = 1; t < threads; ++t) {
        try {
            started.emplace_back(share, t);
        } catch (const std::system_error &) {
            share(t);
        }
    }
    share(0);
    for (std::thread &t : started)
        t.join();
}

} // namespace printerlist
