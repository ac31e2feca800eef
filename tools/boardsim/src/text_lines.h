#ifndef BOARDSIM_TEXT_LINES_H
#define BOARDSIM_TEXT_LINES_H

#include <cstddef>
#include <optional>
#include <string_view>

namespace boardsim {

// The lines of a text one after the other, read where they are.
class TextLines {
public:
    // The text must outlive the reader.
    explicit TextLines(std::string_view text) : text(text) {}

    // The next line without its line feed; empty at the end of the text.
    std::optional<std::string_view> next() {
        if (at == text.size()) return std::nullopt;
        const std::size_t end = text.find('\n', at);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        const std::string_view line = text.substr(at, stop - at);
        at = end == std::string_view::npos ? text.size() : end + 1;
        ++counted;
        return line;
    }
    // The number of the line given last, from 1.
    int number() const { return counted; }

private:
    std::string_view text;
    std::size_t at = 0;
    int counted = 0;
};

}  // namespace boardsim

#endif
