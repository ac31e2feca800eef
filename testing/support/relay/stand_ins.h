#ifndef DAMRELAY_TESTS_STAND_INS_H
#define DAMRELAY_TESTS_STAND_INS_H

// Stand-ins for the board's driver and the program's connection, recording
// what the relay does with them.

#include <boost/system/system_error.hpp>
#include <string>
#include <utility>
#include <vector>

#include "board_driver.h"
#include "console.h"
#include "line_sink.h"

namespace testing_support {

using Bytes = std::vector<unsigned char>;

// What the relay did with its drivers, in order.
struct DriverRecord {
    std::vector<std::string> events;
    std::vector<Bytes> commands;
    std::string failingDevice;  // open() on this device fails as a missing device does
};

class RecordingDriver : public BoardDriver {
public:
    RecordingDriver(DriverRecord& record, std::string device) : record(record), device(std::move(device)) {
        record.events.push_back("make " + this->device);
    }
    ~RecordingDriver() override { record.events.push_back("delete " + device); }
    void attach(krvEBLowLevel::SingleBoardObserver*) override { record.events.push_back("attach"); }
    void detach(krvEBLowLevel::SingleBoardObserver*) override { record.events.push_back("detach"); }
    void open() override {
        record.events.push_back("open");
        if (device == record.failingDevice) {
            throw boost::system::system_error(make_error_code(boost::system::errc::no_such_file_or_directory), "open");
        }
    }
    void close() override { record.events.push_back("close"); }
    void sendCommand(krvEBLowLevel::Command* command) override {
        const unsigned char* data = command->getData();
        record.commands.emplace_back(data, data + command->size);
    }
    krvEBLowLevel::krvCommState getState() override { return krvEBLowLevel::COMM_IDLE; }

private:
    DriverRecord& record;
    std::string device;
};

// A program that takes every line.
class RecordingProgram : public LineSink {
public:
    bool sendLine(const std::string& text) override {
        writeConsole("send: '" + text + "'\n");
        lines.push_back(text);
        return true;
    }
    std::vector<std::string> lines;
};

}  // namespace testing_support

#endif
