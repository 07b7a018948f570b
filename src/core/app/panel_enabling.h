#pragma once

#include <vector>

namespace zek {

// What the enabling of the session controls depends on.
struct PanelConditions {
    bool connected = false;     // the session is Connected
    bool loggerCapable = false; // `LoggerCapable`
    bool trapCapable = false;   // `TrapCapable`
    bool loggerActive = false;  // `LoggerActive`, read from "active" just before
    bool pcTime = false;        // "Use PC time to set RTC" is checked
    bool automaticDst = false;  // "Automatic DST" is checked
};

struct EnableEntry {
    int id;
    bool enabled;
    friend bool operator==(const EnableEntry&, const EnableEntry&) = default;
};
using EnableTable = std::vector<EnableEntry>;

// The per-row Read and Set buttons and the group buttons of both panels.
EnableTable sessionButtonEnabling(const PanelConditions& c);
// The data-logger and clock rows and the daylight-saving rows.
EnableTable clockPanelEnabling(const PanelConditions& c);
// The SNMP location row and the SNMP group box; the trap rows go by trapRowEnabling.
EnableTable snmpPanelEnabling(const PanelConditions& c);

struct TrapRowEnabling {
    bool boxEnabled;
    bool editsEnabled; // the row is switched on
    bool zeroEdits;    // the row is switched off while it could be used: its edits become "0"
    friend bool operator==(const TrapRowEnabling&, const TrapRowEnabling&) = default;
};
TrapRowEnabling trapRowEnabling(const PanelConditions& c, bool boxChecked);

} // namespace zek
