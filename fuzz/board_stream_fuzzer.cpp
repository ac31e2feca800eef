// The board's side of the link: any bytes the serial port may deliver, cut
// into frames as the link cuts them, decoded where the cutter keeps them, and
// every message used the way an observer may use it. Error reports take the
// path the link gives them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "boardio/messages.h"
#include "frame_cutter.h"
#include "link_error.h"
#include "require.h"

using namespace krvEBLowLevel;

namespace {

// Exactly as many values as the largest frame has bytes: the most any class
// may copy out, so AddressSanitizer sees a copy that goes further.
std::vector<short>& rawBuffer() {
    static std::vector<short> buffer(frameCapacity);
    return buffer;
}

void useMessage(Message& message, int frameSize) {
    std::string text;
    message.getText(text);
    std::string dump;
    message.getHexDump(dump);
    message.getRawData(rawBuffer().data());
    require(message.getSize() == frameSize, "getSize() is the frame's size");

    // The copy must say what the original says. Its hex dump is left out:
    // dumps of large frames cost more than all the rest.
    std::unique_ptr<Message> copy(message.clone());
    require(copy != nullptr && copy->getSize() == frameSize, "clone() keeps the size");
    std::string copyText;
    copy->getText(copyText);
    require(copyText == text, "clone() keeps the text");
}

void reportError(const LinkError& error) {
    const std::string report = describe(error);
    MsgError message(report);
    std::string text;
    message.getText(text);
    require(text.find(report) != std::string::npos, "an error message shows its text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte sets how much a read brings at most, as reads of
    // whatever has arrived do (0: all that is left at once).
    const std::size_t piece = data[0] == 0 ? SIZE_MAX : data[0];
    FrameCutter cutter;
    // An error report depends on its kind and length alone, and random bytes
    // make thousands of the same few: each kind is checked once, a run of
    // stray bytes when the stream ends it.
    bool badSizeReported = false;
    std::size_t strayRun = 0;
    std::size_t offset = 1;
    while (offset < size) {
        const std::size_t end = std::min(size, offset + std::min(piece, size - offset));
        while (offset < end) {
            const FrameCutter::Step step = cutter.take(data + offset, end - offset);
            require(step.used >= 1 && step.used <= end - offset, "a step takes what it was given, at least a byte");
            offset += step.used;
            if (step.made == FrameCutter::Made::strayByte) ++strayRun;
            if (step.made == FrameCutter::Made::badSize && !badSizeReported) {
                badSizeReported = true;
                reportError(LinkError{LinkError::Kind::badSize});
            }
            if (step.made != FrameCutter::Made::frame) continue;
            // A frame is the last bytes read, as they came: none skipped,
            // none borrowed from the next frame.
            const int frameSize = cutter.frameSize();
            require(frameSize >= 3 && frameSize <= frameCapacity && static_cast<std::size_t>(frameSize) <= offset,
                    "a frame's size is 3 to frameCapacity and no more than was read");
            require(std::memcmp(cutter.frame(), data + offset - frameSize, static_cast<std::size_t>(frameSize)) == 0,
                    "a frame is the last bytes read");
            // Decoded from a buffer exactly as long as the decoders may read,
            // so that AddressSanitizer sees one that reads further.
            const std::size_t readable =
                static_cast<std::size_t>(std::max(frameSize, static_cast<int>(FrameCutter::decoderReach)));
            std::vector<unsigned char> exact(cutter.frame(), cutter.frame() + readable);
            std::shared_ptr<Message> message = createMessage(exact.data());
            if (message != nullptr) useMessage(*message, frameSize);
        }
    }
    if (strayRun != 0) reportError(LinkError{LinkError::Kind::strayBytes, {}, strayRun});
    return 0;
}
