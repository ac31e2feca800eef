#ifndef BOARDIO_OBSERVER_LIST_H
#define BOARDIO_OBSERVER_LIST_H

// The driver's observer lists (link, board connection, facade) share one
// discipline. The lock guards the vector only while it is read or changed,
// never while an observer runs, so that
//  - attach and detach from other threads are safe during a delivery,
//  - an observer may attach or detach (itself too) inside its update
//    without deadlock on the non-recursive lock,
//  - the walk goes by position and reads the length again after every call:
//    an observer that detaches itself makes the one behind it miss that
//    message, and one attached during a delivery receives it at the end.
// An observer detached from another thread may still receive the message
// being delivered at that moment. An observer that throws has its exception
// dropped: it must keep neither the observers behind it from the message nor
// the thread that delivers from the next one.

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <vector>

namespace krvEBLowLevel {
namespace observers {

template <class Observer>
void attach(std::vector<Observer*>& list, std::mutex& lock, Observer* observer) {
    if (observer == nullptr) return;
    std::lock_guard<std::mutex> guard(lock);
    list.push_back(observer);
}

template <class Observer>
void detach(std::vector<Observer*>& list, std::mutex& lock, Observer* observer) {
    if (observer == nullptr) return;
    std::lock_guard<std::mutex> guard(lock);
    list.erase(std::remove(list.begin(), list.end(), observer), list.end());
}

template <class Observer, class Message>
void notify(std::vector<Observer*>& list, std::mutex& lock, const Message& message) {
    for (std::size_t position = 0;; ++position) {
        Observer* observer = nullptr;
        {
            std::lock_guard<std::mutex> guard(lock);
            if (position >= list.size()) return;
            observer = list[position];
        }
        try {
            observer->update(message);
        } catch (...) {
        }
    }
}

}  // namespace observers
}  // namespace krvEBLowLevel

#endif
