// Decoding cost per board frame: createMessage plus getText, the work the
// driver and the relay do for every frame, for each common kind of frame.
#include <boardio/boardio.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace krvEBLowLevel;

namespace {

std::vector<unsigned char> frameBuffer(unsigned char id, const std::vector<unsigned char>& payload) {
    std::vector<unsigned char> frame(frameCapacity, 0);
    const int size = static_cast<int>(payload.size()) + 3;
    frame[0] = id;
    frame[1] = static_cast<unsigned char>((size >> 7) & 0x7F);
    frame[2] = static_cast<unsigned char>(size & 0x7F);
    for (std::size_t i = 0; i < payload.size(); ++i) frame[3 + i] = payload[i];
    return frame;
}

void measure(const char* name, const std::vector<unsigned char>& frame, int rounds) {
    std::string text;
    std::size_t characters = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::shared_ptr<Message> message = createMessage(frame.data());
        message->getText(text);
        characters += text.size();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double perFrame = std::chrono::duration<double, std::micro>(elapsed).count() / rounds;
    std::printf("%-28s %8.2f us/frame  (%zu characters of text)\n", name, perFrame, characters / rounds);
}

}  // namespace

int main() {
    const int rounds = 100000;
    // At 9600 baud a board sends at most about 960 bytes a second: a 5-byte
    // field update every 5.2 ms, a 53-byte board dump every 55 ms.
    measure("field update (5 bytes)", frameBuffer(0x8E, {23, 1}), rounds);
    measure("board dump (53 bytes)", frameBuffer(0x86, std::vector<unsigned char>(50, 7)), rounds);
    measure("clock reading (10 bytes)", frameBuffer(0x8D, {0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0x00}), rounds);
    measure("trademark (200 bytes)", frameBuffer(0x92, std::vector<unsigned char>(197, 'a')), rounds);
    measure("error (43 bytes)", frameBuffer(0xFF, std::vector<unsigned char>(40, 'e')), rounds);
    measure("EE moves (10000 bytes)", frameBuffer(0x8F, std::vector<unsigned char>(9997, 3)), rounds / 100);
    return 0;
}
