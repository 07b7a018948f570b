#include "core/app/panel_enabling.h"

#include "core/app/control_ids.h"

#include <initializer_list>

namespace zek {

namespace {

void add(EnableTable& table, std::initializer_list<int> ids, bool enabled) {
    for (const int id : ids)
        table.push_back({id, enabled});
}

} // namespace

EnableTable sessionButtonEnabling(const PanelConditions& c) {
    using namespace ctl;
    EnableTable table;
    add(table,
        {ClockRead, LoggerRead, kTrapRows[0].readButton, kTrapRows[1].readButton, kTrapRows[2].readButton,
         ClockSet, LoggerSet, kTrapRows[0].setButton, kTrapRows[1].setButton, kTrapRows[2].setButton,
         SnmpLocationRead, SnmpLocationSet, DstUseSet, DstUseRead, kDstStartRow.setButton,
         kDstStartRow.readButton, kDstStopRow.setButton, kDstStopRow.readButton},
        c.connected);
    add(table, {LoggerActive, LoggerGroupRead, LoggerGroupSet}, c.connected && c.loggerCapable);
    add(table, {SnmpGroupRead, SnmpGroupSet}, c.connected && c.trapCapable);
    return table;
}

EnableTable clockPanelEnabling(const PanelConditions& c) {
    using namespace ctl;
    const bool manualTime = c.loggerCapable && !c.pcTime;
    const bool dst = c.loggerCapable && c.automaticDst;
    EnableTable table;
    add(table,
        {UsePcTime, LogTimeList, AutomaticDst, LogTimeLabel, PcLocalLabel, ZekLocalLabel, EnterTimeLabel,
         ZoneLabel, DeviceZoneLabel, DeviceZone, PcLocalTime, LoggerGroup},
        c.connected && c.loggerCapable && c.loggerActive);
    add(table, {ZoneList, TimeEdit, DateEdit}, c.connected && manualTime && c.loggerActive);
    for (const DstRuleControls& row : kDstRuleRows)
        for (const int id : row.lists())
            table.push_back({id, c.connected && dst && c.loggerActive});
    add(table, {kDstStartRow.label, kDstStopRow.label, kDstStartRow.preview, kDstStopRow.preview},
        c.connected && dst);
    return table;
}

EnableTable snmpPanelEnabling(const PanelConditions& c) {
    using namespace ctl;
    EnableTable table;
    add(table, {SnmpLocation, SnmpLocationLabel, SnmpGroup}, c.connected && c.trapCapable);
    return table;
}

TrapRowEnabling trapRowEnabling(const PanelConditions& c, bool boxChecked) {
    const bool usable = c.connected && c.trapCapable;
    const bool on = usable && boxChecked;
    return {usable, on, usable && !on};
}

} // namespace zek
