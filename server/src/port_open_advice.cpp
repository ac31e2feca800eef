#include "port_open_advice.h"

bool heldByAnotherProgram(const boost::system::error_code& error) {
#if defined(_WIN32)
    // Windows opens a COM port for one process only, and refuses the next
    // one access.
    return error == boost::system::errc::permission_denied;
#else
    // Busy: another opener took the device exclusively (TIOCEXCL); would
    // block: it holds the lock every instance of the driver takes.
    return error == boost::system::errc::device_or_resource_busy ||
           error == boost::system::errc::resource_unavailable_try_again ||
           error == boost::system::errc::operation_would_block;
#endif
}

#if defined(_WIN32)

std::string portOpenAdvice(const std::string&, const boost::system::error_code&) { return {}; }

std::string portOpenAdvice(const std::string&, const boost::system::error_code&, const std::string&) { return {}; }

#else

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <boost/format.hpp>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Names under dir that start with prefix (all names for an empty prefix),
// sorted; nothing when dir cannot be read.
std::vector<std::string> entriesOf(const fs::path& dir, const std::string& prefix) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::directory_iterator entry(dir, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) == 0) found.push_back(entry->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The stable names first: they survive re-plugging and a second adapter.
// The 32 /dev/ttyS* nodes exist whether or not a port is behind them, so
// listing them would tell nothing.
std::vector<std::string> serialDevicesUnder(const std::string& devRoot) {
    std::vector<std::string> devices = entriesOf(fs::path(devRoot) / "serial" / "by-id", "");
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        const std::vector<std::string> more = entriesOf(devRoot, prefix);
        devices.insert(devices.end(), more.begin(), more.end());
    }
    return devices;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

bool processHasGroup(gid_t group) {
    if (getegid() == group) return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = getgroups(count, groups.data());
    return filled > 0 && std::find(groups.begin(), groups.begin() + filled, group) != groups.begin() + filled;
}

std::string userName(uid_t id) {
    const passwd* user = getpwuid(id);
    return user != nullptr ? user->pw_name : std::to_string(id);
}

// Device nodes refuse users outside the group that owns them (dialout on
// Debian); membership counts only from the next login on. Joining helps
// only where the group may read and write.
std::string permissionAdvice(const std::string& device) {
    struct stat status {};
    if (stat(device.c_str(), &status) != 0) return {};
    const unsigned mode = status.st_mode & 07777;
    if ((mode & 0060) != 0060) {
        return str(boost::format("--'%1%' (mode %2$o) lets only its owner '%3%' read and write it\n") % device % mode %
                   userName(status.st_uid));
    }
    const group* owner = getgrgid(status.st_gid);
    const std::string groupName = owner != nullptr ? owner->gr_name : std::to_string(status.st_gid);
    if (processHasGroup(status.st_gid)) {
        return str(boost::format("--'%1%' belongs to group '%2%' (mode %3$o), which this user is in already\n") %
                   device % groupName % mode);
    }
    const passwd* user = getpwuid(getuid());
    return str(boost::format("--'%1%' belongs to group '%2%': join it (sudo adduser %3% %2%) and log in again\n") %
               device % groupName % (user != nullptr ? user->pw_name : "$USER"));
}

}  // namespace

std::string portOpenAdvice(const std::string& device, const boost::system::error_code& error) {
    return portOpenAdvice(device, error, "/dev");
}

std::string portOpenAdvice(const std::string& device, const boost::system::error_code& error,
                           const std::string& devRoot) {
    std::string advice;
    if (error == boost::system::errc::permission_denied) advice += permissionAdvice(device);
    const std::vector<std::string> devices = serialDevicesUnder(devRoot);
    if (devices.empty()) {
        return advice + "--no serial devices found (a USB adapter appears as /dev/ttyUSB0 or /dev/ttyACM0)\n";
    }
    advice += str(boost::format("--serial devices here: %1%\n") % joined(devices));
    // COM<n> names a built-in port; a board on a USB adapter needs --map.
    if (device.rfind(devRoot + "/ttyS", 0) == 0 &&
        std::find(devices.begin(), devices.end(), device) == devices.end()) {
        advice += str(boost::format("--to use one of them, start damrelay with --map COM<n>=%1% before its other "
                                    "arguments\n") %
                      devices.front());
    }
    return advice;
}

#endif
