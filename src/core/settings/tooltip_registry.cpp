#include "core/settings/tooltip_registry.h"

#include <algorithm>

namespace zek {

TooltipRegistry::Result TooltipRegistry::set(const void* control, std::string tip) {
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [control](const auto& e) { return e.first == control; });
    if (entry != m_entries.end()) {
        entry->second = std::move(tip);
        return Result::Updated;
    }
    ++m_attempts;
    if (m_entries.size() >= kCapacity)
        return Result::Full;
    m_entries.emplace_back(control, std::move(tip));
    return Result::Added;
}

const std::string* TooltipRegistry::tip(const void* control) const {
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [control](const auto& e) { return e.first == control; });
    return entry == m_entries.end() ? nullptr : &entry->second;
}

void TooltipRegistry::clear() {
    m_entries.clear();
    m_attempts = 0;
}

} // namespace zek
