#include "core/clock/clock_texts.h"

#include "core/clock/time_entry.h"
#include "core/text/c_scan.h"

#include <cstdio>

namespace zek {

namespace {

constexpr std::string_view kNoRtc = "No RTC";
constexpr std::size_t kZonePosition = 33;

template <class... Args> std::string format(const char* pattern, Args... args) {
    std::string text(std::size_t(std::snprintf(nullptr, 0, pattern, args...)), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}

// The text from `position` to the end of the line, at most `count` characters; empty when
// the line ends before it.
std::string cut(std::string_view line, std::size_t position, std::size_t count = std::string_view::npos) {
    return position < line.size() ? std::string(line.substr(position, count)) : std::string();
}

// The module writes its local time as "hh:mm:ss (w) dd.mm.yy ..."; the compact view leaves
// the weekday out.
std::string localCut(std::string_view line, std::size_t time, std::size_t date, std::size_t dateCount,
                     bool compactView) {
    return compactView ? cut(line, time, 8) + cut(line, date, dateCount) : cut(line, time);
}

bool noRtc(std::string_view line) {
    return line.find(kNoRtc) != std::string_view::npos;
}

ClockSeconds entrySeconds(const ManualDate& date, const TimeOfDay& time, int zoneMinutes) {
    return ToClockSeconds(2000 + date.year, date.month, date.day, time.hour, time.minute, time.second) +
           ClockSeconds(zoneMinutes) * 60u;
}

} // namespace

bool SummerWindow::contains(ClockSeconds localStandard) const {
    const bool beforeStop = std::uint64_t(localStandard) + 3600 < stop;
    if (spansNewYear())
        return localStandard >= start || beforeStop;
    return start < stop && start <= localStandard && beforeStop;
}

SummerCase summerCase(const SummerWindow& window, ClockSeconds local) {
    const std::uint64_t t = local, start = window.start, stop = window.stop;
    const bool inside =
        window.spansNewYear() ? t >= start || t < stop : start < stop && start <= t && t < stop;
    if (!inside)
        return SummerCase::Standard;
    if (t < stop && t + 3600 >= stop)
        return SummerCase::RepeatedHour;
    if (t >= start && t < start + 3600)
        return SummerCase::SkippedHour;
    return SummerCase::Summer;
}

std::string PcUtcText(const PcTime& pc) {
    const CivilTime& t = pc.utc;
    return format("%02d:%02d:%02d (%d) %02d.%02d.%02d (%ld)", t.hour, t.minute, t.second, pc.utcWeekday,
                  t.day, t.month, t.year - 2000, pc.standardOffsetMinutes);
}

std::string PcLocalText(const PcTime& pc, bool compactView, std::string_view computedLocal) {
    const CivilTime& t = pc.local;
    if (compactView)
        return format("%02d:%02d:%02d        %02d.%02d.%02d", t.hour, t.minute, t.second, t.day, t.month,
                      t.year - 2000);
    return format("%02d:%02d:%02d (%d) %02d.%02d.%02d", t.hour, t.minute, t.second, pc.localWeekday, t.day,
                  t.month, t.year - 2000) +
           std::string(computedLocal);
}

std::string ComputedLocalText(const PcTime& pc, const ClockEntries& entries) {
    if (entries.compactView || !entries.automaticDst)
        return {};
    ClockSeconds b = 0;
    if (entries.usePcTime) {
        b = ToClockSeconds(pc.utc) + ClockSeconds(pc.standardOffsetMinutes * 60);
    } else if (const auto time = scanTimeText(entries.timeText)) {
        b = entrySeconds(entries.date, *time, entries.zoneMinutes);
    }
    const bool summer = entries.window.contains(b);
    if (summer)
        b += 3600;
    const CivilTime t = FromClockSeconds(b);
    return format("   %02d:%02d:%02d (%d) %02d.%02d.%02d %s", t.hour, t.minute, t.second,
                  WeekdayOf(t.day, t.month, t.year), t.day, t.month, t.year - 2000, summer ? "(S)" : "(W)");
}

ManualClock manualClock(const ManualDate& date, std::string_view timeText, int zoneMinutes) {
    const TimeOfDay time = scanTimeText(timeText).value_or(TimeOfDay{});
    const ClockSeconds local = entrySeconds(date, time, 0);
    return {local, local - ClockSeconds(zoneMinutes) * 60u};
}

std::string SetClockPayload(ClockSeconds utc, int zoneMinutes) {
    const CivilTime t = FromClockSeconds(utc);
    return format("%02d:%02d:%02d (%1d) %02d.%02d.%02d (%d)", t.hour, t.minute, t.second,
                  WeekdayOf(t.day, t.month, t.year), t.day, t.month, t.year - 2000, zoneMinutes);
}

std::string setClockCommandText(std::string_view payload) {
    return "!TIME_UTC " + std::string(payload) + "\r";
}

ClockReplyEffect clockReplyEffect(ReplyKind kind, std::string_view line, bool compactView) {
    ClockReplyEffect effect;
    switch (kind) {
    case ReplyKind::TimeUtc:
        if (line.size() <= 10)
            break;
        effect.utcTime = cut(line, 10);
        if (const auto zone =
                line.size() > kZonePosition ? ScanCursor(line, kZonePosition).scanfDecimal() : std::nullopt)
            effect.zone = zoneDisplayText(*zone);
        break;
    case ReplyKind::TimeLocal:
        if (line.size() > 12)
            effect.localTime = noRtc(line) ? "?" : localCut(line, 12, 24, 13, compactView);
        break;
    case ReplyKind::ModulTimeUtc:
        if (noRtc(line))
            effect.utcTime = "?";
        else if (line.size() > 16)
            effect.utcTime = cut(line, 15);
        break;
    case ReplyKind::ModulTimeLocal:
        if (noRtc(line))
            effect.localTime = "?";
        else if (line.size() > 19)
            effect.localTime = localCut(line, 17, 29, 9, compactView);
        break;
    default:
        break;
    }
    return effect;
}

std::string zoneDisplayText(long long minutes) {
    const long long magnitude = minutes < 0 ? -minutes : minutes;
    return format("%c%lld.%02lld", minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
}

} // namespace zek
