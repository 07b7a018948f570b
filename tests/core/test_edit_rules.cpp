#include "core/text/edit_rules.h"

#include <gtest/gtest.h>

using namespace zek;

TEST(EditRules, WhatTheUserMayTypeOrPaste) {
    using K = EditRule::Kind;
    using V = EditVerdict;
    const EditRule octet{K::Range, 3, 0, 255}, port{K::Range, 5, 0, 65535}, hex{K::Hex, 2}, name{K::Text, 31};
    const std::string range = "Value is not in the range 0 to 255.", bad = "Invalid character in input";
    // rule, text, verdict, refusal
    const std::tuple<EditRule, std::u16string, V, std::string> cases[] = {
        {octet, u"255", V::Acceptable, ""},
        {octet, u"256", V::Invalid, range},
        {octet, u"", V::Intermediate, ""},
        {octet, u"001", V::Acceptable, ""},
        {octet, u"0012", V::Invalid, ""}, // over the length: refused without a word
        {octet, u"1a", V::Invalid, bad},
        {octet, u"\uFF11", V::Invalid, bad}, // a full-width digit is no digit
        {EditRule{K::Range, 0, 0, 255}, u"99999999999999999999999", V::Invalid, range},
        {EditRule{K::Range, 3, 10, 255}, u"9", V::Intermediate, ""},
        {port, u"65535", V::Acceptable, ""},
        {port, u"65536", V::Invalid, "Value is not in the range 0 to 65535."},
        {hex, u"aB", V::Acceptable, ""},
        {hex, u"aBc", V::Invalid, ""},
        {hex, u"0G", V::Invalid, bad},
        {name, std::u16string(31, u'n'), V::Acceptable, ""},
        {name, std::u16string(32, u'n'), V::Invalid, ""},
        {EditRule{}, std::u16string(5000, u'x'), V::Acceptable, ""},
    };
    for (const auto& [rule, text, verdict, refusal] : cases) {
        const EditJudgement judgement = judgeEdit(rule, text);
        EXPECT_EQ(judgement.verdict, verdict) << text.size() << " units, first " << int(text[0]);
        EXPECT_EQ(judgement.refusal, refusal) << text.size() << " units, first " << int(text[0]);
    }
}
