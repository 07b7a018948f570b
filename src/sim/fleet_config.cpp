#include "sim/fleet_config.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <functional>

namespace zek {

namespace {

constexpr int kMaxSoftwareText = 255;

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
    return setters;
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

QStringView unquote(QStringView value) {
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        return value.sliced(1, value.size() - 2);
    return value;
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
    if (index % 3 == 2)
        module.software = "SW 1.01 SHD";
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
                return failure(lineNumber,
                               QStringLiteral("unknown section '[%1]'; only [module] is known").arg(name));
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
        const QStringView value = unquote(line.sliced(equals + 1).trimmed());
        if (result.modules.empty())
            return failure(lineNumber, QStringLiteral("'%1' comes before the first [module]").arg(key));
        const auto setter = keySetters().constFind(key);
        if (setter == keySetters().constEnd())
            return failure(lineNumber, QStringLiteral("unknown key '%1'").arg(key));
        if (keysSeen.contains(key))
            return failure(lineNumber, QStringLiteral("'%1' is given twice for this module").arg(key));
        keysSeen.insert(key);
        const QString error = (*setter)(value, result.modules.back());
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

FleetParseResult readFleetFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(0, QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return parseFleetText(file.readAll());
}

} // namespace zek
