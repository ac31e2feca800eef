#include "browser_page.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/detail/base64.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace testing_support {

namespace {

namespace beast = boost::beast;
namespace http = beast::http;
using tcp = boost::asio::ip::tcp;
using namespace std::chrono_literals;

// The port the browser wrote into its profile once it listens.
int devToolsPort(const std::string& profile) {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream file(profile + "/DevToolsActivePort");
        int port = 0;
        if (file >> port && port > 0) return port;
        std::this_thread::sleep_for(100ms);
    }
    throw std::runtime_error("Chromium did not open its DevTools port");
}

std::string httpGet(boost::asio::io_context& context, int port, const std::string& target) {
    tcp::socket socket(context);
    socket.connect({boost::asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)});
    http::request<http::empty_body> request(http::verb::get, target, 11);
    request.set(http::field::host, "127.0.0.1:" + std::to_string(port));
    http::write(socket, request);
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    http::read(socket, buffer, response);
    return response.body();
}

}  // namespace

struct BrowserPage::Connection {
    boost::asio::io_context context;
    beast::websocket::stream<tcp::socket> socket{context};
};

BrowserPage::BrowserPage(const std::string& home, int width, int height) {
    const std::string size = std::to_string(width) + "," + std::to_string(height);
    const std::string script =
        "HOME=\"$1\" exec " + std::string(chromium) +
        " --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update"
        " --disable-sync --no-first-run --disable-default-apps --hide-scrollbars --remote-debugging-port=0"
        " --user-data-dir=\"$1/profile\" --window-size=\"$2\" about:blank 2>/dev/null";
    browser = std::make_unique<ChildProcess>(std::vector<std::string>{"/bin/sh", "-c", script, "sh", home, size});
    const int port = devToolsPort(home + "/profile");
    connection = std::make_unique<Connection>();
    std::string target;
    for (int tries = 0; target.empty() && tries < 50; ++tries) {
        for (const auto& entry : nlohmann::json::parse(httpGet(connection->context, port, "/json/list"))) {
            if (entry.value("type", "") == "page") target = entry.value("webSocketDebuggerUrl", "");
        }
        if (target.empty()) std::this_thread::sleep_for(100ms);
    }
    if (target.empty()) throw std::runtime_error("Chromium shows no page");
    const std::string path = target.substr(target.find('/', target.find("//") + 2));
    connection->socket.next_layer().connect({boost::asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)});
    connection->socket.handshake("127.0.0.1:" + std::to_string(port), path);
    resize(width, height);
}

BrowserPage::~BrowserPage() {
    boost::system::error_code ignored;
    if (connection) connection->socket.next_layer().close(ignored);
    if (browser) browser->stop(2s, SIGTERM);
}

nlohmann::json BrowserPage::call(const std::string& method, const nlohmann::json& params) {
    const int id = nextId++;
    connection->socket.write(boost::asio::buffer(nlohmann::json{{"id", id}, {"method", method}, {"params", params}}.dump()));
    // Events come between: the answer is the message with the command's id.
    for (;;) {
        beast::flat_buffer buffer;
        connection->socket.read(buffer);
        const nlohmann::json message = nlohmann::json::parse(beast::buffers_to_string(buffer.data()));
        if (message.value("id", 0) != id) continue;
        if (message.contains("error")) throw std::runtime_error(method + ": " + message["error"].dump());
        return message["result"];
    }
}

void BrowserPage::open(const std::string& url) { call("Page.navigate", {{"url", url}}); }

void BrowserPage::resize(int width, int height) {
    call("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}});
}

nlohmann::json BrowserPage::evaluate(const std::string& expression) {
    const nlohmann::json result = call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
    if (result.contains("exceptionDetails")) throw std::runtime_error(expression + ": " + result["exceptionDetails"].dump());
    return result["result"].value("value", nlohmann::json());
}

std::string BrowserPage::screenshot() {
    const std::string encoded = call("Page.captureScreenshot", {{"format", "png"}})["data"];
    std::string bytes(beast::detail::base64::decoded_size(encoded.size()), '\0');
    bytes.resize(beast::detail::base64::decode(bytes.data(), encoded.data(), encoded.size()).first);
    return bytes;
}

}  // namespace testing_support
