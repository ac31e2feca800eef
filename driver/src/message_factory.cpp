// The factory step: one frame to one message, or to nothing.

#include <memory>

#include "boardio/messages.h"

namespace krvEBLowLevel {

namespace {

// Built with new of the concrete class and owned at once by a shared pointer
// of that class, so the message is destroyed as what it is.
template <class Concrete>
std::shared_ptr<Message> build(const unsigned char* frame) {
    return std::shared_ptr<Concrete>(new Concrete(frame));
}

}  // namespace

std::shared_ptr<Message> createMessage(const unsigned char* frame) {
    if (frame == nullptr) return std::shared_ptr<Message>();
    try {
        switch (frame[0] & 127) {
            case 6:
            case 20:
            case 21:
                return build<MsgBoardDump>(frame);
            case 13:
                return build<MsgBWTime>(frame);
            case 14:
                return build<MsgFieldUpdate>(frame);
            case 15:
                return build<MsgEEMoves>(frame);
            case 16:
                return build<MsgBusAddress>(frame);
            case 17:
                return build<MsgSerialNumber>(frame);
            case 18:
                return build<MsgTrademark>(frame);
            case 19:
                return build<MsgVersion>(frame);
            case 32:
                return build<MsgBatteryStatus>(frame);
            case 33:
                return build<MsgLongSerialNumber>(frame);
            case 127:
                return build<MsgError>(frame);
            default:
                return std::shared_ptr<Message>();  // no class: the frame is dropped
        }
    } catch (const IncorrectMessageLength&) {
        // A field update whose size is not 5: the new-expression has freed
        // the object already; no message for this frame.
        return std::shared_ptr<Message>();
    }
}

}  // namespace krvEBLowLevel
