// Decoding speed of module search replies: a full search may bring up to 260 of them at once.
#include "core/scan/device_protocol.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTableSize = 260;

std::vector<std::vector<std::uint8_t>> makeReplies() {
    std::vector<std::vector<std::uint8_t>> replies;
    for (std::size_t i = 0; i < kTableSize; ++i) {
        std::vector<std::uint8_t> r(zek::SEARCH_REPLY_SIZE_WITH_MODE, 0);
        r[1] = zek::CMD_SEARCH_REPLY;
        r[6] = static_cast<std::uint8_t>(i >> 8);
        r[7] = static_cast<std::uint8_t>(i);
        r[9] = static_cast<std::uint8_t>(r.size());
        r[10] = static_cast<std::uint8_t>(i & 1);
        const std::uint8_t address[] = {192, 168, static_cast<std::uint8_t>(i >> 8),
                                        static_cast<std::uint8_t>(i)};
        std::copy(std::begin(address), std::end(address), r.begin() + 11);
        r[15] = 0x27;
        r[16] = 0x10;
        const std::string name = "Module " + std::to_string(i);
        std::copy(name.begin(), name.end(), r.begin() + 25);
        r[61] = static_cast<std::uint8_t>(i);
        r[62] = static_cast<std::uint8_t>(i % 6);
        replies.push_back(std::move(r));
    }
    return replies;
}

} // namespace

int main() {
    using Clock = std::chrono::steady_clock;
    const auto replies = makeReplies();
    const zek::TextLookup lookup = [](std::string_view key) { return std::string(key); };

    std::size_t decoded = 0;
    const auto decodeTable = [&] {
        for (const auto& reply : replies) {
            decoded += std::holds_alternative<zek::DecodedDevice>(
                zek::decodeDatagram(reply, zek::DEVICE_UDP_PORT, lookup));
        }
    };

    decodeTable();
    const auto once = Clock::now();
    decodeTable();
    const auto onceTime = std::chrono::duration<double, std::micro>(Clock::now() - once).count();

    constexpr int kRounds = 2000;
    const auto start = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        decodeTable();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::printf("decoded %zu replies\n", decoded);
    std::printf("%zu search replies: %.1f us\n", kTableSize, onceTime);
    std::printf("search replies per second: %.0f\n", kRounds * kTableSize / seconds);
    return 0;
}
