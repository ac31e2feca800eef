#include "board_console.h"

#include <utility>

#include "textio/descriptor_output.h"

namespace boardsim {

namespace {

// Text waiting longer than this goes to the writer even before a flush.
constexpr std::size_t handedOverAt = 64 * 1024;

}  // namespace

BoardConsole::BoardConsole()
    : writer(
          [](const std::string& texts) {
              // Standard output's descriptor itself: the writer's thread is
              // the only one that writes there.
              textio::writeToDescriptor(1, texts);
              return true;
          },
          {1024 * 1024, textio::WhenFull::dropOldest, [](std::size_t lines) {
               return "the console did not keep up: " + std::to_string(lines) + " lines dropped\n";
           }}) {}

void BoardConsole::finish(std::chrono::milliseconds patience) {
    out.flush();
    writer.finish(patience);
}

BoardConsole::Handoff::int_type BoardConsole::Handoff::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending += traits_type::to_char_type(c);
    if (pending.size() >= handedOverAt) sync();
    return c;
}

std::streamsize BoardConsole::Handoff::xsputn(const char* text, std::streamsize count) {
    pending.append(text, static_cast<std::size_t>(count));
    if (pending.size() >= handedOverAt) sync();
    return count;
}

int BoardConsole::Handoff::sync() {
    if (!pending.empty()) writer.add(std::exchange(pending, std::string()));
    return 0;
}

}  // namespace boardsim
