#ifndef BOARDWATCH_WIDE_TEXT_H
#define BOARDWATCH_WIDE_TEXT_H

// Windows only: boardwatch keeps its text, paths among them, in UTF-8, and
// Windows takes and gives names and errors in UTF-16.

#include <string>
#include <string_view>

namespace boardwatch {

std::wstring wideOf(std::string_view utf8);
std::string utf8Of(std::wstring_view wide);
// What the last failed Windows call says went wrong.
std::string lastErrorText();

}  // namespace boardwatch

#endif
