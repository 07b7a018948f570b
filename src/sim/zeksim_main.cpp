#include "sim/fleet_config.h"
#include "sim/sim_fleet.h"
#include "sim/sim_platform.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kExitBindFailed = 1;
constexpr int kExitUsage = 2;
// Descriptors beside the listeners: the console, the UDP socket, the event loop, and the
// sessions a fleet command keeps open at once.
constexpr qint64 kDescriptorsBeside = 64;

void printLine(FILE* stream, const QString& line) {
    std::fputs(qPrintable(QStringLiteral("zeksim: ") + line + QLatin1Char('\n')), stream);
    // Scripts and tests wait for lines on a pipe: nothing may linger in a buffer.
    std::fflush(stream);
}

const char kFleetFileHelp[] = R"(
Fleet file (--config):
  # or ; starts a comment line. Each [module] line starts a module; the
  "key = value" lines below it set its values. A key left out keeps the value
  that --modules would generate for the module's position. Values may be put in
  double quotes to keep outer blanks. Keys:
    mac      six hex pairs: 00 0A 1B 2C 3D 4E, 00:0A:1B:2C:3D:4E or 000A1B2C3D4E
    serial   0-4294967295
    ip, netmask, gateway   dotted IPv4, e.g. 127.0.0.2
    dhcp     yes, no, on, off, or the byte sent (0-255)
    name     up to 32 Latin-1 characters; 33 fill the name field with no terminator
    port     TCP port, 0-65535
    mode     none (62-byte reply without a mode byte) or the mode byte 0-255
    software the software-information text (default "SW 1.02 TLSHXD")
  TCP side, what the module reports (switches take yes, no, on or off):
    letters       capability letters of "modul_config" (default TLSHXD; T traps,
                  L logger and clock)
    module-type, sw-version, sw-date   the "modul_typ" line, written as
                  "modul_typ <module-type> date <sw-date> SW: <sw-version>"
    time-lines    the start message ends with modul_time_utc/_local lines (yes)
    device, revision, company          the !GERAET, !REVISION and !FIRMA values
    logger, log-interval               data logger switch and interval 1-60
    rtc           the module has a real-time clock (yes); without, its clock
                  lines say "No RTC"
    clock-offset  module clock minus host clock, seconds (0)
    zone          standard offset, minutes east of UTC (60)
    dst-use       daylight saving applied (yes)
    dst-start, dst-stop   rules "occurrence weekday month hour", e.g. 4 0 3 2
                  (last Sunday of March, 02:00; occurrence 4 is the last)
    trap-ip1, trap-ip2, trap-ip3       trap receivers, dotted IPv4
    snmp-location the SNMP location text
  TCP faults (the flags below set them for every module):
    never-answer  keywords never answered, e.g. STARTMSG, GERAET
    error         KEYWORD=N pairs answered "!ERROR N", e.g. GERAET=4
    crlf, no-line-end     reply lines end in CR LF, or in nothing (else CR)
    split         every write cut in two, the second half after a pause
    merge         all lines of one reply in one write
    flood         N extra lines "flood <n>" after each reply
    long-line     an extra line of N characters after each reply
    close-after, reset-after, half-close-after   after the N-th command of a
                  connection: close it, reset it (RST), or shut down sending
    reset-mid-reply  after the N-th command, half of its reply, then a reset
    drip          every reply byte written on its own, N ms after the one before
    garbage       every command answered with binary bytes that are no reply
                  (NUL, CR, LF, bytes above 0x7F; the same per module and command)
    refuse        no TCP listener: connections are refused
    silent        connections are accepted and read but never answered
    ignore-set    set-values requests are dropped (the module keeps its values)
  Example:
    [module]
    mac = 00 0A 1B 2C 3D 4E
    ip = 127.0.0.2
    name = Boiler room
    mode = none
    letters = SHD
    error = FIRMA=20

