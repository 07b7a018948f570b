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
        {"MERIDON V1.00.11", "About", "MERIDON V1.00.11"},
        {"MERIDON", "About", "MERIDON"},
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
    EXPECT_EQ(featureLetters("LTV"),
              (std::array<bool, 6>{true, true, false, false, false, false})); // L T S H X D
    EXPECT_EQ(featureLetters("lts hxd"), (std::array<bool, 6>{}));
}

TEST(EnterKey, PressesTheDefaultButtonOfThePart) {
    const std::pair<int, int> focusedAndPressed[] = {
        {ctl::NameEdit, ctl::Search},     {ctl::Tree, ctl::Search},
        {ctl::SnmpLocation, ctl::Search}, {0, ctl::Search},
        {ctl::Connect, ctl::Connect},     {ctl::LoggerSet, ctl::LoggerSet},
        {ctl::LogList, ctl::ClearLog},    {ctl::EepromAddress, ctl::EepromSet}};
    for (const auto& [focused, pressed] : focusedAndPressed)
        EXPECT_EQ(enterKeyButton(mainDialog(), focused), pressed) << focused;
    EXPECT_EQ(enterKeyButton(aboutDialog(), dlg::AboutVersion), dlg::AboutOk);
}

} // namespace
} // namespace zek
