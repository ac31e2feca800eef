// Session recordings: the frames as the driver passes them on, the lines
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
using recording::Bytes;

std::shared_ptr<krvEBLowLevel::Message> messageOf(const Bytes& frame) {
    std::vector<unsigned char> buffer(krvEBLowLevel::frameCapacity, 0);
    std::copy(frame.begin(), frame.end(), buffer.begin());
    return krvEBLowLevel::createMessage(buffer.data());
}

TEST(RecordingFormat, EveryFrameComesBackAsTheBoardSentIt) {
    struct Case {
        const char* what;
        Bytes frame;
        int notKept = 0;  // the driver keeps less; written as 0
    };
    const Case cases[] = {
        {"field update", {0x8E, 0x00, 0x05, 23, 1}},
        {"board dump, key 20", [] {
             Bytes frame{0x94, 0x00, 0x35};
             frame.resize(0x35, 7);
             return frame;
         }()},
        {"clock acknowledgement with high bits", {0x8D, 0x00, 0x0A, 0x3A, 0x10, 0x08, 0x10, 0x00, 0x05, 0x00}},
        {"clock times", {0x8D, 0x00, 0x0A, 0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0x00}},
        {"stored moves", {0x8F, 0x00, 0x07, 32, 28, 19, 23}},
        {"version", {0x93, 0x00, 0x05, 1, 0}},
        {"long serial number", {0xA1, 0x00, 0x0D, 'V', 'B', '0', '0', '0', '0', '0', '0', '0', '1'}},
        {"battery", {0xA0, 0x00, 0x0C, 95, 12, 30, 0, 0, 0, 0, 0, 0}, 5},
    };
    for (const Case& c : cases) {
        const auto message = messageOf(c.frame);
        ASSERT_TRUE(message) << c.what;
        int notKept = -1;
        EXPECT_EQ(recording::frameOf(*message, notKept), c.frame) << c.what;
        EXPECT_EQ(notKept, c.notKept) << c.what;
    }
}

TEST(RecordingFormat, LinesSayWhatCameWhenAndBoardLinesShowTheProgramsLine) {
    auto fieldUpdate = messageOf({0x8E, 0x00, 0x05, 32, 0});
    EXPECT_EQ(recording::boardLine(1261, *fieldUpdate), "1261 board 8E 00 05 20 00  # 032.\n");
    auto error = messageOf({0xFF, 0x00, 0x0A, '0', '2', '0', ' ', 'N', 'o', '!'});
    EXPECT_EQ(recording::boardLine(7, *error), "7 error ERROR: 255 : 020 No!\n");
    EXPECT_EQ(recording::programLine(12, "43\x1b" "2HELLO"), "12 program 43\\x1B2HELLO\n");
    EXPECT_EQ(recording::openLine(0, "/dev/ttyUSB0"), "0 open /dev/ttyUSB0\n");
    EXPECT_EQ(recording::closeLine(99), "99 close\n");
}

#ifdef RECORDING_DOCUMENT
// Each line of the document's example as the recorder writes it.
TEST(RecordingFormat, TheDocumentsExampleIsWhatTheRecorderWrites) {
    const std::vector<std::string> example = testing_support::exampleAfter(RECORDING_DOCUMENT, "## An example");
    ASSERT_GT(example.size(), 3u);
    std::string header;
    for (std::size_t i = 0; i < 3; ++i) header += example[i] + "\n";
    EXPECT_EQ(header, recording::headerLines("2026-12-09 17:26:27"));
    for (std::size_t i = 3; i < example.size(); ++i) {
        std::istringstream words(example[i]);
        long long ms = 0;
        std::string kind, rest;
        words >> ms >> kind;
        std::getline(words >> std::ws, rest);
        std::string written;
        if (kind == "board") {
            Bytes frame;
            std::istringstream bytes(rest.substr(0, rest.find('#')));
            for (unsigned value = 0; bytes >> std::hex >> value;) frame.push_back(static_cast<unsigned char>(value));
            written = recording::boardLine(ms, *messageOf(frame));
        } else if (kind == "error") {
            const std::string report = rest.substr(std::string("ERROR: 255 : ").size());
            Bytes frame{0xFF, 0, static_cast<unsigned char>(report.size() + 3)};
            frame.insert(frame.end(), report.begin(), report.end());
            written = recording::boardLine(ms, *messageOf(frame));
        } else if (kind == "program") {
            written = recording::programLine(ms, rest);
        } else if (kind == "open") {
            written = recording::openLine(ms, rest);
        } else {
            written = recording::closeLine(ms);
        }
        EXPECT_EQ(written, example[i] + "\n");
    }
}
#endif

TEST(SessionRecorder, TimesCountFromTheStartOfTheRecording) {
    auto now = std::chrono::steady_clock::time_point() + 5h;
    std::string written;
    SessionRecorder recorder([&written](std::string line) { written += line; }, [&now] { return now; });
    now += 250ms;
    recorder.boardOpening("/dev/pts/3");
    now += 1s;
    recorder.fromProgram("66");
    now += 55ms;
    recorder.fromBoard(*messageOf({0x93, 0x00, 0x05, 1, 0}));
    recorder.boardClosed();
    EXPECT_EQ(written, "250 open /dev/pts/3\n1250 program 66\n1305 board 93 00 05 01 00  # 01.00\n1305 close\n");
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
