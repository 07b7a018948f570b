#include "sim/fleet_config.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <functional>

namespace zek {

namespace {

constexpr int kMaxSoftwareText = 255;
constexpr int kMaxReplyText = 200;

// A field value check: the error text, or an empty string when the value was stored.
using KeySetter = std::function<QString(QStringView value, SimModuleConfig& module)>;

std::optional<qulonglong> parseUnsigned(QStringView text, qulonglong max) {
    if (text.isEmpty() || text.size() > 20)
        return std::nullopt;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok || value > max)
        return std::nullopt;
    return value;
}

std::optional<QByteArray> latin1(QStringView text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF || c.unicode() == 0)
            return std::nullopt;
    return text.toLatin1();
}

KeySetter addressSetter(quint32 NetworkValues::*field, const QString& what) {
    return [field, what](QStringView value, SimModuleConfig& module) {
        const auto address = parseIpv4(value);
        if (!address)
            return QStringLiteral("'%1' needs a dotted IPv4 address such as 127.0.0.2").arg(what);
        module.network.*field = *address;
        return QString();
    };
}

std::optional<bool> parseSwitch(QStringView value) {
    const QString word = value.toString().toLower();
    if (word == QLatin1String("yes") || word == QLatin1String("on") || word == QLatin1String("1") ||
        word == QLatin1String("true"))
        return true;
    if (word == QLatin1String("no") || word == QLatin1String("off") || word == QLatin1String("0") ||
        word == QLatin1String("false"))
        return false;
    return std::nullopt;
}

