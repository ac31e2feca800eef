#include "pdn_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace boardwatch {

namespace {

bool exists(const std::string& file) { return std::ifstream(file).is_open(); }

std::string digitsOf(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    }
    return digits;
}

}  // namespace

std::string fileNameOf(const std::string& board, const Stamp& began) {
    std::string name;
    for (char c : board) {
        const bool kept = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
        name += kept ? c : '-';
    }
    return name + "-" + digitsOf(began.date) + "-" + digitsOf(began.time);
}

PdnFolder::PdnFolder(std::string path) : path(std::move(path)) {}

std::string PdnFolder::check() const {
    const std::string probe = path + "/.boardwatch-probe";
    std::ofstream out(probe);
    if (!out.is_open()) return std::string("cannot write in ") + path + ": " + std::strerror(errno);
    out.close();
    std::remove(probe.c_str());
    return "";
}

std::string PdnFolder::write(GameRecord& game) const {
    if (game.fileName.empty()) {
        // A game begun in the same second, or a file an earlier run left,
        // keeps its own file.
        const std::string base = fileNameOf(game.board(), game.began());
        game.fileName = base + ".pdn";
        for (int second = 2; exists(path + "/" + game.fileName); ++second) {
            game.fileName = base + "-" + std::to_string(second) + ".pdn";
        }
    }
    // Rewritten in place: the file only grows as moves are added, and a
    // new file a move (written beside it and renamed over it) would cost
    // the file system an inode each time, the most of what boardwatch does
    // in a hall.
    const std::string file = path + "/" + game.fileName;
    const std::string text = game.pdn();
    const int out = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (out < 0) return "cannot write " + file + ": " + std::strerror(errno);
    const bool written = ::pwrite(out, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()) &&
                         ::ftruncate(out, static_cast<off_t>(text.size())) == 0;
    const std::string failure = written ? "" : "cannot write " + file + ": " + std::strerror(errno);
    ::close(out);
    return failure;
}

}  // namespace boardwatch
