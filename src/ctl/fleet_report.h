#pragma once

#include "ctl/ctl_values.h"
#include "ctl/fleet_targets.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zek::cli {

// The audit's columns, in their order; the CSV is the fleet's configuration file.
inline constexpr std::array<std::string_view, 24> kAuditColumns = {
    "mac",    "ip",        "name",     "serial",  "port",   "mode",      "dhcp",          "module-info",
    "device", "revision",  "company",  "letters", "logger", "clock-utc", "clock-drift",   "zone",
    "dst",    "dst-start", "dst-stop", "trap1",   "trap2",  "trap3",     "snmp-location", "problem"};

// What a session learnt of a module, as far as the audit shows it.
struct ModuleRead {
    ModuleSettings settings;
    bool logger = false;       // letter L: logger, clock and summer-time values
    bool traps = false;        // letter T: trap receivers and location
    std::optional<long> drift; // module clock minus PC clock in whole seconds; empty without a clock
};

// One module's cells, UTF-8 and as the module reports them; a value the module cannot
// have is empty. `read` is empty when no session was had, and `problem` says why.
using AuditRow = std::array<std::string, kAuditColumns.size()>;
AuditRow auditRow(const FleetTarget& target, const ModuleRead* read, const std::string& problem);
const std::string& cell(const AuditRow& row, std::string_view column);

// Why each row needs a look, empty for none: a clock more than a minute off, summer time
// off or with rules other than most of the fleet's, an IP two modules answer with, a
// module outside the PC interface's subnet (`netmask` 0: not known), and a problem.
std::vector<std::string> auditLooks(const std::vector<AuditRow>& rows, std::uint32_t from,
                                    std::uint32_t netmask);

std::string auditCsv(const std::vector<AuditRow>& rows);
std::string auditJson(const std::vector<AuditRow>& rows);
// The columns a technician reads first, a mark before each row that needs a look, what
// needs it, and a count.
std::string auditTable(const std::vector<AuditRow>& rows, const std::vector<std::string>& looks);

} // namespace zek::cli
