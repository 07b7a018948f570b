#include "core/session/panel_enabling.h"

#include <initializer_list>

namespace zek {

namespace {

constexpr TrapRowControls kTrapRows[] = {
    {5170, {5101, 5100, 5099, 5098}, 5086, 5107},
    {5171, {5097, 5096, 5095, 5094}, 5088, 5108},
    {5172, {5191, 5093, 5092, 5091}, 5087, 5109},
};

void add(EnableTable& table, std::initializer_list<int> ids, bool enabled) {
    for (const int id : ids)
        table.push_back({id, enabled});
}

} // namespace

EnableTable sessionButtonEnabling(const PanelConditions& c) {
    EnableTable table;
    add(table,
        {5089, 5090, 5086, 5088, 5087, 5110, 5106, 5107, 5108, 5109, 5202, 5201, 5135, 5140, 5137, 5139, 5136,
         5138},
        c.connected);
    add(table, {5199, 5196, 5195}, c.connected && c.loggerCapable);
    add(table, {5197, 5198}, c.connected && c.trapCapable);
    return table;
}

EnableTable clockPanelEnabling(const PanelConditions& c) {
    const bool manualTime = c.loggerCapable && !c.pcTime;
    const bool dst = c.loggerCapable && c.automaticDst;
    EnableTable table;
    add(table, {5160, 5103, 5124, 5102, 5105, 5181, 5154, 5158, 5216, 5215, 5120, 5118},
        c.connected && c.loggerCapable && c.loggerActive);
    add(table, {5156, 5159, 5214}, c.connected && manualTime && c.loggerActive);
    add(table, {5133, 5127, 5130, 5131, 5134, 5128, 5129, 5132}, c.connected && dst && c.loggerActive);
    add(table, {5125, 5126, 5141, 5142}, c.connected && dst);
    return table;
}

EnableTable snmpPanelEnabling(const PanelConditions& c) {
    EnableTable table;
    add(table, {5200, 5203, 5178}, c.connected && c.trapCapable);
    return table;
}

const TrapRowControls* trapRowControls(int row) {
    if (row < 1 || row > int(std::size(kTrapRows)))
        return nullptr;
    return &kTrapRows[row - 1];
}

TrapRowEnabling trapRowEnabling(const PanelConditions& c, bool boxChecked) {
    const bool usable = c.connected && c.trapCapable;
    const bool on = usable && boxChecked;
    return {usable, on, usable && !on};
}

} // namespace zek
