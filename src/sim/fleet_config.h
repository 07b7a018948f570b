#pragma once

#include "sim/sim_module.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace zek {

// Enough for the tool's table of 260 modules several times over; generated ports
// (10001 and up) stay below 65536.
inline constexpr int kMaxSimModules = 10000;
// Limits of the fault keys, so that a typo cannot exhaust memory.
inline constexpr int kMaxFloodLines = 100000;
inline constexpr int kMaxLongLine = 1000000;
inline constexpr int kMaxCommandCount = 1000000;
inline constexpr int kMaxDripMs = 60000;

// Module `index` (from 0) of a generated fleet: MAC 02 5A 45 and the index plus one,
// serial 100001 plus the index, IP 127.0.0.2 plus the index, netmask 255.0.0.0,
// gateway 127.0.0.1, TCP port 10001 plus the index, a name "ZEK module 001"..., and a
// mix of DHCP flags, reported modes 0-4, unreported modes and software letters (every
// third module "SHD", without traps and logger, the others "TLSHXD").
SimModuleConfig generatedModule(int index);
std::vector<SimModuleConfig> generateModules(int count);

struct FleetParseResult {
    std::vector<SimModuleConfig> modules;
    QString error;     // empty when the file was accepted
    int errorLine = 0; // 1-based; 0 when the error concerns the whole file
    bool ok() const { return error.isEmpty(); }
    // "line 7: unknown key 'colour'", or the error alone for the whole file.
    QString message() const;
};

// The fleet file: '#' or ';' comment lines, blank lines, and one "[module]" section
// per module with "key = value" lines. Keys: mac, serial, ip, netmask, gateway, dhcp,
// name, port, mode, software; for the TCP side letters, module-type, sw-version,
// sw-date, time-lines, device, revision, company, logger, log-interval, rtc,
// clock-offset, zone, dst-use, dst-start, dst-stop, trap-ip1..3, snmp-location; and
// the faults never-answer, error, crlf, no-line-end, split, merge, flood, long-line,
// close-after, reset-after, half-close-after, reset-mid-reply, drip, garbage, refuse,
// silent, ignore-set. A key left out keeps the
// generated value for the module's position. A value may be enclosed in double quotes
// to keep outer blanks. The text is read as UTF-8 when it decodes as UTF-8, else as
// Latin-1.
FleetParseResult parseFleetText(QByteArrayView text);
FleetParseResult readFleetFile(const QString& path);
// Sets one fleet-file key of a module; returns the error text, empty when it was taken.
QString applyModuleKey(SimModuleConfig& module, const QString& key, QStringView value);

} // namespace zek
