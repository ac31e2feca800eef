// boardwatch: the games on electronic draughts boards, followed through
// their relays, live in a browser and in PDN files.

#include <boost/asio/signal_set.hpp>
#include <boost/system/system_error.hpp>
#include <iostream>

#include "descriptors.h"
#include "game_file.h"
#include "hall_setup.h"
#include "options.h"
#include "process_signals.h"
#include "program_start.h"
#include "version.h"
#include "watch.h"

namespace {

constexpr int usageError = 2;

}  // namespace

int main(int argc, char** argv) {
    using namespace boardwatch;
    ignoreOutputSignals();
    std::string error;
    const std::optional<Options> options = parseOptions(startProgram(argc, argv), error);
    if (!options) {
        std::cerr << "boardwatch: " << error << "\n" << usageText();
        return usageError;
    }
    if (options->help) {
        std::cout << usageText();
        return 0;
    }
    if (options->version) {
        std::cout << "boardwatch " << versionText << "\n";
        return 0;
    }
    std::vector<std::string> errors;
    const std::optional<Hall> hall = setUpHall(*options, errors);
    if (!hall) {
        for (const std::string& line : errors) std::cerr << "boardwatch: " << line << "\n";
        std::cerr << "boardwatch: not started\n";
        return 1;
    }
    const std::string folderProblem = checkFolder(options->pdnFolder);
    if (!folderProblem.empty()) {
        std::cerr << "boardwatch: " << folderProblem << "\n";
        return 1;
    }
    const std::size_t maxConnections = pageConnectionCap(raiseDescriptorLimit(), hall->boards.size());
    Console console;
    try {
        boost::asio::io_context context;
        boost::asio::signal_set stops(context);
        addStopSignals(stops);
        stops.async_wait([&](const boost::system::error_code&, int) { context.stop(); });
        Watch watch(context, *options, *hall, console, maxConnections);
        const auto page = watch.pageAddress();
        const std::string host = page.address().is_v6() ? "[" + page.address().to_string() + "]" : page.address().to_string();
        console.line("boardwatch " + std::string(versionText) + ": the page is at http://" + host + ":" +
                     std::to_string(page.port()) + "/ (at most " + std::to_string(maxConnections) +
                     " connections), games go to " + options->pdnFolder);
        console.line(std::to_string(hall->boards.size()) + (hall->boards.size() == 1 ? " board" : " boards") +
                     (hall->arbiterToken.empty() ? "; results from this console (type help)"
                                                 : "; results from this console (type help) and the page's arbiter"));
        for (const std::string& note : hall->notes) console.line(note);
        watch.readConsole();
        context.run();
        watch.finish();
    } catch (const boost::system::system_error& failure) {
        console.finish();
        std::cerr << "boardwatch: cannot serve the page on " << options->http.host << ":" << options->http.port << ": "
                  << failure.code().message() << "\n";
        return 1;
    }
    console.finish();
    return 0;
}
