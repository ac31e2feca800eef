#ifndef BOARDWATCH_GAME_FILE_H
#define BOARDWATCH_GAME_FILE_H

// The few file operations the games' writer needs, each platform's own: a
// file made only where no file is, or one opened again that must be a
// regular file; neither ever follows a link or waits on what another
// program put under the name (a FIFO).

#include <cstddef>
#include <cstdint>
#include <string>

namespace boardwatch {

using FileHandle = std::intptr_t;
constexpr FileHandle noFile = -1;

enum class Creation { Made, Taken, Failed };

// A new, empty file; Taken when anything is there under that name.
Creation createGameFile(const std::string& path, FileHandle& file, std::string& why);
// The file again (made anew if it went); refused when it is no regular file.
bool reopenGameFile(const std::string& path, FileHandle& file, std::string& why);
// All of text written at offset `at`, then the file cut to its end when
// cut is true.
bool writeGameFile(FileHandle file, const std::string& text, std::size_t at, bool cut, std::string& why);
void closeGameFile(FileHandle file);

// Empty when files can be made in the folder, or why not.
std::string checkFolder(const std::string& folder);

}  // namespace boardwatch

#endif
