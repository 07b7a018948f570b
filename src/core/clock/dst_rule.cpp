#include "core/clock/dst_rule.h"

#include <algorithm>
#include <climits>

namespace zek {

namespace {

// Module numbers may be anything: computed wide, so no value can overflow.
int asIndex(long long index) {
    return int(std::clamp<long long>(index, -1, INT_MAX));
}

} // namespace

DstRule DstRule::fromReply(const std::array<int, 4>& numbers) {
    return {numbers[0], numbers[1], numbers[2], numbers[3]};
}

DstRule DstRule::fromIndexes(const DstRuleIndexes& indexes) {
    return {indexes[0], (indexes[1] + 1) % 7, indexes[2] + 1, indexes[3]};
}

DstRuleIndexes DstRule::indexes() const {
    return {asIndex(occurrence), asIndex((weekday + 6LL) % 7), asIndex(month - 1LL), asIndex(hour)};
}

std::string DstRule::commandText(DstRuleRow row) const {
    return std::string(row == DstRuleRow::Start ? "!DST_START " : "!DST_STOP ") + std::to_string(occurrence) +
           " " + std::to_string(weekday) + " " + std::to_string(month) + " " + std::to_string(hour) + "\r";
}

bool DstRule::valid() const {
    return occurrence >= 0 && occurrence <= 4 && weekday >= 0 && weekday <= 6 && month >= 1 && month <= 12 &&
           hour >= 0 && hour <= 23;
}

} // namespace zek
