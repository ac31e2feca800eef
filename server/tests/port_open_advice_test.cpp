#include "port_open_advice.h"

#include <grp.h>
#include <pwd.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <boost/system/error_code.hpp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;
using boost::system::errc::make_error_code;

namespace {

const std::string noDevices = "--no serial devices found (a USB adapter appears as /dev/ttyUSB0 or /dev/ttyACM0)\n";

// A /dev of our own: the advice lists what it finds there.
class DevRoot {
public:
    DevRoot() {
        std::string pattern = (fs::temp_directory_path() / "port-advice-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~DevRoot() { fs::remove_all(path); }

    std::string make(const std::string& name) const {
        const fs::path node = fs::path(path) / name;
        fs::create_directories(node.parent_path());
        std::ofstream{node};
        return node.string();
    }

    std::string path;
};

std::string groupName(gid_t id) {
    const group* entry = getgrgid(id);
    return entry != nullptr ? entry->gr_name : std::to_string(id);
}

}  // namespace

TEST(PortOpenAdviceTest, ListsTheSerialDevicesItCanSee) {
    struct Case {
        const char* name;
        std::vector<std::string> nodes;
        std::string device;  // under root
        std::string expected;  // with R for root
    };
    const Case cases[] = {
        {"Nothing", {}, "/ttyUSB0", noDevices},
        {"BuiltInPortsAloneCountAsNothing", {"ttyS0", "ttyS1", "tty0"}, "/ttyS2", noDevices},
        {"StableNamesFirstThenUsbThenAcm",
         {"ttyACM0", "ttyUSB1", "ttyUSB0", "ttyS0", "serial/by-id/usb-Maker_Adapter_A1-if00-port0"},
         "/ttyUSB3",
         "--serial devices here: R/serial/by-id/usb-Maker_Adapter_A1-if00-port0, R/ttyUSB0, R/ttyUSB1, R/ttyACM0\n"},
        {"BuiltInPortAsksForMap",
         {"ttyUSB0"},
         "/ttyS2",
         "--serial devices here: R/ttyUSB0\n"
         "--to use one of them, start damrelay with --map COM<n>=R/ttyUSB0 before its other arguments\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DevRoot dev;
        const std::string& root = dev.path;
        for (const std::string& node : c.nodes) dev.make(node);
        std::string expected = c.expected;
        // The search goes on after each root put in: a root may end in R itself.
        for (std::string::size_type at = 0; (at = expected.find("R/", at)) != std::string::npos; at += root.size()) {
            expected.replace(at, 1, root);
        }
        EXPECT_EQ(portOpenAdvice(root + c.device, make_error_code(boost::system::errc::no_such_file_or_directory), root),
                  expected);
    }
}

// A /dev holding one device, read and written by its group, that the user
// was refused.
class PermissionAdviceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(chmod(device.c_str(), 0660), 0); }

    const DevRoot dev;
    const std::string& root = dev.path;
    const std::string device = dev.make("ttyUSB0");
    const boost::system::error_code denied = make_error_code(boost::system::errc::permission_denied);
    const std::string listing = "--serial devices here: " + device + "\n";
};

TEST_F(PermissionAdviceTest, NamesTheDevicesGroup) {
    // A group the process has already: joining it again would not help.
    EXPECT_EQ(portOpenAdvice(device, denied, root), "--'" + device + "' belongs to group '" + groupName(getegid()) +
                                                        "' (mode 660), which this user is in already\n" + listing);
    // A group without read and write rights is no use to join.
    ASSERT_EQ(chmod(device.c_str(), 0600), 0);
    EXPECT_EQ(portOpenAdvice(device, denied, root),
              "--'" + device + "' (mode 600) lets only its owner '" + getpwuid(geteuid())->pw_name +
                  "' read and write it\n" + listing);
    // Only a permission error is about groups.
    EXPECT_EQ(portOpenAdvice(device, make_error_code(boost::system::errc::device_or_resource_busy), root), listing);
    // A device that is gone by now has no group to tell of.
    EXPECT_EQ(portOpenAdvice(root + "/ttyUSB9", denied, root), listing);
}

TEST_F(PermissionAdviceTest, OfAGroupTheUserLacksSaysJoinIt) {
    // Only root may hand a file to a group it is not in.
    std::vector<gid_t> own(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)) + 1);
    own.resize(static_cast<std::size_t>(std::max(getgroups(static_cast<int>(own.size()), own.data()), 0)));
    own.push_back(getegid());
    gid_t other = 1;
    while (std::find(own.begin(), own.end(), other) != own.end()) ++other;
    if (chown(device.c_str(), static_cast<uid_t>(-1), other) != 0) GTEST_SKIP() << "cannot give a file away";
    const std::string user = getpwuid(getuid())->pw_name;
    EXPECT_EQ(portOpenAdvice(device, denied, root), "--'" + device + "' belongs to group '" + groupName(other) +
                                                        "': join it (sudo adduser " + user + " " + groupName(other) +
                                                        ") and log in again\n" + listing);
}
