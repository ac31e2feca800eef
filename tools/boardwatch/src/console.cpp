#include "console.h"

#include "textio/console_text.h"
#include "textio/descriptor_output.h"

namespace boardwatch {

Console::Console(int descriptor)
    : writer(
          [descriptor](const std::string& texts) {
              textio::writeToDescriptor(descriptor, texts);
              return true;
          },
          {waitingLimit, textio::WhenFull::dropOldest, [](std::size_t lines) {
               return "(" + std::to_string(lines) + " lines dropped: the console was not read)\n";
           }}) {}

void Console::line(const std::string& text) { writer.add(textio::escapedForConsole(text) + "\n"); }

}  // namespace boardwatch
