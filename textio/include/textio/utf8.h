#ifndef TEXTIO_UTF8_H
#define TEXTIO_UTF8_H

#include <cstddef>
#include <string>
#include <string_view>

namespace textio {

// The length (2 to 4) of the well-formed UTF-8 sequence of more than one
// byte that starts at text[at], or 0 when none starts there: overlong forms,
// surrogates and code points beyond U+10FFFF are not well-formed.
std::size_t utf8SequenceAt(std::string_view text, std::size_t at);

// The text with every byte that is not part of well-formed UTF-8 replaced by
// U+FFFD, so that a peer's bytes can go into JSON, a page or a file that
// promises UTF-8. Well-formed text comes back unchanged.
std::string validUtf8(std::string_view text);

}  // namespace textio

#endif
