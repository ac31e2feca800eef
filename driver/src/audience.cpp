#include "audience.h"

#include <algorithm>
#include <type_traits>

namespace krvEBLowLevel {

namespace {

// Changes to the list of any facade: attach and detach are rare, and a
// session that sees another facade's change only takes its own list again.
std::atomic<unsigned long> listChanges{0};

template <class Observer, class Event>
void deliverTo(const std::vector<Observer*>& observers, const Event& event) {
    for (Observer* observer : observers) {
        try {
            if constexpr (std::is_same_v<Event, LinkEvent>) {
                observer->linkEvent(event);
            } else {
                observer->update(event);
            }
        } catch (...) {
        }
    }
}

}  // namespace

namespace observers {

void attach(std::vector<SingleBoardObserver*>& list, std::mutex& lock, SingleBoardObserver* observer) {
    if (observer == nullptr) return;
    std::lock_guard<std::mutex> guard(lock);
    list.push_back(observer);
    ++listChanges;
}

void detach(std::vector<SingleBoardObserver*>& list, std::mutex& lock, SingleBoardObserver* observer) {
    if (observer == nullptr) return;
    std::lock_guard<std::mutex> guard(lock);
    list.erase(std::remove(list.begin(), list.end(), observer), list.end());
    ++listChanges;
}

void notify(std::vector<SingleBoardObserver*>& list, std::mutex& lock, const std::shared_ptr<Message>& message) {
    std::vector<SingleBoardObserver*> now;
    {
        std::lock_guard<std::mutex> guard(lock);
        now = list;
    }
    deliverTo(now, message);
}

}  // namespace observers

void Audience::look() {
    if (listChanges == seen) return;
    auto taken = std::make_shared<Copies>();
    unsigned long changes = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        taken->everyone = list;
        changes = listChanges;
    }
    for (SingleBoardObserver* observer : taken->everyone) {
        if (auto* linkObserver = dynamic_cast<LinkObserver*>(observer)) taken->linkObservers.push_back(linkObserver);
    }
    copies = std::move(taken);
    // Published last: a caller that finds the copies up to date finds the
    // link observers among them too.
    anyLinkObserver = !copies->linkObservers.empty();
    seen = changes;
}

void Audience::deliver(const std::shared_ptr<Message>& message) {
    look();
    const std::shared_ptr<const Copies> now = copies;
    deliverTo(now->everyone, message);
}

void Audience::deliver(const LinkEvent& event) {
    look();
    const std::shared_ptr<const Copies> now = copies;
    deliverTo(now->linkObservers, event);
}

bool Audience::hearsLink() {
    look();
    return !copies->linkObservers.empty();
}

bool Audience::callersMayWrite() const {
    // In the order look() publishes them, backwards.
    const unsigned long taken = seen;
    return taken == listChanges && !anyLinkObserver;
}

}  // namespace krvEBLowLevel
