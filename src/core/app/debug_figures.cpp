#include "core/app/debug_figures.h"

#include "core/app/control_ids.h"

#include <cstdio>

namespace zek {

namespace {

std::string rateText(std::uint32_t bytes, std::uint32_t periodMs) {
    const std::uint32_t perSecond = std::uint32_t(bytes * 1000u) / periodMs;
    char text[32];
    std::snprintf(text, sizeof text, "%7.0f", double(perSecond));
    return text;
}

std::string totalText(std::uint32_t total) {
    char text[32];
    std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(total));
    return text;
}

} // namespace

TrafficFigures TrafficCounter::tick(std::uint32_t bytesSent, std::uint32_t bytesReceived,
                                    std::uint32_t periodMs) {
    TrafficFigures figures;
    figures.sentRate = rateText(bytesSent - m_sentAtLastTick, periodMs);
    m_sentAtLastTick = bytesSent;
    figures.receivedRate = rateText(bytesReceived - m_receivedAtLastTick, periodMs);
    m_receivedAtLastTick = bytesReceived;
    figures.receivedTotal = totalText(m_receivedAtLastTick);
    figures.sentTotal = totalText(m_sentAtLastTick);
    return figures;
}

std::array<bool, 6> featureLetters(std::string_view softwareText) {
    std::array<bool, 6> checked{};
    for (std::size_t i = 0; i < ctl::kFeatureLetters.size(); ++i)
        checked[i] = softwareText.find(ctl::kFeatureLetters[i].letter) != std::string_view::npos;
    return checked;
}

} // namespace zek
