#include "core/app/panel_controls.h"

#include "core/app/control_ids.h"
#include "core/app/panel_enabling.h"

namespace zek {

namespace {

template <class Ids> void append(std::vector<int>& to, const Ids& ids) {
    to.insert(to.end(), std::begin(ids), std::end(ids));
}

std::vector<int> ruleLists() {
    std::vector<int> ids;
    for (const ctl::DstRuleControls& row : ctl::kDstRuleRows)
        append(ids, row.lists());
    return ids;
}

PanelControls sessionPanel() {
    using namespace ctl;
    PanelControls c{{LogTimeList, LoggerActive, AutoRead, AutomaticDst, SnmpLocation}, {}, {UsePcTime}};
    append(c.owned, kModuleInfoEdits);
    for (const TrapRow& row : kTrapRows) {
        c.owned.push_back(row.checkBox);
        append(c.owned, row.edits);
    }
    // The session's enabling tables decide over the logger, clock, DST and SNMP rows.
    for (const EnableTable& table :
         {sessionButtonEnabling({}), clockPanelEnabling({}), snmpPanelEnabling({})})
        for (const EnableEntry& entry : table)
            c.enables.push_back(entry.id);
    append(c.seen, ruleLists());
    return c;
}

} // namespace

PanelControls panelControls(Panel panel) {
    using namespace ctl;
    switch (panel) {
    case Panel::Session:
        return sessionPanel();
    case Panel::Clock:
        return {{ZoneList, UsePcTime, ZekUtcTime, ZekLocalTime, TimeEdit, DateEdit, PcUtcTime, PcLocalTime,
                 DeviceZone},
                {},
                {AutomaticDst}};
    case Panel::Dst: {
        PanelControls c{ruleLists(),
                        {},
                        {ZoneList, TimeEdit, DateEdit, UsePcTime, AutomaticDst, LoggerGroupSet, DstStartLabel,
                         DstStopLabel}};
        for (const DstRuleControls& row : kDstRuleRows)
            c.owned.push_back(row.preview);
        return c;
    }
    case Panel::NetworkSettings: {
        PanelControls c{{NameEdit, PortEdit, UseDhcp, EthModeList, SerialEdit}, {}, {}};
        append(c.owned, kMacEdits);
        for (const OctetEdits& edits : {kIpEdits, kNetmaskEdits, kGatewayEdits})
            append(c.owned, edits);
        return c;
    }
    case Panel::DeviceTree:
        return {{Tree, MacList},
                {Reboot, SetMac, SoftwareRead, EepromSet, SetValues, Connect, TechnicalWebsite, UserWebsite},
                {}};
    case Panel::StateView: {
        PanelControls c{{StateText, Connect}, {}, {}};
        append(c.enables, kSelectionControls);
        return c;
    }
    case Panel::Debug: {
        PanelControls c{{LogList, SendRate, ReceiveRate, ReceiveTotal, SendTotal, SoftwareText}, {}, {}};
        for (const FeatureLetter& letter : kFeatureLetters)
            c.owned.push_back(letter.checkBox);
        return c;
    }
    }
    return {};
}

} // namespace zek
