#pragma once

#include "ctl/ctl_args.h"
#include "ctl/zekctl.h"
#include "net/search_endpoint.h"

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string_view>

namespace zek::cli {

inline constexpr int kDefaultWaitMs = 1500;
// Sessions a fleet command runs at once unless --jobs says otherwise.
inline constexpr int kDefaultJobs = 16;

// One run of zekctl: its arguments, its streams and the common options.
struct Context {
    const Args& args;
    std::ostream& out;
    std::ostream& err;
    std::uint32_t from = 0;
    int waitMs = kDefaultWaitMs;
    net::Trace trace;
    int jobs = kDefaultJobs; // sessions at once, within the platform's socket bound
    bool progress = false;   // a fleet command shows a progress line on `err`

    net::Clock::time_point waitDeadline() const {
        return net::Clock::now() + std::chrono::milliseconds(waitMs);
    }
    int stop(int code, std::string_view message) const {
        err << "zekctl: " << message << "\n";
        return code;
    }
    int fail(std::string_view message) const { return stop(kNotTaken, message); }
    int usage(std::string_view message) const { return stop(kBadUsage, message); }
};

} // namespace zek::cli
