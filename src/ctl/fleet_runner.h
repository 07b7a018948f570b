#pragma once

#include "core/scan/device_record.h"
#include "net/search_endpoint.h"

#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace zek::cli {

// `asked` sessions at once, or fewer where the platform allows fewer sockets.
int boundedJobs(int asked, int socketBound);

// Runs one piece of work per module on up to `jobs` threads, each a blocking session, so
// that a module that never answers holds up only its own thread. The work stores its
// result by the module's index; the command prints them in order once all are done.
class FleetRunner {
public:
    // `trace` (may be empty) gets every thread's lines one at a time; `progress`, when
    // given, shows "what done/count" on one line.
    FleetRunner(int jobs, net::Trace trace, std::ostream* progress)
        : m_jobs(jobs), m_trace(std::move(trace)), m_progress(progress) {}

    void run(std::size_t count, std::string_view what, const std::function<void(std::size_t)>& work);
    // The trace of one module's session: its lines prefixed with the module's address.
    net::Trace traceFor(const DeviceRecord& module);
    // Runs `f` alone, for what is not safe from two threads at once (the PC clock's zone).
    template <class F> auto alone(F f) {
        std::lock_guard lock(m_mutex);
        return f();
    }

private:
    void showProgress(std::string_view what, std::size_t done, std::size_t count);

    int m_jobs;
    net::Trace m_trace;
    std::ostream* m_progress;
    std::mutex m_mutex;
};

} // namespace zek::cli
