#include "game_clock.h"

#include <boardio/commands.h>

#include <algorithm>

namespace boardsim {

namespace {

int index(Side side) { return side == Side::White ? 0 : 1; }

char characterOf(unsigned char segments) {
    static const std::string preferred =
        " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_=!\"'()[]<>/?,";
    for (char c : preferred) {
        if (krvEBLowLevel::clockSegmentTable[static_cast<unsigned char>(c)] == segments) return c;
    }
    return '?';
}

}  // namespace

GameClock::GameClock(std::chrono::seconds each, Time now) : remaining{each, each}, since(now) {}

void GameClock::set(std::chrono::seconds white, std::chrono::seconds black, Side running, Time now) {
    remaining[0] = white;
    remaining[1] = black;
    runningSide = running;
    since = now;
}

void GameClock::run(Side running, Time now) {
    auto& left = remaining[index(runningSide)];
    left = std::max(std::chrono::milliseconds(0),
                    left - std::chrono::duration_cast<std::chrono::milliseconds>(now - since));
    runningSide = running;
    since = now;
}

ClockTime GameClock::left(Side side, Time now) const {
    std::chrono::milliseconds left = remaining[index(side)];
    if (side == runningSide) left -= std::chrono::duration_cast<std::chrono::milliseconds>(now - since);
    // Whole seconds rounded up, as a clock shows a time that is running out.
    const long long seconds = std::max(0LL, static_cast<long long>((left.count() + 999) / 1000));
    return {static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
}

std::string displayText(const unsigned char* segments) {
    static const int sentOrder[6] = {2, 1, 0, 5, 4, 3};
    std::string text(6, ' ');
    for (int i = 0; i < 6; ++i) text[sentOrder[i]] = characterOf(segments[i] & 0x7F);
    return text;
}

}  // namespace boardsim
