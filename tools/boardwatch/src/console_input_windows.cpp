// Windows: standard input read on a detached thread, which ends at the end
// of input or when the process does. A console is read as UTF-16 and
// handed on as UTF-8, whatever the console's code page; a pipe or a file
// as its bytes.
// Asio's headers first: they bring Winsock 2 before <windows.h> would bring
// the old Winsock.
#include "console_input.h"

#include <windows.h>

#include <system_error>
#include <thread>

#include "wide_text.h"

namespace boardwatch {

namespace {

void readConsole(HANDLE console, const std::function<void(std::string_view bytes)>& take) {
    wchar_t buffer[1024];
    // The first half of a character that a read cut in two.
    std::wstring pending;
    for (;;) {
        DWORD got = 0;
        if (!::ReadConsoleW(console, buffer, sizeof buffer / sizeof buffer[0], &got, nullptr)) return;
        // Ctrl-C while a line was typed: nothing came, and input goes on.
        if (got == 0) {
            if (::GetLastError() == ERROR_OPERATION_ABORTED) continue;
            return;
        }
        pending.append(buffer, got);
        std::wstring_view whole(pending);
        if (IS_HIGH_SURROGATE(whole.back())) whole.remove_suffix(1);
        take(utf8Of(whole));
        pending.erase(0, whole.size());
    }
}

void readBytes(HANDLE input, const std::function<void(std::string_view bytes)>& take) {
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(input, buffer, sizeof buffer, &got, nullptr) || got == 0) return;
        take(std::string_view(buffer, got));
    }
}

}  // namespace

bool readStandardInput(std::function<void(std::string_view bytes)> take) {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return true;
    try {
        std::thread([input, take = std::move(take)] {
            DWORD mode = 0;
            if (::GetConsoleMode(input, &mode)) {
                readConsole(input, take);
            } else {
                readBytes(input, take);
            }
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace boardwatch
