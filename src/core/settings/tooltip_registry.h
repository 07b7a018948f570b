#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace zek {

// The controls that have a tooltip, identified by their window, with their tips: at most
// 100; a control beyond the hundredth gets none. The attempts to register a new control are
// counted, those refused for a full registry included.
class TooltipRegistry {
public:
    static constexpr std::size_t kCapacity = 100;
    enum class Result { Added, Updated, Full };

    Result set(const void* control, std::string tip);
    const std::string* tip(const void* control) const;
    std::size_t size() const { return m_entries.size(); }
    int attempts() const { return m_attempts; }
    // Set-up: no entries, no attempts.
    void clear();

private:
    std::vector<std::pair<const void*, std::string>> m_entries;
    int m_attempts = 0;
};

} // namespace zek
