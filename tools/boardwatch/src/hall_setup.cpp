#include "hall_setup.h"

#include <algorithm>
#include <boost/format.hpp>
#include <cctype>

#include "input_file.h"

namespace boardwatch {

namespace {

// A round file is a few KiB; a token a line.
constexpr std::size_t largestRoundFile = 1024 * 1024;
constexpr std::size_t largestTokenFile = 4096;
constexpr std::size_t shortestToken = 16;

}  // namespace

std::vector<Pairing> boardsOf(std::vector<Pairing> round, const std::vector<RelayAddress>& relays,
                              std::vector<std::string>& notes) {
    int next = 1;
    for (const Pairing& pairing : round) next = std::max(next, pairing.board + 1);
    const std::size_t fromFile = round.size();
    for (const RelayAddress& relay : relays) {
        const auto same = std::find_if(round.begin(), round.begin() + static_cast<long>(fromFile),
                                       [&](const Pairing& known) { return known.relay.identity() == relay.identity(); });
        if (same != round.begin() + static_cast<long>(fromFile)) {
            notes.push_back((boost::format("%1% is board %2% of the round: followed once") % relay.text % same->board).str());
            continue;
        }
        Pairing pairing;
        pairing.board = next++;
        pairing.relay = relay;
        round.push_back(std::move(pairing));
    }
    std::stable_sort(round.begin(), round.end(), [](const Pairing& a, const Pairing& b) { return a.board < b.board; });
    return round;
}

std::optional<std::string> tokenOf(const std::string& text, std::string& error) {
    std::string token = text.substr(0, text.find('\n'));
    while (!token.empty() && std::isspace(static_cast<unsigned char>(token.back()))) token.pop_back();
    token.erase(0, std::min(token.size(), token.find_first_not_of(" \t")));
    const bool fit = std::all_of(token.begin(), token.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::string_view("-._~+/=").find(c) != std::string_view::npos;
    });
    if (token.size() < shortestToken || !fit) {
        error = "the token is its first line: 16 or more letters, digits and -._~+/= (head -c 24 /dev/urandom | base64 "
                "makes one)";
        return std::nullopt;
    }
    return token;
}

std::optional<Hall> setUpHall(const Options& options, std::vector<std::string>& errors) {
    Hall hall;
    hall.notes = options.notes;
    std::vector<Pairing> round;
    std::string error;
    if (!options.roundFile.empty()) {
        const std::optional<std::string> text = readInputFile(options.roundFile, largestRoundFile, error);
        std::vector<std::string> bad;
        const std::optional<std::vector<Pairing>> read = text ? readRound(*text, bad) : std::nullopt;
        if (!text) errors.push_back(error);
        for (const std::string& row : bad) errors.push_back(options.roundFile + ": " + row);
        if (read) round = *read;
    }
    if (!options.tokenFile.empty()) {
        const std::optional<std::string> text = readInputFile(options.tokenFile, largestTokenFile, error);
        const std::optional<std::string> token = text ? tokenOf(*text, error) : std::nullopt;
        if (token) {
            hall.arbiterToken = *token;
        } else {
            errors.push_back(text ? options.tokenFile + ": " + error : error);
        }
    }
    if (!errors.empty()) return std::nullopt;
    hall.boards = boardsOf(std::move(round), options.relays, hall.notes);
    return hall;
}

}  // namespace boardwatch
