#pragma once

#include <array>
#include <string>

namespace zek {

enum class DstRuleRow { Start, Stop };

// The selected items of a rule row's occurrence, weekday, month and hour lists, in that
// order; a negative index selects no item.
using DstRuleIndexes = std::array<int, 4>;

// One daylight-saving switch rule in the module's own numbering, as "!DST_START" and
// "!DST_STOP" carry it.
struct DstRule {
    int occurrence = 0; // 0 first .. 4 fifth or last
    int weekday = 0;    // 0 Sunday .. 6 Saturday
    int month = 1;      // 1 January .. 12 December
    int hour = 0;       // 0 .. 23

    // The four numbers of a rule reply, in their order on the wire.
    static DstRule fromReply(const std::array<int, 4>& numbers);
    // The lists start the week on Monday, so their last weekday item is Sunday.
    static DstRule fromIndexes(const DstRuleIndexes& indexes);
    // The inverse of fromIndexes. A number no list item stands for gives an index outside the
    // list; one that would be negative gives -1.
    DstRuleIndexes indexes() const;
    // "!DST_START o w m h\r" or "!DST_STOP o w m h\r".
    std::string commandText(DstRuleRow row) const;
    // Every number stands for an item of its list. A rule reply that fails this is
    // ignored: the lists and previews keep the rule they show.
    bool valid() const;

    friend bool operator==(const DstRule&, const DstRule&) = default;
};

} // namespace zek
