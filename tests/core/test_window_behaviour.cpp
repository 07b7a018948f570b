#include "core/app/about_box.h"
#include "core/app/control_ids.h"
#include "core/app/debug_figures.h"
#include "core/app/enter_key.h"

#include <gtest/gtest.h>

namespace zek {
namespace {

TEST(AboutBox, VersionTextSplit) {
    const struct {
        std::string_view text, caption, version;
    } cases[] = {
        {"MERIDON Brisklink V1.00.11", "MERIDON Brisklink", "V1.00.11"},
        {"MERIDON Brisklink V1 beta", "MERIDON Brisklink", "V1 beta"},
        {"MERIDON V1.00.11", "About", "MERIDON V1.00.11"},
        {"MERIDON", "About", "MERIDON"},
        {"", "About", ""},
        {"A  B", "A ", "B"},
    };
    for (const auto& c : cases) {
        const AboutTexts texts = splitVersionText(c.text);
        EXPECT_EQ(texts.caption, c.caption) << c.text;
        EXPECT_EQ(texts.version, c.version) << c.text;
    }
}

TEST(DebugFigures, RatesAndTotalsPerTick) {
    // Running totals (sent, received) at successive ticks of 500 ms and what each shows.
    const struct {
        std::uint32_t sent, received;
        TrafficFigures shown;
    } ticks[] = {
        {0, 0, {"      0", "      0", "0", "0"}},
        {1000, 10, {"   2000", "     20", "1000", "10"}},
        {1000, 10, {"      0", "      0", "1000", "10"}},
        {4294967000u, 10, {"8587342", "      0", "4294967000", "10"}},
        {200, 5000010, {"    992", "1410065", "200", "5000010"}},
    };
    TrafficCounter counter;
    for (const auto& t : ticks) {
        const TrafficFigures shown = counter.tick(t.sent, t.received, 500);
        EXPECT_EQ(shown.sentRate, t.shown.sentRate) << t.sent;
        EXPECT_EQ(shown.receivedRate, t.shown.receivedRate) << t.received;
        EXPECT_EQ(shown.sentTotal, t.shown.sentTotal);
        EXPECT_EQ(shown.receivedTotal, t.shown.receivedTotal);
    }
}

TEST(DebugFigures, FeatureLetters) {
    using L = std::array<bool, 6>; // L T S H X D
    EXPECT_EQ(featureLetters("LTV"), (L{true, true, false, false, false, false}));
    EXPECT_EQ(featureLetters("ZEK V2.3 TLSHXD"), (L{true, true, true, true, true, true}));
    EXPECT_EQ(featureLetters("lts hxd"), L{});
    EXPECT_EQ(featureLetters(""), L{});
}

TEST(EnterKey, PressesTheDefaultButtonOfThePart) {
    const struct {
        int focused, pressed;
    } cases[] = {
        {ctl::NameEdit, ctl::Search},
        {ctl::kIpEdits[0], ctl::Search},
        {ctl::Tree, ctl::Search},
        {ctl::SnmpLocation, ctl::Search},
        {ctl::Connect, ctl::Connect},
        {ctl::LoggerSet, ctl::LoggerSet},
        {ctl::LogList, ctl::ClearLog},
        {ctl::EepromAddress, ctl::EepromSet},
        {0, ctl::Search},
    };
    for (const auto& c : cases)
        EXPECT_EQ(enterKeyButton(mainDialog(), c.focused), c.pressed) << c.focused;
    EXPECT_EQ(enterKeyButton(aboutDialog(), dlg::AboutVersion), dlg::AboutOk);
}

} // namespace
} // namespace zek
