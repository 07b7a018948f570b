#include "core/scan/device_table.h"

#include <algorithm>

namespace zek {

DeviceTable::AddResult DeviceTable::add(const DeviceRecord& record, const std::string& macText) {
    if (find(macText) >= 0)
        return AddResult::Duplicate;
    if (m_records.size() >= kCapacity)
        return AddResult::Full;
    m_records.push_back(record);
    m_macTexts.push_back(macText);
    return AddResult::Added;
}

void DeviceTable::clear() {
    m_records.clear();
    m_macTexts.clear();
    m_selected = -1;
}

int DeviceTable::find(std::string_view macText) const {
    const auto it = std::find(m_macTexts.begin(), m_macTexts.end(), macText);
    return it == m_macTexts.end() ? -1 : int(it - m_macTexts.begin());
}

void DeviceTable::select(int index) {
    m_selected = (index >= 0 && std::size_t(index) < m_records.size()) ? index : -1;
}

DeviceRecord* DeviceTable::selected() {
    return m_selected >= 0 ? &m_records[std::size_t(m_selected)] : nullptr;
}

const DeviceRecord* DeviceTable::selected() const {
    return m_selected >= 0 ? &m_records[std::size_t(m_selected)] : nullptr;
}

bool sameSubnet(std::uint32_t pcIp, const DeviceRecord* selected) {
    return selected && (pcIp & selected->Netmask) == (selected->Ip & selected->Netmask);
}

} // namespace zek
