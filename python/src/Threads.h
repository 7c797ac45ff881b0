#pragma once

#include <algorithm>
#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

namespace pyvelmor {

// The cores this process may run on (its CPU affinity, as os.sched_getaffinity(0) counts them);
// at least 1.
unsigned usableCores();

// Below this many items a thread costs more to start than it saves.
inline constexpr std::size_t kMinItemsPerThread = 4096;

// Runs work(begin, end) over [0, count) in `threads` contiguous slices at once, the calling
// thread taking the first; fewer slices when there are too few items to be worth a thread. Each
// item must depend on its own inputs only, so the answers do not depend on the split. work must
// not throw (it runs on threads that cannot hand an exception back).
template <class Work>
void splitLoop(std::size_t count, unsigned threads, Work work) {
    const std::size_t most = std::max<std::size_t>(1, count / kMinItemsPerThread);
    const std::size_t slices = std::max<std::size_t>(1, std::min<std::size_t>(threads, most));
    if (slices == 1) {
        work(std::size_t{0}, count);
        return;
    }
    const std::size_t step = (count + slices - 1) / slices;
    std::vector<std::thread> helpers;
    helpers.reserve(slices - 1);
    for (std::size_t s = 1; s < slices; ++s) {
        const std::size_t begin = std::min(count, s * step);
        const std::size_t end = std::min(count, begin + step);
        try {
            helpers.emplace_back([&work, begin, end] { work(begin, end); });
        } catch (const std::system_error&) {
            // No thread to be had: this slice runs here, after the others have started.
            work(begin, end);
        }
    }
    work(std::size_t{0}, std::min(count, step));
    for (std::thread& t : helpers)
        t.join();
}

}  // namespace pyvelmor
