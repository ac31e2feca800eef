#include "page_answers.h"

#include <algorithm>
#include <cctype>

#include "page_files.h"

namespace boardwatch {

namespace {

namespace http = boost::beast::http;
namespace ip = boost::asio::ip;

// The page takes nothing from elsewhere, and the browser holds it to that.
constexpr const char* contentPolicy = "default-src 'self'; img-src 'self' data:";

void setText(PageResponse& response, http::status status, std::string text) {
    response.result(status);
    response.set(http::field::content_type, "text/plain; charset=utf-8");
    response.body() = std::move(text);
}

// An IPv4 client of a dual-stack socket reaches ::ffff:a.b.c.d.
ip::address plain(const ip::address& address) {
    if (address.is_v6() && address.to_v6().is_v4_mapped()) return ip::make_address_v4(ip::v4_mapped, address.to_v6());
    return address;
}

}  // namespace

bool hostNamesPage(std::string_view host, const PageNames& page) {
    std::string_view name;
    if (!host.empty() && host.front() == '[') {
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos || (close + 1 < host.size() && host[close + 1] != ':')) return false;
        name = host.substr(1, close - 1);
    } else {
        name = host.substr(0, host.find(':'));
    }
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.empty()) return false;
    const ip::address local = plain(page.local);
    boost::system::error_code notAnAddress;
    const ip::address asked = ip::make_address(lower, notAnAddress);
    if (!notAnAddress && plain(asked) == local) return true;
    if (lower == "localhost" && local.is_loopback()) return true;
    return std::find(page.names.begin(), page.names.end(), lower) != page.names.end();
}

PageAnswer answerRequest(const PageRequest& request, const PageNames& page, const std::function<std::string()>& state) {
    PageAnswer answer;
    PageResponse& response = answer.response;
    response.version(request.version());
    response.keep_alive(request.keep_alive());
    response.set(http::field::server, "boardwatch");
    response.set(http::field::cache_control, "no-cache");
    const std::string_view target(request.target().data(), request.target().size());
    const std::string_view path = target.substr(0, target.find('?'));
    const bool head = request.method() == http::verb::head;
    const auto host = request.find(http::field::host);
    const PageFile* file = findPageFile(path);
    if (request.method() != http::verb::get && !head) {
        setText(response, http::status::method_not_allowed, "boardwatch only shows: GET and HEAD are the methods it takes\n");
        response.set(http::field::allow, "GET, HEAD");
    } else if (host == request.end() && request.version() >= 11) {
        setText(response, http::status::bad_request, "a request of HTTP/1.1 names its host\n");
        response.keep_alive(false);
    } else if (host != request.end() && !hostNamesPage({host->value().data(), host->value().size()}, page)) {
        setText(response, http::status::forbidden,
                "this page is not served under that name: boardwatch --host NAME adds one\n");
        response.keep_alive(false);
    } else if (path == "/events" && !head) {
        answer.events = true;
        return answer;
    } else if (path == "/events") {
        response.result(http::status::ok);
        response.set(http::field::content_type, "text/event-stream");
    } else if (path == "/state.json") {
        response.result(http::status::ok);
        response.set(http::field::content_type, "application/json");
        response.body() = state();
    } else if (file) {
        response.result(http::status::ok);
        response.set(http::field::content_type, std::string(file->type));
        response.set("Content-Security-Policy", contentPolicy);
        response.body() = std::string(file->body);
    } else {
        setText(response, http::status::not_found, "no such page: the boards are at /, their state at /state.json\n");
    }
    response.prepare_payload();
    if (head) {
        // The head a GET would get, with its length, and no body.
        const std::size_t length = response.body().size();
        response.body().clear();
        response.content_length(length);
    }
    return answer;
}

PageResponse busyAnswer(unsigned version) {
    PageResponse response;
    response.version(version);
    response.keep_alive(false);
    response.set(http::field::server, "boardwatch");
    response.set(http::field::retry_after, "10");
    setText(response, http::status::service_unavailable, "boardwatch has as many viewers as it takes: try again later\n");
    response.prepare_payload();
    return response;
}

}  // namespace boardwatch
