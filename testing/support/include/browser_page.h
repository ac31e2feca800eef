#ifndef TESTSUPPORT_BROWSER_PAGE_H
#define TESTSUPPORT_BROWSER_PAGE_H

// A page in headless Chromium, driven through its DevTools protocol over
// one WebSocket while the page stays live (an open event stream included):
// what a script in the page finds, the window's size, screenshots. The
// browser has a home and a profile of its own (it runs as nobody too), no
// sandbox (it runs as root too), and reaches out to nothing.

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "child_process.h"

namespace testing_support {

class BrowserPage {
public:
    static constexpr const char* chromium = "/usr/bin/chromium";

    // Starts the browser on an empty page, its profile under home; throws
    // std::runtime_error when it does not come up.
    BrowserPage(const std::string& home, int width, int height);
    ~BrowserPage();
    BrowserPage(const BrowserPage&) = delete;
    BrowserPage& operator=(const BrowserPage&) = delete;

    void open(const std::string& url);
    void resize(int width, int height);
    // The value of a JavaScript expression, as JSON; throws on an exception.
    nlohmann::json evaluate(const std::string& expression);
    // The page as it stands, as PNG bytes.
    std::string screenshot();
    // A DevTools command's result; throws std::runtime_error on an error.
    nlohmann::json call(const std::string& method, const nlohmann::json& params = nlohmann::json::object());

private:
    struct Connection;
    std::unique_ptr<ChildProcess> browser;
    std::unique_ptr<Connection> connection;
    int nextId = 1;
};

}  // namespace testing_support

#endif
