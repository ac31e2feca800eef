#ifndef TEXTIO_CONSOLE_TEXT_H
#define TEXTIO_CONSOLE_TEXT_H

#include <string>
#include <string_view>

namespace textio {

// A peer's text as it goes onto a console: the operator's terminal must not
// act on it. Control characters (C0, DEL, C1 as UTF-8 encodes them, and
// bytes 0x80 to 0x9F that are not part of well-formed UTF-8) are written as
// \xNN; everything else stays as it came.
std::string escapedForConsole(std::string_view text);

}  // namespace textio

#endif
