// A page's screenshot at a window's size, taken while the page is live:
//   page_screenshot URL WIDTH HEIGHT OUT.png
// Waits until the page shows a board with a move, then a second more.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "browser_page.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: page_screenshot URL WIDTH HEIGHT OUT.png\n";
        return 2;
    }
    char home[] = "/tmp/page-screenshot-XXXXXX";
    if (!::mkdtemp(home)) return 1;
    try {
        testing_support::BrowserPage page(home, std::stoi(argv[2]), std::stoi(argv[3]));
        page.open(argv[1]);
        for (int tries = 0; tries < 100 && !page.evaluate("document.querySelectorAll('.move').length > 0"); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
        std::ofstream(argv[4], std::ios::binary) << page.screenshot();
    } catch (const std::exception& failure) {
        std::cerr << "page_screenshot: " << failure.what() << "\n";
        std::filesystem::remove_all(home);
        return 1;
    }
    std::filesystem::remove_all(home);
    return 0;
}
