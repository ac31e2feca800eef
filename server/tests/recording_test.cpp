// Session recordings: the link's bytes and events and the program's lines
// with their times, and a disk that stalls or fails.
#include <gtest/gtest.h>

#include <boost/format.hpp>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <sstream>
#include <streambuf>

#include "console.h"
#include "recording_file.h"
#include "recording_format.h"
#include "session_recorder.h"
#ifdef RECORDING_DOCUMENT
#include "document_examples.h"
#endif

namespace {

using namespace std::chrono_literals;
using krvEBLowLevel::LinkEvent;
using Bytes = std::vector<unsigned char>;

TEST(RecordingFormat, LinesSayWhatCameWhenWithTheBytesInHexadecimalAndTheTextsAsTheConsoleShowsThem) {
    const Bytes read = {0x8E, 0x00, 0x05, 0x20, 0x00, 0x05, 0xFF};
    EXPECT_EQ(recording::boardLine(1261, read.data(), read.size()), "1261 board 8E 00 05 20 00 05 FF\n");
    const unsigned char request = 0x42;
    EXPECT_EQ(recording::hostLine(3, &request, 1), "3 host 42\n");
    EXPECT_EQ(recording::openLine(0, "/dev/ttyUSB0"), "0 open /dev/ttyUSB0\n");
    EXPECT_EQ(recording::closeLine(99), "99 close\n");
    EXPECT_EQ(recording::lostLine(7, "asio.misc:2"), "7 lost asio.misc:2\n");
    EXPECT_EQ(recording::failedLine(8, "/dev/ttyUSB0", "system:2"), "8 failed /dev/ttyUSB0: system:2\n");
    EXPECT_EQ(recording::programLine(12,
                                     "43\x1b"
                                     "2HELLO"),
              "12 program 43\\x1B2HELLO\n");
    EXPECT_EQ(recording::relayLine(13, "032."), "13 relay 032.\n");
    EXPECT_EQ(recording::relayLine(14, std::string(300, 'x')),
              "14 relay " + std::string(200, 'x') + "... (300 bytes)\n")
        << "a long line shortened, as on the console";
}

#ifdef RECORDING_DOCUMENT
// Each line of the document's example as the recorder writes it.
TEST(RecordingFormat, TheDocumentsExampleIsWhatTheRecorderWrites) {
    const std::vector<std::string> example = testing_support::exampleAfter(RECORDING_DOCUMENT, "## An example");
    ASSERT_GT(example.size(), 4u);
    std::string header;
    for (std::size_t i = 0; i < 4; ++i) header += example[i] + "\n";
    EXPECT_EQ(header, recording::headerLines("2026-12-09 17:26:27"));
    for (std::size_t i = 4; i < example.size(); ++i) {
        std::istringstream words(example[i]);
        long long ms = 0;
        std::string kind, rest;
        words >> ms >> kind;
        std::getline(words >> std::ws, rest);
        std::string written;
        if (kind == "board" || kind == "host") {
            Bytes bytes;
            std::istringstream hex(rest);
            for (unsigned value = 0; hex >> std::hex >> value;) bytes.push_back(static_cast<unsigned char>(value));
            written = kind == "board" ? recording::boardLine(ms, bytes.data(), bytes.size())
                                      : recording::hostLine(ms, bytes.data(), bytes.size());
        } else if (kind == "program") {
            written = recording::programLine(ms, rest);
        } else if (kind == "relay") {
            written = recording::relayLine(ms, rest);
        } else if (kind == "open") {
            written = recording::openLine(ms, rest);
        } else if (kind == "lost") {
            written = recording::lostLine(ms, rest);
        } else if (kind == "failed") {
            const std::size_t colon = rest.rfind(": ");
            written = recording::failedLine(ms, rest.substr(0, colon), rest.substr(colon + 2));
        } else {
            written = recording::closeLine(ms);
        }
        EXPECT_EQ(written, example[i] + "\n");
    }
}
#endif

TEST(SessionRecorder, RecordsEveryLinkEventAndLineWithItsTimeCountedFromTheStart) {
    auto now = std::chrono::steady_clock::time_point() + 5h;
    std::string written;
    SessionRecorder recorder([&written](std::string line) { written += line; }, [&now] { return now; });
    const auto event = [](LinkEvent::Kind kind, const Bytes& bytes = {}, std::string error = {}) {
        LinkEvent made(kind);
        made.bytes = bytes.data();
        made.count = bytes.size();
        made.port = "/dev/pts/3";
        made.error = std::move(error);
        return made;
    };
    const Bytes request = {0x42}, answer = {0x93, 0x00, 0x05, 0x01};
    now += 250ms;
    recorder.linkEvent(event(LinkEvent::Kind::openFailed, {}, "system:2"));
    recorder.toProgram("ERROR");
    now += 1s;
    recorder.linkEvent(event(LinkEvent::Kind::opened));
    recorder.fromProgram("66");
    recorder.linkEvent(event(LinkEvent::Kind::written, request));
    now += 55ms;
    recorder.linkEvent(event(LinkEvent::Kind::received, answer));
    recorder.linkEvent(event(LinkEvent::Kind::lost, {}, "asio.misc:2"));
    recorder.linkEvent(event(LinkEvent::Kind::closed));
    EXPECT_EQ(written,
              "250 failed /dev/pts/3: system:2\n250 relay ERROR\n1250 open /dev/pts/3\n1250 program 66\n"
              "1250 host 42\n1305 board 93 00 05 01\n1305 lost asio.misc:2\n1305 close\n");
}

// A disk the test holds up or lets fail.
class TestDisk : public std::streambuf {
public:
    void release(bool failing) {
        std::lock_guard<std::mutex> hold(lock);
        stalled = false;
        fails = failing;
        changed.notify_all();
    }
    std::string written() {
        std::lock_guard<std::mutex> hold(lock);
        return text;
    }

protected:
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait(hold, [this] { return !stalled; });
        if (fails) return 0;
        text.append(bytes, static_cast<std::size_t>(count));
        return count;
    }
    int overflow(int c) override {
        const char byte = static_cast<char>(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    bool stalled = true;
    bool fails = false;
    std::string text;
};

RecordingFile::Opener onto(TestDisk& disk) {
    return [&disk](std::string&) { return std::make_unique<std::ostream>(&disk); };
}

TEST(RecordingFile, AStalledDiskNeverHoldsUpTheCallerAndTheLostLinesAreNotedWhereTheyWent) {
    TestDisk disk;
    std::ostringstream console;
    redirectConsole(&console);
    {
        RecordingFile file(onto(disk), "test", 100);
        for (int i = 0; i < 50; ++i) file.add(str(boost::format("line %02d\n") % i));  // 8 bytes each
        disk.release(false);
    }
    redirectConsole(nullptr);
    // The lines kept, in order; each gap where lines went missing is noted
    // in its place with the number of lines lost there.
    std::istringstream written(disk.written());
    int expected = 0, kept = 0;
    for (std::string line; std::getline(written, line);) {
        int count = 0;
        if (std::sscanf(line.c_str(), "# %d lines lost here: the disk did not keep up", &count) == 1) {
            expected += count;
        } else {
            ASSERT_EQ(line, str(boost::format("line %02d") % expected));
            ++expected;
            ++kept;
        }
    }
    EXPECT_EQ(expected, 50);
    EXPECT_LT(kept, 50);
    EXPECT_EQ(console.str(), "");
}

TEST(RecordingFile, AFailingDiskIsReportedOnceAndTheRecordingEnds) {
    TestDisk disk;
    std::ostringstream console;
    redirectConsole(&console);
    {
        RecordingFile file(onto(disk), "session.rec");
        disk.release(true);
        for (int i = 0; i < 20; ++i) file.add("0 close\n");
    }
    redirectConsole(nullptr);
    EXPECT_EQ(console.str(), "*** error: writing the recording 'session.rec' failed: the recording ends here\n");
    EXPECT_EQ(disk.written(), "");
}

}  // namespace