Modules apply set-values on the next reboot request and answer from their own IP
where the host has it (all of 127.0.0.0/8). Each module listens for TCP on its own
IP and port and answers the text protocol: ?STARTMSG, ?GERAET, ?REVISION, ?FIRMA,
queries and sets of LOG_ON, DST_USE, DST_START, DST_STOP, TRAP_IP1-3, SNMP_LOC and
TIME_UTC; anything else gets "!ERROR 1", a set of an identity value "!ERROR 2".
?TIME_UTC and the clock setting '!TIME_UTC hh:mm:ss (w) dd.mm.yy (z)' are answered
with '!TIME_UTC hh:mm:ss (w) dd.mm.yy (z)' and '!TIME_LOCAL hh:mm:ss (w) dd.mm.yy (S|W)',
one write per line unless merged; a module without RTC says "No RTC".
zeksim prints one line per datagram and per TCP command it receives,
"zeksim: N modules, UDP port P" once it listens, and then how many modules listen
on TCP.
Exit codes: 0 after SIGINT or SIGTERM, 1 when the UDP port cannot be bound,
2 for a bad command line or fleet file.
)";

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeksim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates a fleet of ZEK modules on this host: answers searches on UDP port 8002, acts on "
        "set-values and reboot requests addressed to a module's MAC, and answers each module's TCP text "
        "protocol on the module's own IP and port."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption modulesOption(
        QStringLiteral("modules"),
        QStringLiteral(
            "Simulate N generated modules (1-%1): IPs 127.0.0.2 and up, netmask 255.0.0.0, gateway "
            "127.0.0.1, TCP ports 10001 and up, a mix of reported and unreported modes.")
            .arg(zek::kMaxSimModules),
        QStringLiteral("N"));
    const QCommandLineOption configOption(QStringLiteral("config"),
                                          QStringLiteral("Read the modules from a fleet file (see below)."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption burstOption(QStringLiteral("burst"),
                                         QStringLiteral("Send all replies to a search at once, unpaced."));
    const QCommandLineOption spacingOption(
        QStringLiteral("reply-spacing"),
        QStringLiteral("Milliseconds between two search replies (default 1; 0 is the same as --burst)."),
        QStringLiteral("MS"), QStringLiteral("1"));
    const QCommandLineOption softwareOption(
        QStringLiteral("software-info"),
        QStringLiteral("Each module sends its software-information datagram after its search reply."));
    const QCommandLineOption rebootOption(
        QStringLiteral("reboot-ms"),
        QStringLiteral("A rebooting module stays silent this long before its new values apply (default 0)."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption portOption(QStringLiteral("udp-port"),
                                        QStringLiteral("Listen on this UDP port instead of 8002 (experiments "
                                                       "only: the tool sends to 8002)."),
                                        QStringLiteral("PORT"), QStringLiteral("8002"));
    parser.addOptions({helpOption, modulesOption, configOption, burstOption, spacingOption, softwareOption,
                       rebootOption, portOption});

    // Fleet-file keys that may also be given for every module at once; flags without
    // a value switch their key on (or, for rtc, off).
    struct KeyFlag {
        QCommandLineOption option;
        QString key;
        QString switchValue; // empty: the flag takes a value
    };
    const auto valueFlag = [](const char* name, const char* help, const char* valueName) {
        return KeyFlag{QCommandLineOption(QLatin1String(name), QLatin1String(help), QLatin1String(valueName)),
                       QLatin1String(name), QString()};
    };
    const auto switchFlag = [](const char* name, const char* key, const char* help, const char* value) {
        return KeyFlag{QCommandLineOption(QLatin1String(name), QLatin1String(help)), QLatin1String(key),
                       QLatin1String(value)};
    };
    const std::vector<KeyFlag> keyFlags = {
        valueFlag("letters", "Capability letters of every module's modul_config line.", "LETTERS"),
        switchFlag("no-rtc", "rtc", "Modules have no real-time clock: their clock lines say \"No RTC\".",
                   "no"),
        valueFlag("zone", "Standard time zone of every module clock, minutes east of UTC (default 60).",
                  "MINUTES"),
        valueFlag("clock-offset", "Module clocks run this many seconds ahead of the host clock (default 0).",
                  "SECONDS"),
        valueFlag("dst-use", "Module clocks apply their daylight-saving rules: yes or no (default yes).",
                  "YES|NO"),
        switchFlag("no-time-lines", "time-lines", "Start messages carry no modul_time_utc/_local lines.",
                   "no"),
        valueFlag("never-answer", "Never answer these keywords (comma-separated; repeatable).", "KEYWORDS"),
        valueFlag("error", "Answer KEYWORD with \"!ERROR N\" (repeatable).", "KEYWORD=N"),
        switchFlag("crlf", "crlf", "End reply lines in CR LF instead of CR.", "yes"),
        switchFlag("no-line-end", "no-line-end", "End reply lines in nothing at all.", "yes"),
        switchFlag("split", "split", "Cut every write in two, the second half after --split-pause.", "yes"),
        switchFlag("merge", "merge", "Write all lines of one reply at once.", "yes"),
        valueFlag("flood", "Send N extra lines after each reply.", "N"),
        valueFlag("long-line", "Send an extra line of N characters after each reply.", "N"),
        valueFlag("close-after", "Close a connection after its N-th command.", "N"),
        valueFlag("reset-after", "Reset a connection (RST) after its N-th command.", "N"),
        valueFlag("half-close-after", "Shut the sending side of a connection down after its N-th command.",
                  "N"),
        valueFlag("reset-mid-reply",
                  "Reset a connection (RST) half-way through the reply to its N-th command.", "N"),
        valueFlag("drip", "Write every reply byte on its own, MS milliseconds after the one before.", "MS"),
        switchFlag("garbage", "garbage", "Answer every command with binary bytes that are no reply.", "yes"),
        switchFlag("refuse", "refuse", "Open no TCP listeners: connections are refused.", "yes"),
        switchFlag("silent", "silent", "Accept and read TCP connections but never answer.", "yes"),
    };
    for (const KeyFlag& flag : keyFlags)
        parser.addOption(flag.option);
    const QCommandLineOption splitPauseOption(
        QStringLiteral("split-pause"),
        QStringLiteral("Milliseconds between the two halves of a split write (default 50)."),
        QStringLiteral("MS"), QStringLiteral("50"));
    const QCommandLineOption noTcpOption(QStringLiteral("no-tcp"),
                                         QStringLiteral("Open no TCP listeners at all (UDP only)."));
    parser.addOptions({splitPauseOption, noTcpOption});

    const auto usageError = [](const QString& message) {
        printLine(stderr, message + QStringLiteral(" (see --help)"));
        return kExitUsage;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::fputs(kFleetFileHelp, stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    const auto number = [&parser](const QCommandLineOption& option, int min, int max) -> std::optional<int> {
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < min || value > max)
            return std::nullopt;
        return value;
    };

    std::vector<zek::SimModuleConfig> modules;
    if (parser.isSet(modulesOption) == parser.isSet(configOption))
        return usageError(QStringLiteral("give either --modules N or --config FILE"));
    if (parser.isSet(modulesOption)) {
        const auto count = number(modulesOption, 1, zek::kMaxSimModules);
        if (!count)
            return usageError(
                QStringLiteral("--modules needs a number from 1 to %1").arg(zek::kMaxSimModules));
        modules = zek::generateModules(*count);
    } else {
        const zek::FleetParseResult parsed = zek::readFleetFile(parser.value(configOption));
        if (!parsed.ok())
            return usageError(QStringLiteral("%1: %2").arg(parser.value(configOption), parsed.message()));
        modules = parsed.modules;
    }

    for (const KeyFlag& flag : keyFlags) {
        if (!parser.isSet(flag.option))
            continue;
        const QString value =
            flag.switchValue.isEmpty() ? parser.values(flag.option).join(QLatin1Char(',')) : flag.switchValue;
        for (zek::SimModuleConfig& module : modules) {
            const QString error = zek::applyModuleKey(module, flag.key, value);
            if (!error.isEmpty())
                return usageError(QStringLiteral("--%1: %2").arg(flag.option.names().first(), error));
        }
    }

    zek::FleetOptions options;
    const auto splitPause = number(splitPauseOption, 0, 60000);
    if (!splitPause)
        return usageError(QStringLiteral("--split-pause needs milliseconds from 0 to 60000"));
    options.splitPauseMs = *splitPause;
    options.tcp = !parser.isSet(noTcpOption);
    const auto spacing = number(spacingOption, 0, 1000);
    if (!spacing)
        return usageError(QStringLiteral("--reply-spacing needs milliseconds from 0 to 1000"));
    options.replySpacingMs = parser.isSet(burstOption) ? 0 : *spacing;
    const auto rebootMs = number(rebootOption, 0, 600000);
    if (!rebootMs)
        return usageError(QStringLiteral("--reboot-ms needs milliseconds from 0 to 600000"));
    options.rebootMs = *rebootMs;
    options.softwareInfoAfterReply = parser.isSet(softwareOption);
    const auto udpPort = number(portOption, 1, 65535);
    if (!udpPort)
        return usageError(QStringLiteral("--udp-port needs a port from 1 to 65535"));

    if (!zek::installQuitSignals(app))
        printLine(stderr, QStringLiteral("cannot catch SIGINT and SIGTERM; they end zeksim abruptly"));

    if (const auto limit = zek::raiseDescriptorLimit()) {
        const qint64 listeners = options.tcp ? std::count_if(modules.begin(), modules.end(),
                                                             [](const auto& m) { return !m.faults.refuse; })
                                             : 0;
        if (limit->soft < listeners + kDescriptorsBeside)
            printLine(stderr,
                      QStringLiteral("the open-descriptor limit is %1 (hard limit %2), too low for %3 TCP "
                                     "listeners and their sessions: modules beyond it get no listener. "
                                     "Raise the hard limit to at least %4 (ulimit -Hn, as root).")
                          .arg(limit->soft)
                          .arg(limit->hard)
                          .arg(listeners)
                          .arg(listeners + kDescriptorsBeside));
    }

    zek::SimFleet fleet(modules);
    fleet.setOptions(options);
    QObject::connect(&fleet, &zek::SimFleet::logLine, [](const QString& line) { printLine(stdout, line); });
    if (!fleet.start(static_cast<quint16>(*udpPort))) {
        printLine(stderr, fleet.errorString());
        return kExitBindFailed;
    }
    printLine(stdout,
              QStringLiteral("%1 modules, UDP port %2").arg(fleet.moduleCount()).arg(fleet.udpPort()));
    int listening = 0;
    for (int i = 0; i < fleet.moduleCount(); ++i)
        listening += fleet.isTcpListening(i) ? 1 : 0;
    printLine(stdout,
              QStringLiteral("%1 of %2 modules listen on TCP").arg(listening).arg(fleet.moduleCount()));
    const int result = QCoreApplication::exec();
    fleet.stop();
    printLine(stdout, QStringLiteral("stopped"));
    return result;
}
