#ifndef BOARDWATCH_PAGE_ANSWERS_H
#define BOARDWATCH_PAGE_ANSWERS_H

// What the page's server answers a request, without the connection: the
// page's files (the whole hall at /, one board at /board/N), /state.json,
// /round.pdn, the event stream's hand-over, the arbiter's results, and the
// refusals. Everything is read with GET and HEAD; the one thing written,
// a result, takes POST and the arbiter's token.

#include <boost/asio/ip/address.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "round_pdn.h"

namespace boardwatch {

using PageRequest = boost::beast::http::request<boost::beast::http::string_body>;
using PageResponse = boost::beast::http::response<boost::beast::http::string_body>;

// The names a request may be addressed to: a page that any Host reaches
// can be read by another site's page through a name of that site's that
// resolves to this machine (DNS rebinding).
struct PageNames {
    boost::asio::ip::address local;  // the address the connection reached
    std::vector<std::string> names;  // --http's host and the --host names, in lower case
};

// Who may do what: the names, and the arbiter's token (empty: results are
// not taken at all).
struct PageAccess {
    PageNames names;
    std::string arbiterToken;
};

// Whether a Host header ("name", "name:port", "[::1]:port") names the page:
// the address the connection reached, localhost on a loopback address, or
// one of its names. The port is not looked at: behind a proxy it is the
// proxy's.
bool hostNamesPage(std::string_view host, const PageNames& page);

// Whether an Authorization header's value is "Bearer TOKEN" with the token,
// in a time that does not tell how much of a wrong token was right.
bool bearsToken(std::string_view authorization, const std::string& token);

// What the answers show and change, asked only when a request needs it.
class PageContent {
public:
    virtual ~PageContent() = default;
    virtual std::string stateJson() = 0;
    virtual const RoundPdn& roundPdn() = 0;
    virtual bool hasBoard(int number) = 0;
    // The arbiter's result, checked to be one, for a board there is: empty,
    // or why it was not taken.
    virtual std::string enterResult(int board, const std::string& result) = 0;
};

struct PageAnswer {
    PageResponse response;
    bool events = false;  // the event stream takes the connection over; no response
    std::string note;     // for the console: a result refused for its token
};

PageAnswer answerRequest(const PageRequest& request, const PageAccess& access, PageContent& content);

// The answer to a connection beyond the page's cap.
PageResponse busyAnswer(unsigned version);

}  // namespace boardwatch

#endif
