#include "page_answers.h"

#include <algorithm>
#include <boost/beast/http/empty_body.hpp>
#include <cctype>

#include "game_record.h"
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

// "/board/12/result" with "/result" as the rest: 12; 0 when the path is
// no board's.
int boardOfPath(std::string_view path, std::string_view rest) {
    const std::string_view prefix = "/board/";
    if (path.substr(0, prefix.size()) != prefix || path.size() < prefix.size() + rest.size()) return 0;
    if (path.substr(path.size() - rest.size()) != rest) return 0;
    const std::string_view number = path.substr(prefix.size(), path.size() - prefix.size() - rest.size());
    if (number.empty() || number.size() > 4 || number[0] == '0' ||
        number.find_first_not_of("0123456789") != std::string_view::npos) {
        return 0;
    }
    return std::stoi(std::string(number));
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// POST /board/N/result: the token first, so that nothing about the boards
// is told without it.
void answerResult(const PageRequest& request, int board, const PageAccess& access, PageContent& content,
                  PageAnswer& answer) {
    PageResponse& response = answer.response;
    if (access.arbiterToken.empty()) {
        setText(response, http::status::forbidden,
                "boardwatch takes no results here: start it with --arbiter-token-file FILE\n");
        return;
    }
    const auto authorization = request.find(http::field::authorization);
    const std::string_view given = authorization == request.end()
                                       ? std::string_view()
                                       : std::string_view(authorization->value().data(), authorization->value().size());
    if (!bearsToken(given, access.arbiterToken)) {
        setText(response, http::status::unauthorized, "a result needs the header Authorization: Bearer TOKEN\n");
        response.set(http::field::www_authenticate, "Bearer realm=\"boardwatch\"");
        answer.note = "page: a result for board " + std::to_string(board) +
                      (authorization == request.end() ? " came without a token" : " came with a wrong token") +
                      ": refused";
        return;
    }
    if (!content.hasBoard(board)) {
        setText(response, http::status::not_found, "no board " + std::to_string(board) + " in this round\n");
        return;
    }
    const std::string result(trimmed(request.body()));
    if (!isResult(result)) {
        setText(response, http::status::bad_request, "a result is 2-0, 1-1, 0-2, or * for none\n");
        return;
    }
    const std::string refusal = content.enterResult(board, result);
    if (!refusal.empty()) {
        setText(response, http::status::conflict, "board " + std::to_string(board) + ": " + refusal + "\n");
        return;
    }
    setText(response, http::status::ok, "board " + std::to_string(board) + ": " + result + "\n");
}

void answerRoundPdn(const PageRequest& request, PageContent& content, PageResponse& response) {
    const RoundPdn& round = content.roundPdn();
    response.set(http::field::etag, round.etag);
    const auto known = request.find(http::field::if_none_match);
    if (known != request.end()) {
        const std::string_view tags(known->value().data(), known->value().size());
        if (tags == "*" || tags.find(round.etag) != std::string_view::npos) {
            response.result(http::status::not_modified);
            return;
        }
    }
    response.result(http::status::ok);
    response.set(http::field::content_type, "text/plain; charset=utf-8");
    response.body() = round.text;
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

bool bearsToken(std::string_view authorization, const std::string& token) {
    const std::string_view scheme = "Bearer ";
    const bool bearer = authorization.size() > scheme.size() &&
                        std::equal(scheme.begin(), scheme.end(), authorization.begin(), [](char a, char b) {
                            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                        });
    const std::string_view given = bearer ? trimmed(authorization.substr(scheme.size())) : std::string_view();
    // Every byte of the token is compared, whatever the given one holds.
    volatile unsigned char difference = given.size() == token.size() && bearer && !token.empty() ? 0 : 1;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char byte = i < given.size() ? given[i] : '\0';
        difference = static_cast<unsigned char>(difference | static_cast<unsigned char>(byte ^ token[i]));
    }
    return difference == 0;
}

PageAnswer answerRequest(const PageRequest& request, const PageAccess& access, PageContent& content) {
    PageAnswer answer;
    PageResponse& response = answer.response;
    response.version(request.version());
    response.keep_alive(request.keep_alive());
    response.set(http::field::server, "boardwatch");
    response.set(http::field::cache_control, "no-cache");
    const std::string_view target(request.target().data(), request.target().size());
    const std::string_view path = target.substr(0, target.find('?'));
    const bool head = request.method() == http::verb::head;
    const bool reading = request.method() == http::verb::get || head;
    const auto host = request.find(http::field::host);
    const int resultBoard = boardOfPath(path, "/result");
    const int shownBoard = boardOfPath(path, "");
    const PageFile* file = findPageFile(path);
    if (shownBoard > 0 && content.hasBoard(shownBoard)) file = findPageFile("/");
    if (resultBoard > 0 && request.method() != http::verb::post) {
        setText(response, http::status::method_not_allowed, "a result is sent with POST\n");
        response.set(http::field::allow, "POST");
    } else if (resultBoard == 0 && !reading) {
        setText(response, http::status::method_not_allowed,
                "boardwatch only shows here: GET and HEAD are the methods it takes\n");
        response.set(http::field::allow, "GET, HEAD");
    } else if (host == request.end() && request.version() >= 11) {
        setText(response, http::status::bad_request, "a request of HTTP/1.1 names its host\n");
        response.keep_alive(false);
    } else if (host != request.end() && !hostNamesPage({host->value().data(), host->value().size()}, access.names)) {
        setText(response, http::status::forbidden,
                "this page is not served under that name: boardwatch --host NAME adds one\n");
        response.keep_alive(false);
    } else if (resultBoard > 0) {
        answerResult(request, resultBoard, access, content, answer);
    } else if (path == "/events" && !head) {
        answer.events = true;
        return answer;
    } else if (path == "/events") {
        response.result(http::status::ok);
        response.set(http::field::content_type, "text/event-stream");
    } else if (path == "/state.json") {
        response.result(http::status::ok);
        response.set(http::field::content_type, "application/json");
        response.body() = content.stateJson();
    } else if (path == "/round.pdn") {
        answerRoundPdn(request, content, response);
    } else if (file) {
        response.result(http::status::ok);
        response.set(http::field::content_type, std::string(file->type));
        response.set("Content-Security-Policy", contentPolicy);
        response.body() = std::string(file->body);
    } else {
        setText(response, http::status::not_found,
                "no such page: the boards are at /, one at /board/N, their state at /state.json, the round's games "
                "at /round.pdn\n");
    }
    if (response.result() == http::status::not_modified) {
        response.body().clear();
        return answer;
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
