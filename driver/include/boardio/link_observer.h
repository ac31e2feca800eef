#ifndef BOARDIO_LINK_OBSERVER_H
#define BOARDIO_LINK_OBSERVER_H

#include <cstddef>
#include <memory>
#include <string>

#include "export.h"
#include "messages.h"
#include "observer.h"

namespace krvEBLowLevel {

// One thing that happened on the link to the board, as it happened, before
// any decoding: what a recording of the session needs to play it again.
struct LinkEvent {
    enum class Kind {
        opened,      // the port was opened: `port`
        received,    // bytes read from the board, as one read gave them: frames, parts of frames, bytes that
                     // make no frame
        written,     // bytes handed to the port for the board: a block, or what was left of it
        closed,      // the session closed the port (close(), or open() again)
        lost,        // a read or write failed (the board pulled out): the session closed the port; `error`
        openFailed,  // the port could not be opened: `port`, `error`
    };

    explicit LinkEvent(Kind kind) : kind(kind) {}

    Kind kind;
    // received, written: the bytes, valid during the call only.
    const unsigned char* bytes = nullptr;
    std::size_t count = 0;
    // opened, openFailed: the port's name as the facade was given it.
    std::string port;
    // lost, openFailed: the error as the numbered texts show it ("asio.misc:2").
    std::string error;
};

// An observer that also hears the link itself. Attached with
// krvEBLow::attach like any observer; it gets the messages through update as
// well (which does nothing unless overridden), each after the bytes it was
// made of. Its events come in the order they happened on the link: on the
// session's I/O thread, but for what open() does to the port, which it
// hears on the thread that called open, before open returns or throws.
// While one is attached, every block goes to the port through the I/O
// thread, where its writing is reported.
class BOARDIO_API LinkObserver : public SingleBoardObserver {
public:
    virtual void linkEvent(const LinkEvent& event) = 0;
    void update(std::shared_ptr<Message> message) override;
};

}  // namespace krvEBLowLevel

#endif
