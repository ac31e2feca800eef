#include "viewers.h"

#include <algorithm>

namespace boardwatch {

std::string eventText(const std::string& event, const std::string& data) {
    return "event: " + event + "\ndata: " + data + "\n\n";
}

Viewers::Viewers(boost::asio::io_context& context, std::function<void(std::size_t)> onCountChanged)
    : gatherTimer(context), heartbeatTimer(context), onCountChanged(std::move(onCountChanged)) {
    scheduleHeartbeat();
}

void Viewers::join(boost::beast::tcp_stream stream, const std::string& first, std::shared_ptr<void> slot) {
    auto viewer = std::make_shared<EventStream>(std::move(stream), std::move(slot));
    streams.push_back(viewer);
    viewer->start(std::make_shared<const std::string>(first), [this](EventStream* gone) { leave(gone); });
    onCountChanged(streams.size());
}

void Viewers::leave(EventStream* stream) {
    const auto found = std::find_if(streams.begin(), streams.end(), [&](const auto& s) { return s.get() == stream; });
    if (found == streams.end()) return;
    streams.erase(found);
    onCountChanged(streams.size());
}

void Viewers::publish(const std::string& event, const std::string& data) {
    if (streams.empty()) return;
    const bool first = gathered.empty();
    gathered += eventText(event, data);
    if (!first) return;
    gatherTimer.expires_after(gathering);
    gatherTimer.async_wait([this](const boost::system::error_code& error) {
        if (!error) sendGathered();
    });
}

void Viewers::sendGathered() {
    const auto events = std::make_shared<const std::string>(std::move(gathered));
    gathered.clear();
    // A copy: a viewer dropped on the way leaves the list.
    const std::vector<std::shared_ptr<EventStream>> all = streams;
    for (const auto& viewer : all) viewer->send(events);
}

void Viewers::scheduleHeartbeat() {
    heartbeatTimer.expires_after(heartbeat);
    heartbeatTimer.async_wait([this](const boost::system::error_code& error) {
        if (error) return;
        const auto comment = std::make_shared<const std::string>(":\n\n");
        const std::vector<std::shared_ptr<EventStream>> all = streams;
        for (const auto& viewer : all) viewer->send(comment);
        scheduleHeartbeat();
    });
}

}  // namespace boardwatch
