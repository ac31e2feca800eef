// The clock display command built from whatever a program asks to show: any
// bytes of any length, any dots value and either beep setting. Every byte the
// link would send is read, and the block must keep the clock's layout.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "boardio/commands.h"
#include "require.h"

using namespace krvEBLowLevel;

namespace {

// Where the bytes read go, so that the reads stay in the build.
volatile unsigned char sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The provider takes numbers from the end: a seed is the text, then a
    // beep byte, then four bytes of dots.
    FuzzedDataProvider input(data, size);
    const int dots = input.ConsumeIntegral<int>();
    const bool beep = input.ConsumeBool();
    const std::string text = input.ConsumeRemainingBytesAsString();

    CmdClockMessage command(text, dots, beep);
    // The link sends `size` bytes from getData(): all of them must be there.
    require(command.size == static_cast<short>(sizeof command.data), "getData() holds size bytes");
    const unsigned char* bytes = command.getData();
    for (short i = 0; i < command.size; ++i) sink = bytes[i];
    // Code, count of the bytes after byte 1, start byte, display sub-command.
    require(bytes[0] == KRV_CMD_CLOCK_MESSAGE && bytes[1] == command.size - 2 && bytes[2] == 0x03 &&
                bytes[3] == KRV_CLOCK_DISPLAY,
            "the block starts as every clock display command");
    return 0;
}
