#include "ctl/fleet_runner.h"

#include "core/scan/device_protocol.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace zek::cli {

int boundedJobs(int asked, int socketBound) {
    return std::clamp(asked, 1, std::max(socketBound, 1));
}

void FleetRunner::run(std::size_t count, std::string_view what,
                      const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::size_t done = 0;
    showProgress(what, 0, count);
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            work(i);
            std::lock_guard lock(m_mutex);
            showProgress(what, ++done, count);
        }
    };
    std::vector<std::thread> threads;
    const std::size_t threadCount = std::min<std::size_t>(std::size_t(m_jobs), count);
    // A system that grants fewer threads than asked gets the work done by those it granted:
    // this thread is a worker too.
    try {
        for (std::size_t t = 1; t < threadCount; ++t)
            threads.emplace_back(worker);
    } catch (const std::system_error&) {
    }
    worker();
    for (std::thread& thread : threads)
        thread.join();
    if (m_progress && count > 0)
        *m_progress << '\r' << std::string(what.size() + 40, ' ') << '\r' << std::flush;
}

net::Trace FleetRunner::traceFor(const DeviceRecord& module) {
    if (!m_trace)
        return {};
    const std::string prefix = dottedText(module.CurrentIp) + " ";
    return [this, prefix](std::string_view line) {
        std::lock_guard lock(m_mutex);
        m_trace(prefix + std::string(line));
    };
}

void FleetRunner::showProgress(std::string_view what, std::size_t done, std::size_t count) {
    if (m_progress && count > 0)
        *m_progress << "\rzekctl: " << what << ' ' << done << '/' << count << " modules" << std::flush;
}

} // namespace zek::cli
