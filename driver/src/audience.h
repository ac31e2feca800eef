#ifndef BOARDIO_AUDIENCE_H
#define BOARDIO_AUDIENCE_H

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "boardio/link_observer.h"
#include "boardio/messages.h"
#include "boardio/observer.h"

namespace krvEBLowLevel {

// The observers of one facade: attach and detach change its list under its
// lock, from any thread, also from inside an observer's update. A delivery
// goes to the list as it was when the delivery began, so that an observer
// detached meanwhile, by itself or from another thread, never costs another
// one the message; an observer detached from another thread may still
// receive the message being delivered at that moment, and one attached
// during a delivery hears from the next one on. An observer that throws has
// its exception dropped: it must keep neither the observers behind it from
// the message nor the thread that delivers from the next one.
namespace observers {

void attach(std::vector<SingleBoardObserver*>& list, std::mutex& lock, SingleBoardObserver* observer);
void detach(std::vector<SingleBoardObserver*>& list, std::mutex& lock, SingleBoardObserver* observer);
// Delivers to the list as it is now.
void notify(std::vector<SingleBoardObserver*>& list, std::mutex& lock, const std::shared_ptr<Message>& message);

}  // namespace observers

// The facade's observers as its session's I/O thread reaches them: messages
// to all of them, link events to the LinkObservers among them. The thread
// delivers from copies of the list, taken again only after the list has
// changed: a delivery takes no lock.
class Audience {
public:
    Audience(std::vector<SingleBoardObserver*>& list, std::mutex& lock) : list(list), lock(lock) {}

    // The session's I/O thread, or its constructor before that thread runs.
    void deliver(const std::shared_ptr<Message>& message);
    void deliver(const LinkEvent& event);
    bool hearsLink();

    // Any thread: whether a block written on the caller's own thread would
    // go unreported to a LinkObserver (one is attached, or the list has
    // changed since the I/O thread last looked).
    bool callersMayWrite() const;

private:
    void look();

    struct Copies {
        std::vector<SingleBoardObserver*> everyone;
        std::vector<LinkObserver*> linkObservers;
    };

    std::vector<SingleBoardObserver*>& list;
    std::mutex& lock;
    // Held by each delivery for its length: one that an observer's update
    // starts inside another (through the facade's update) may take new
    // copies without pulling the old from under the first.
    std::shared_ptr<const Copies> copies = std::make_shared<const Copies>();
    // The count of list changes the copies were taken at.
    std::atomic<unsigned long> seen{~0ul};
    std::atomic<bool> anyLinkObserver{false};
};

}  // namespace krvEBLowLevel

#endif
