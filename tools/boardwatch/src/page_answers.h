#ifndef BOARDWATCH_PAGE_ANSWERS_H
#define BOARDWATCH_PAGE_ANSWERS_H

// What the page's server answers a request, without the connection: the
// page's files, /state.json, the event stream's hand-over, and the
// refusals. Read-only: GET and HEAD, nothing else.

#include <boost/asio/ip/address.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace boardwatch {

using PageRequest = boost::beast::http::request<boost::beast::http::empty_body>;
using PageResponse = boost::beast::http::response<boost::beast::http::string_body>;

// The names a request may be addressed to: a page that any Host reaches
// can be read by another site's page through a name of that site's that
// resolves to this machine (DNS rebinding).
struct PageNames {
    boost::asio::ip::address local;  // the address the connection reached
    std::vector<std::string> names;  // --http's host and the --host names, in lower case
};

// Whether a Host header ("name", "name:port", "[::1]:port") names the page:
// the address the connection reached, localhost on a loopback address, or
// one of its names. The port is not looked at: behind a proxy it is the
// proxy's.
bool hostNamesPage(std::string_view host, const PageNames& page);

struct PageAnswer {
    PageResponse response;
    bool events = false;  // the event stream takes the connection over; no response
};

// state: the text of /state.json, asked for only when that is the answer.
PageAnswer answerRequest(const PageRequest& request, const PageNames& page, const std::function<std::string()>& state);

// The answer to a connection beyond the page's cap.
PageResponse busyAnswer(unsigned version);

}  // namespace boardwatch

#endif
