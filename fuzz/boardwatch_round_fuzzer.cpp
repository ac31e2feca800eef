// Any bytes as a round file, read as boardwatch reads one: every board it
// takes has a number, a relay and names a tag can hold, no number or relay
// twice, and a game's file name that is safe on every file system; a file
// it refuses says why, line by line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game_file_name.h"
#include "require.h"
#include "round_file.h"
#include "textio/utf8.h"

using namespace boardwatch;

namespace {

void checkFileName(const std::string& name) {
    require(!name.empty() && name.size() <= 200, "a file name is there, and short");
    require(textio::validUtf8(name) == name, "a file name is UTF-8");
    require(name.find_first_of("<>:\"/\\|?*") == std::string::npos, "a file name holds no character Windows refuses");
    for (const char c : name) require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "no control character");
    require(name.front() != '.' && name.back() != '.' && name.back() != ' ', "no hidden name, no trailing dot");
    require(notADevice(name) == name, "no device's name");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> errors;
    const std::optional<std::vector<Pairing>> round = readRound(text, errors);
    require(round.has_value() == errors.empty(), "a refused file says why, a taken one has nothing to say");
    for (const std::string& error : errors) require(textio::validUtf8(error) == error, "a reason is UTF-8");
    if (!round) return 0;
    RoundTags tags;
    tags.round = round->empty() ? "?" : round->front().white;
    for (const Pairing& pairing : *round) {
        require(pairing.board >= 1 && pairing.board <= highestBoard, "a board's number is one");
        for (const std::string* name : {&pairing.white, &pairing.black}) {
            require(!name->empty() && name->size() <= longestName && textio::validUtf8(*name) == *name,
                    "a name is a tag's text");
        }
        checkFileName(gameFileBase(tags, {pairing.board, pairing.white, pairing.black}, highestBoard, "2026.12.09"));
    }
    return 0;
}
