#include "session_recorder.h"

#include "recording_format.h"

SessionRecorder::SessionRecorder(std::function<void(std::string)> write, Clock now)
    : write(std::move(write)), now(std::move(now)), begun(this->now()) {}

void SessionRecorder::record(const std::function<std::string(long long)>& line) {
    std::lock_guard<std::mutex> hold(lock);
    const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(now() - begun);
    write(line(since.count()));
}

void SessionRecorder::boardOpening(const std::string& device) {
    record([&](long long ms) { return recording::openLine(ms, device); });
}

void SessionRecorder::boardClosed() {
    record([](long long ms) { return recording::closeLine(ms); });
}

void SessionRecorder::fromBoard(krvEBLowLevel::Message& message) {
    record([&](long long ms) { return recording::boardLine(ms, message); });
}

void SessionRecorder::fromProgram(const std::string& line) {
    record([&](long long ms) { return recording::programLine(ms, line); });
}
