#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zek {

// The four traffic figures of the debug panel, as they are shown.
struct TrafficFigures {
    std::string sentRate;     // bytes per second, "%7.0f"
    std::string receivedRate; // bytes per second, "%7.0f"
    std::string sentTotal;    // "%lu"
    std::string receivedTotal;
};

// Turns the session's running byte totals into rates per timer tick. The arithmetic is
// unsigned 32-bit throughout, so a total that wraps still gives the bytes of the tick.
class TrafficCounter {
public:
    // Called once per tick of a timer with period `periodMs`.
    TrafficFigures tick(std::uint32_t bytesSent, std::uint32_t bytesReceived, std::uint32_t periodMs);

private:
    std::uint32_t m_sentAtLastTick = 0;
    std::uint32_t m_receivedAtLastTick = 0;
};

// The six feature letters in the order of ctl::kFeatureLetters: set exactly when the
// software text holds that upper-case letter anywhere.
std::array<bool, 6> featureLetters(std::string_view softwareText);

} // namespace zek
