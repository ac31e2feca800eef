#include "session_recorder.h"

#include "recording_format.h"

using krvEBLowLevel::LinkEvent;

SessionRecorder::SessionRecorder(std::function<void(std::string)> write, Clock now)
    : write(std::move(write)), now(std::move(now)), begun(this->now()) {}

void SessionRecorder::linkEvent(const LinkEvent& event) {
    record([&event](long long ms) {
        switch (event.kind) {
            case LinkEvent::Kind::opened:
                return recording::openLine(ms, event.port);
            case LinkEvent::Kind::received:
                return recording::boardLine(ms, event.bytes, event.count);
            case LinkEvent::Kind::written:
                return recording::hostLine(ms, event.bytes, event.count);
            case LinkEvent::Kind::closed:
                return recording::closeLine(ms);
            case LinkEvent::Kind::lost:
                return recording::lostLine(ms, event.error);
            case LinkEvent::Kind::openFailed:
                break;
        }
        return recording::failedLine(ms, event.port, event.error);
    });
}

void SessionRecorder::fromProgram(const std::string& line) {
    record([&line](long long ms) { return recording::programLine(ms, line); });
}

void SessionRecorder::toProgram(const std::string& line) {
    record([&line](long long ms) { return recording::relayLine(ms, line); });
}
