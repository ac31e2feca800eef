// Windows: CreateFileW without following links (the name's own reparse
// point is opened, and refused), writes at an offset, the end set by hand.
// Others may read a game's file while it is written, and delete or rename
// it, as on POSIX systems; none may write it meanwhile.
#include <windows.h>

#include "game_file.h"
#include "wide_text.h"

namespace boardwatch {

namespace {

HANDLE handleOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

HANDLE openGameFile(const std::string& path, DWORD disposition, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    return ::CreateFileW(wideOf(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         disposition, attributes | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// A file on a disk, and no link: not a device that a name such as CON or
// NUL opens in any folder, nor a link to somewhere else.
bool regularFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &information) &&
           (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

}  // namespace

Creation createGameFile(const std::string& path, FileHandle& file, std::string& why) {
    const HANDLE made = openGameFile(path, CREATE_NEW);
    if (made == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return Creation::Taken;
        why = lastErrorText();
        return Creation::Failed;
    }
    if (!regularFile(made)) {
        ::CloseHandle(made);
        return Creation::Taken;
    }
    file = reinterpret_cast<FileHandle>(made);
    return Creation::Made;
}

bool reopenGameFile(const std::string& path, FileHandle& file, std::string& why) {
    const HANDLE opened = openGameFile(path, OPEN_ALWAYS);
    if (opened == INVALID_HANDLE_VALUE) {
        why = lastErrorText();
        return false;
    }
    if (!regularFile(opened)) {
        ::CloseHandle(opened);
        why = "it is no regular file";
        return false;
    }
    file = reinterpret_cast<FileHandle>(opened);
    return true;
}

bool writeGameFile(FileHandle file, const std::string& text, std::size_t at, bool cut, std::string& why) {
    while (at < text.size()) {
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(at) >> 32);
        const std::size_t left = text.size() - at;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(handleOf(file), text.data() + at, chunk, &written, &where)) {
            why = lastErrorText();
            return false;
        }
        if (written == 0) {
            why = "nothing was written";
            return false;
        }
        at += written;
    }
    if (cut) {
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = static_cast<LONGLONG>(text.size());
        if (!::SetFileInformationByHandle(handleOf(file), FileEndOfFileInfo, &end, sizeof end)) {
            why = lastErrorText();
            return false;
        }
    }
    return true;
}

void closeGameFile(FileHandle file) {
    if (file != noFile) ::CloseHandle(handleOf(file));
}

std::string checkFolder(const std::string& folder) {
    // A probe that goes when it is closed, under a name no game has and
    // no other file has either.
    const std::string probe = folder + "/.boardwatch-probe-" + std::to_string(::GetCurrentProcessId()) + "-";
    for (int attempt = 1;; ++attempt) {
        const HANDLE made = openGameFile(probe + std::to_string(attempt), CREATE_NEW,
                                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
        if (made != INVALID_HANDLE_VALUE) {
            ::CloseHandle(made);
            return "";
        }
        if (::GetLastError() != ERROR_FILE_EXISTS || attempt == 100) {
            return "cannot write in " + folder + ": " + lastErrorText();
        }
    }
}

}  // namespace boardwatch
