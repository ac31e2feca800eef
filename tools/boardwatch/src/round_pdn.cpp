#include "round_pdn.h"

#include <cstdint>
#include <cstdio>

namespace boardwatch {

namespace {

// FNV-1a, 64 bits: a text's fingerprint, not a secret.
std::string fingerprint(const std::string& text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    char written[32];
    std::snprintf(written, sizeof written, "\"%016llx-%zx\"", static_cast<unsigned long long>(hash), text.size());
    return written;
}

}  // namespace

RoundPdn roundPdn(const std::vector<WatchedBoard>& boards, const std::string& today) {
    RoundPdn round;
    const auto add = [&](const GameRecord& game) {
        if (!round.text.empty()) round.text += '\n';
        round.text += game.pdn();
    };
    for (const WatchedBoard& board : boards) {
        for (const GameRecord& game : board.earlierGames()) add(game);
        const std::optional<GameRecord>& current = board.game();
        const bool played = current && (!current->moves().empty() || current->result() != "*");
        if (played || (board.earlierGames().empty() && current)) {
            add(*current);
        } else if (board.earlierGames().empty()) {
            add(GameRecord(board.round(), board.label(), {today, "??:??:??"}, draughts::Position::start(), true));
        }
    }
    round.etag = fingerprint(round.text);
    return round;
}

}  // namespace boardwatch
