// Any bytes anyone may send the page's server, read as it reads them (Beast's
// parser with the bounds of a request's head and body), each request
// answered as the server answers it, or as a connection beyond the cap is
// answered, and the answer written out. Requests follow one another on the
// connection while each is read whole. Whatever came, the answer is one the
// page gives: a request for a name that is not the page's gets none of its
// content, a HEAD no body, and a result is taken only with the token.

#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/write.hpp>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "http_session.h"
#include "page_answers.h"
#include "require.h"

using namespace boardwatch;
namespace http = boost::beast::http;

namespace {

const PageAccess access{{boost::asio::ip::make_address("127.0.0.1"), {"hall.example"}}, "s3cret-token-0123456789"};

// Two boards, 3 and 12, whose results are counted.
class Hall : public PageContent {
public:
    std::string stateJson() override {
        asked = true;
        return "{\"boards\":[]}\n";
    }
    const RoundPdn& roundPdn() override {
        asked = true;
        return round;
    }
    bool hasBoard(int number) override { return number == 3 || number == 12; }
    std::string enterResult(int board, const std::string& result) override {
        require(hasBoard(board) && isResult(result), "a result goes to a board there is, and is one");
        ++results;
        return "";
    }

    bool asked = false;
    int results = 0;
    RoundPdn round{"[Event \"?\"]\n\n*\n", "\"0-1\""};
};

std::string writtenOut(const PageResponse& response) {
    std::ostringstream out;
    out << response;
    return out.str();
}

void checkAnswer(const PageRequest& request) {
    Hall hall;
    const PageAnswer answer = answerRequest(request, access, hall);
    const auto host = request.find(http::field::host);
    const bool named = host != request.end() && hostNamesPage({host->value().data(), host->value().size()}, access.names);
    const bool shown = answer.events || hall.asked || hall.results > 0 || answer.response.result() == http::status::ok;
    require(!shown || named || (host == request.end() && request.version() < 11),
            "only a request for the page's names gets its content");
    const auto authorization = request.find(http::field::authorization);
    require(hall.results == 0 || (request.method() == http::verb::post && authorization != request.end() &&
                                  authorization->value().find(access.arbiterToken) != boost::beast::string_view::npos),
            "a result is taken only with the token");
    require(!answer.events || request.method() == http::verb::get, "only GET takes the events");
    if (answer.events) return;
    if (request.method() == http::verb::head) require(answer.response.body().empty(), "a HEAD gets no body");
    const std::string written = writtenOut(answer.response);
    require(written.compare(0, 5, "HTTP/") == 0, "an answer starts with its status line");
    require(writtenOut(busyAnswer(request.version())).find(" 503 ") != std::string::npos, "beyond the cap: 503");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        http::request_parser<http::string_body> parser;
        parser.header_limit(HttpSession::longestRequestHead);
        parser.body_limit(HttpSession::longestRequestBody);
        boost::system::error_code error;
        // As the server's reads give the parser what has come, until the
        // request is whole.
        while (!parser.is_done()) {
            const std::size_t used = parser.put(boost::asio::buffer(rest.data(), rest.size()), error);
            require(used <= rest.size(), "the parser takes no more than it was given");
            rest.remove_prefix(used);
            if (error == http::error::need_more && used > 0 && !rest.empty()) {
                error = {};
                continue;
            }
            // The connection ends here: what is not a whole request is dropped.
            if (error == http::error::need_more) parser.put_eof(error);
            if (error || used == 0) break;
        }
        if (error || !parser.is_done()) break;
        checkAnswer(parser.release());
    }
    return 0;
}
