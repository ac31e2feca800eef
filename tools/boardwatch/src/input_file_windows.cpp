// Windows: opened for reading while others may write, rename or delete the
// file, as on POSIX systems; a device (CON, NUL, COM1 in any folder) or a
// folder is refused, and a link is not followed unless asked.
#include <windows.h>

#include "input_file.h"
#include "wide_text.h"

namespace boardwatch {

std::optional<std::string> readInputFile(const std::string& path, std::size_t largest, std::string& error,
                                         bool followLinks) {
    const HANDLE file = ::CreateFileW(wideOf(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot read " + path + ": " + lastErrorText();
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    std::optional<std::string> content;
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        error = path + " is no regular file";
    } else if (!::GetFileInformationByHandle(file, &information)) {
        error = "cannot read " + path + ": " + lastErrorText();
    } else if ((information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        error = path + " is no regular file";
    } else if ((static_cast<unsigned long long>(information.nFileSizeHigh) << 32 | information.nFileSizeLow) >
               largest) {
        error = path + " is larger than " + std::to_string(largest / 1024) + " KiB, more than boardwatch reads";
    } else {
        content.emplace(information.nFileSizeLow, '\0');
        std::size_t got = 0;
        while (got < content->size()) {
            DWORD count = 0;
            if (!::ReadFile(file, content->data() + got, static_cast<DWORD>(content->size() - got), &count, nullptr)) {
                error = "cannot read " + path + ": " + lastErrorText();
                content.reset();
                break;
            }
            // A file that shrank while it was read.
            if (count == 0) break;
            got += count;
        }
        if (content) content->resize(got);
    }
    ::CloseHandle(file);
    return content;
}

}  // namespace boardwatch