std::optional<qlonglong> parseSigned(QStringView text, qlonglong min, qlonglong max) {
    const bool negative = text.startsWith(u'-');
    const auto magnitude = parseUnsigned(negative || text.startsWith(u'+') ? text.sliced(1) : text,
                                         static_cast<qulonglong>(std::max(-min, max)));
    if (!magnitude)
        return std::nullopt;
    const qlonglong value =
        negative ? -static_cast<qlonglong>(*magnitude) : static_cast<qlonglong>(*magnitude);
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

// Printable ASCII text without blanks or control bytes, as one word of a reply line.
bool isWord(QStringView text) {
    for (QChar c : text)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            return false;
    return true;
}

// Keywords are written as the commands carry them: upper case, digits and '_'.
bool isKeyword(QStringView text) {
    if (text.isEmpty() || text.size() > 32)
        return false;
    for (QChar c : text)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_'))
            return false;
    return true;
}

QList<QStringView> listItems(QStringView value) {
    QList<QStringView> items;
    for (QStringView item : value.tokenize(u',')) {
        for (QStringView word : item.trimmed().tokenize(u' ', Qt::SkipEmptyParts))
            items += word;
    }
    return items;
}

template <typename Group, typename Field>
KeySetter flagSetter(Group SimModuleConfig::*group, Field Group::*field, const QString& key) {
    return [group, field, key](QStringView value, SimModuleConfig& module) {
        const auto flag = parseSwitch(value);
        if (!flag)
            return QStringLiteral("'%1' needs yes, no, on or off").arg(key);
        module.*group.*field = *flag;
        return QString();
    };
}

template <typename Group>
KeySetter countSetter(Group SimModuleConfig::*group, int Group::*field, const QString& key, int min,
                      int max) {
    return [group, field, key, min, max](QStringView value, SimModuleConfig& module) {
        const auto number = parseSigned(value, min, max);
        if (!number)
            return QStringLiteral("'%1' needs a number from %2 to %3").arg(key).arg(min).arg(max);
        module.*group.*field = static_cast<int>(*number);
        return QString();
    };
}

KeySetter textSetter(QByteArray SimDeviceState::*field, const QString& key, bool oneWord) {
    return [field, key, oneWord](QStringView value, SimModuleConfig& module) {
        const auto text = latin1(value);
        if (!text || text->size() > kMaxReplyText || (oneWord && !isWord(value)))
            return oneWord
                       ? QStringLiteral("'%1' needs up to %2 printable ASCII characters without blanks")
                             .arg(key)
                             .arg(kMaxReplyText)
                       : QStringLiteral("'%1' needs up to %2 Latin-1 characters").arg(key).arg(kMaxReplyText);
        module.state.*field = *text;
        return QString();
    };
}

KeySetter ruleSetter(SimDstRule SimDeviceState::*field, const QString& key) {
    return [field, key](QStringView value, SimModuleConfig& module) {
        const QList<QStringView> words = value.trimmed().split(u' ', Qt::SkipEmptyParts);
        const QString error =
            QStringLiteral("'%1' needs four numbers: occurrence 0-4, weekday 0-6 (0 Sunday), "
                           "month 1-12, hour 0-23")
                .arg(key);
        if (words.size() != 4)
            return error;
        const auto occurrence = parseUnsigned(words[0], 4);
        const auto weekday = parseUnsigned(words[1], 6);
        const auto month = parseUnsigned(words[2], 12);
        const auto hour = parseUnsigned(words[3], 23);
        if (!occurrence || !weekday || !month || *month == 0 || !hour)
            return error;
        module.state.*field = SimDstRule{int(*occurrence), int(*weekday), int(*month), int(*hour)};
        return QString();
    };
}

KeySetter trapSetter(int row) {
    return [row](QStringView value, SimModuleConfig& module) {
        const auto address = parseIpv4(value);
        if (!address)
            return QStringLiteral("'trap-ip%1' needs a dotted IPv4 address such as 127.0.0.1").arg(row);
        module.state.trapIps[static_cast<std::size_t>(row - 1)] = *address;
        return QString();
    };
}

// The keys of a module's TCP side: what it reports and how it misbehaves.
QHash<QString, KeySetter> tcpKeySetters() {
    using S = SimDeviceState;
    using F = SimFaults;
    return {
        {QStringLiteral("letters"), textSetter(&S::letters, QStringLiteral("letters"), true)},
        {QStringLiteral("module-type"), textSetter(&S::moduleType, QStringLiteral("module-type"), false)},
        {QStringLiteral("sw-version"), textSetter(&S::swVersion, QStringLiteral("sw-version"), false)},
        {QStringLiteral("sw-date"), textSetter(&S::swDate, QStringLiteral("sw-date"), false)},
        {QStringLiteral("time-lines"),
         flagSetter(&SimModuleConfig::state, &S::startTimeLines, QStringLiteral("time-lines"))},
        {QStringLiteral("device"), textSetter(&S::deviceType, QStringLiteral("device"), false)},
        {QStringLiteral("revision"), textSetter(&S::revision, QStringLiteral("revision"), false)},
        {QStringLiteral("company"), textSetter(&S::company, QStringLiteral("company"), false)},
        {QStringLiteral("logger"),
         flagSetter(&SimModuleConfig::state, &S::loggerOn, QStringLiteral("logger"))},
        {QStringLiteral("log-interval"),
         countSetter(&SimModuleConfig::state, &S::logInterval, QStringLiteral("log-interval"), 1, 60)},
        {QStringLiteral("rtc"), flagSetter(&SimModuleConfig::state, &S::hasRtc, QStringLiteral("rtc"))},
        {QStringLiteral("clock-offset"),
         [](QStringView value, SimModuleConfig& module) {
             constexpr qlonglong kCentury = 100LL * 366 * 86400;
             const auto seconds = parseSigned(value, -kCentury, kCentury);
             if (!seconds)
                 return QStringLiteral("'clock-offset' needs seconds from -%1 to %1").arg(kCentury);
             module.state.clockOffsetSecs = *seconds;
             return QString();
         }},
        {QStringLiteral("zone"),
         countSetter(&SimModuleConfig::state, &S::zoneMinutes, QStringLiteral("zone"), -24 * 60, 24 * 60)},
        {QStringLiteral("dst-use"),
         flagSetter(&SimModuleConfig::state, &S::dstUse, QStringLiteral("dst-use"))},
        {QStringLiteral("dst-start"), ruleSetter(&S::dstStart, QStringLiteral("dst-start"))},
        {QStringLiteral("dst-stop"), ruleSetter(&S::dstStop, QStringLiteral("dst-stop"))},
        {QStringLiteral("trap-ip1"), trapSetter(1)},
        {QStringLiteral("trap-ip2"), trapSetter(2)},
        {QStringLiteral("trap-ip3"), trapSetter(3)},
        {QStringLiteral("snmp-location"),
         textSetter(&S::snmpLocation, QStringLiteral("snmp-location"), false)},
        {QStringLiteral("never-answer"),
         [](QStringView value, SimModuleConfig& module) {
             QSet<QByteArray> keywords;
             for (QStringView word : listItems(value)) {
                 if (!isKeyword(word))
                     return QStringLiteral(
                         "'never-answer' needs keywords such as GERAET, TIME_UTC (no ? or !)");
                 keywords.insert(word.toLatin1());
             }
             module.faults.neverAnswer = keywords;
             return QString();
         }},
        {QStringLiteral("error"),
         [](QStringView value, SimModuleConfig& module) {
             QMap<QByteArray, int> errors;
             for (QStringView item : listItems(value)) {
                 const qsizetype equals = item.indexOf(u'=');
                 const auto code = equals > 0 ? parseUnsigned(item.sliced(equals + 1), 999999) : std::nullopt;
                 if (!code || !isKeyword(item.first(equals)))
                     return QStringLiteral("'error' needs KEYWORD=N pairs such as GERAET=4, FIRMA=20");
                 errors.insert(item.first(equals).toLatin1(), static_cast<int>(*code));
             }
             module.faults.errorFor = errors;
             return QString();
         }},
        {QStringLiteral("crlf"), flagSetter(&SimModuleConfig::faults, &F::crlf, QStringLiteral("crlf"))},
        {QStringLiteral("no-line-end"),
         flagSetter(&SimModuleConfig::faults, &F::noLineEnd, QStringLiteral("no-line-end"))},
        {QStringLiteral("split"), flagSetter(&SimModuleConfig::faults, &F::split, QStringLiteral("split"))},
        {QStringLiteral("merge"), flagSetter(&SimModuleConfig::faults, &F::merge, QStringLiteral("merge"))},
        {QStringLiteral("flood"),
         countSetter(&SimModuleConfig::faults, &F::flood, QStringLiteral("flood"), 0, kMaxFloodLines)},
        {QStringLiteral("long-line"),
         countSetter(&SimModuleConfig::faults, &F::longLine, QStringLiteral("long-line"), 0, kMaxLongLine)},
        {QStringLiteral("close-after"), countSetter(&SimModuleConfig::faults, &F::closeAfter,
                                                    QStringLiteral("close-after"), 0, kMaxCommandCount)},
        {QStringLiteral("reset-after"), countSetter(&SimModuleConfig::faults, &F::resetAfter,
                                                    QStringLiteral("reset-after"), 0, kMaxCommandCount)},
        {QStringLiteral("half-close-after"),
         countSetter(&SimModuleConfig::faults, &F::halfCloseAfter, QStringLiteral("half-close-after"), 0,
                     kMaxCommandCount)},
        {QStringLiteral("reset-mid-reply"),
         countSetter(&SimModuleConfig::faults, &F::resetMidReply, QStringLiteral("reset-mid-reply"), 0,
                     kMaxCommandCount)},
        {QStringLiteral("drip"),
         countSetter(&SimModuleConfig::faults, &F::dripMs, QStringLiteral("drip"), 0, kMaxDripMs)},
        {QStringLiteral("garbage"),
         flagSetter(&SimModuleConfig::faults, &F::garbage, QStringLiteral("garbage"))},
        {QStringLiteral("refuse"),
         flagSetter(&SimModuleConfig::faults, &F::refuse, QStringLiteral("refuse"))},
        {QStringLiteral("silent"),
         flagSetter(&SimModuleConfig::faults, &F::silent, QStringLiteral("silent"))},
        {QStringLiteral("ignore-set"),
         flagSetter(&SimModuleConfig::faults, &F::ignoreSet, QStringLiteral("ignore-set"))},
    };
}

const QHash<QString, KeySetter>& keySetters() {
    static const QHash<QString, KeySetter> setters = {
        {QStringLiteral("mac"),
         [](QStringView value, SimModuleConfig& module) {
             const auto mac = parseSimMac(value);
             if (!mac)
                 return QStringLiteral("'mac' needs six hex pairs such as 00 0A 1B 2C 3D 4E");
             module.mac = *mac;
             return QString();
         }},
        {QStringLiteral("serial"),
         [](QStringView value, SimModuleConfig& module) {
             const auto serial = parseUnsigned(value, 0xFFFFFFFFu);
             if (!serial)
                 return QStringLiteral("'serial' needs a number from 0 to 4294967295");
             module.serial = static_cast<quint32>(*serial);
             return QString();
         }},
        {QStringLiteral("ip"), addressSetter(&NetworkValues::ip, QStringLiteral("ip"))},
        {QStringLiteral("netmask"), addressSetter(&NetworkValues::netmask, QStringLiteral("netmask"))},
        {QStringLiteral("gateway"), addressSetter(&NetworkValues::gateway, QStringLiteral("gateway"))},
        {QStringLiteral("dhcp"),
         [](QStringView value, SimModuleConfig& module) {
             const QString word = value.toString().toLower();
             if (word == QLatin1String("yes") || word == QLatin1String("on")) {
                 module.network.dhcp = 1;
             } else if (word == QLatin1String("no") || word == QLatin1String("off")) {
                 module.network.dhcp = 0;
             } else if (const auto flag = parseUnsigned(value, 255)) {
                 module.network.dhcp = static_cast<quint8>(*flag);
             } else {
                 return QStringLiteral("'dhcp' needs yes, no, on, off or a byte value 0-255");
             }
             return QString();
         }},
        {QStringLiteral("name"),
         [](QStringView value, SimModuleConfig& module) {
             const auto name = latin1(value);
             if (!name || name->size() > kSimNameFieldSize)
                 return QStringLiteral("'name' needs up to 33 Latin-1 characters (33 fill the field "
                                       "without a terminator)");
             module.network.setName(*name);
             return QString();
         }},
        {QStringLiteral("port"),
         [](QStringView value, SimModuleConfig& module) {
             const auto port = parseUnsigned(value, 65535);
             if (!port)
                 return QStringLiteral("'port' needs a number from 0 to 65535");
             module.network.port = static_cast<quint16>(*port);
             return QString();
         }},
        {QStringLiteral("mode"),
         [](QStringView value, SimModuleConfig& module) {
             if (value.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
                 module.network.mode.reset();
             } else if (const auto mode = parseUnsigned(value, 255)) {
                 module.network.mode = static_cast<quint8>(*mode);
             } else {
                 return QStringLiteral("'mode' needs none or a number from 0 to 255");
             }
             return QString();
         }},
        {QStringLiteral("software"),
         [](QStringView value, SimModuleConfig& module) {
             const auto text = latin1(value);
             if (!text || text->size() > kMaxSoftwareText)
                 return QStringLiteral("'software' needs up to %1 Latin-1 characters").arg(kMaxSoftwareText);
             module.software = *text;
             return QString();
         }},
    };
    static const QHash<QString, KeySetter> all = [] {
        QHash<QString, KeySetter> merged = setters;
        merged.insert(tcpKeySetters());
        return merged;
    }();
    return all;
}

QString decodeFileText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// A value in double quotes keeps its outer blanks; a quote opened and not closed is refused.
std::optional<QStringView> unquote(QStringView value) {
    if (!value.startsWith(u'"'))
        return value;
    if (value.size() < 2 || !value.endsWith(u'"'))
        return std::nullopt;
    return value.sliced(1, value.size() - 2);
}

// Text of the file inside a message: control characters as \xNN, cut when long, so that a
// binary file gives a readable line.
QString shown(QStringView text) {
    constexpr qsizetype kShownChars = 40;
    QString out;
    for (QChar c : text.first(std::min(text.size(), kShownChars))) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += QStringLiteral("\\x%1").arg(u & 0xFF, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return text.size() > kShownChars ? out + QStringLiteral("...") : out;
}

FleetParseResult failure(int line, QString error) {
    FleetParseResult result;
    result.errorLine = line;
    result.error = std::move(error);
    return result;
}

} // namespace

SimModuleConfig generatedModule(int index) {
    const quint32 number = static_cast<quint32>(index) + 1;
    SimModuleConfig module;
    module.mac = {0x02,
                  0x5A,
                  0x45,
                  static_cast<quint8>(number >> 16),
                  static_cast<quint8>(number >> 8),
                  static_cast<quint8>(number)};
    module.serial = 100000 + number;
    NetworkValues& net = module.network;
    net.ip = 0x7F000001 + number;
    net.netmask = 0xFF000000;
    net.gateway = 0x7F000001;
    net.port = static_cast<quint16>(10000 + number);
    net.dhcp = index % 5 == 4 ? 1 : 0;
    net.setName(QStringLiteral("ZEK module %1").arg(number, 3, 10, QLatin1Char('0')).toLatin1());
    if (index % 4 != 3)
        net.mode = static_cast<quint8>(index % 5);
    if (index % 3 == 2) {
        module.software = "SW 1.01 SHD";
        module.state.letters = "SHD";
    }
    return module;
}

std::vector<SimModuleConfig> generateModules(int count) {
    std::vector<SimModuleConfig> modules;
    for (int i = 0; i < count; ++i)
        modules.push_back(generatedModule(i));
    return modules;
}

QString FleetParseResult::message() const {
    if (errorLine <= 0)
        return error;
    return QStringLiteral("line %1: %2").arg(errorLine).arg(error);
}

FleetParseResult parseFleetText(QByteArrayView bytes) {
    const QString text = decodeFileText(bytes);
    const QStringList lines = text.split(QLatin1Char('\n'));
    FleetParseResult result;
    QSet<QString> keysSeen;
    std::vector<int> macLines; // where each module's MAC was given (its header when generated)

    for (qsizetype n = 0; n < lines.size(); ++n) {
        const int lineNumber = static_cast<int>(n) + 1;
        const QStringView line = QStringView(lines[n]).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;

        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return failure(lineNumber, QStringLiteral("a section header ends with ']'"));
            const QStringView name = line.sliced(1, line.size() - 2).trimmed();
            if (name.compare(QLatin1String("module"), Qt::CaseInsensitive) != 0)
                return failure(
                    lineNumber,
                    QStringLiteral("unknown section '[%1]'; only [module] is known").arg(shown(name)));
            if (static_cast<int>(result.modules.size()) >= kMaxSimModules)
                return failure(lineNumber, QStringLiteral("more than %1 modules").arg(kMaxSimModules));
            result.modules.push_back(generatedModule(static_cast<int>(result.modules.size())));
            macLines.push_back(lineNumber);
            keysSeen.clear();
            continue;
        }

        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return failure(lineNumber, QStringLiteral("expected 'key = value', '[module]' or a comment"));
        const QString key = line.left(equals).trimmed().toString().toLower();
        const auto value = unquote(line.sliced(equals + 1).trimmed());
        if (result.modules.empty())
            return failure(lineNumber,
                           QStringLiteral("'%1' comes before the first [module]").arg(shown(key)));
        const auto setter = keySetters().constFind(key);
        if (setter == keySetters().constEnd())
            return failure(lineNumber, QStringLiteral("unknown key '%1'").arg(shown(key)));
        if (!value)
            return failure(lineNumber, QStringLiteral("the quote of '%1' is not closed").arg(key));
        if (keysSeen.contains(key))
            return failure(lineNumber, QStringLiteral("'%1' is given twice for this module").arg(key));
        keysSeen.insert(key);
        const QString error = (*setter)(*value, result.modules.back());
        if (!error.isEmpty())
            return failure(lineNumber, error);
        if (key == QLatin1String("mac"))
            macLines.back() = lineNumber;
    }

    if (result.modules.empty())
        return failure(0, QStringLiteral("the fleet file holds no [module] section"));
    QHash<QString, int> macOwners;
    for (std::size_t i = 0; i < result.modules.size(); ++i) {
        const QString mac = simMacText(result.modules[i].mac);
        if (const auto owner = macOwners.constFind(mac); owner != macOwners.constEnd())
            return failure(
                macLines[i],
                QStringLiteral("MAC %1 is already used by the module at line %2").arg(mac).arg(*owner));
        macOwners.insert(mac, macLines[i]);
    }
    return result;
}

QString applyModuleKey(SimModuleConfig& module, const QString& key, QStringView value) {
    const auto setter = keySetters().constFind(key);
    if (setter == keySetters().constEnd())
        return QStringLiteral("unknown key '%1'").arg(shown(key));
    return (*setter)(value, module);
}

FleetParseResult readFleetFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(0, QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return parseFleetText(file.readAll());
}

} // namespace zek
