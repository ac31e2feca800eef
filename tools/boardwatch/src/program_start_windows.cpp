// Windows gives main() its arguments in the ANSI code page, which cannot
// hold every name: they are taken from the wide command line instead. The
// console shows its own code page unless told UTF-8; it is told so for
// boardwatch's run, and given its own back at the end.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "program_start.h"
#include "wide_text.h"

namespace boardwatch {

namespace {

UINT consoleCodePage = 0;

void restoreConsoleCodePage() { ::SetConsoleOutputCP(consoleCodePage); }

}  // namespace

std::vector<std::string> startProgram(int argc, char** argv) {
    consoleCodePage = ::GetConsoleOutputCP();
    if (consoleCodePage != 0 && consoleCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) {
        std::atexit(restoreConsoleCodePage);
    }
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (words == nullptr) return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(utf8Of(words[i]));
    ::LocalFree(words);
    return arguments;
}

}  // namespace boardwatch
