#pragma once

#include "core/scan/device_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace zek {

// The modules found by the current search, in order of arrival, and the selected one.
class DeviceTable {
public:
    static constexpr std::size_t kCapacity = 260;

    enum class AddResult { Added, Duplicate, Full };

    // The first answer of a module in a search wins; answers past the table's end are dropped.
    AddResult add(const DeviceRecord& record, const std::string& macText);
    void clear();

    std::size_t count() const { return m_records.size(); }
    const DeviceRecord& record(std::size_t i) const { return m_records.at(i); }
    DeviceRecord& record(std::size_t i) { return m_records.at(i); }
    const std::vector<std::string>& macTexts() const { return m_macTexts; }

    // Position of an exactly matching MAC text, or -1.
    int find(std::string_view macText) const;

    int selectedIndex() const { return m_selected; }
    void select(int index);
    // nullptr while no module is selected.
    DeviceRecord* selected();
    const DeviceRecord* selected() const;

private:
    std::vector<DeviceRecord> m_records;
    std::vector<std::string> m_macTexts;
    int m_selected = -1;
};

// True when a module is selected and lies in the PC interface's subnet (by the module's netmask).
bool sameSubnet(std::uint32_t pcIp, const DeviceRecord* selected);

} // namespace zek
