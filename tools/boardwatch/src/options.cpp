#include "options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <boost/format.hpp>
#include <cctype>

#include "round_file.h"
#include "textio/console_text.h"
#include "textio/utf8.h"

namespace boardwatch {

namespace {

const char* const synopsis =
    "usage: boardwatch [--http ADDR:PORT] [--host NAME]... [--pdn DIR]\n"
    "                  [--round FILE] [--event NAME] [--site NAME] [--date YYYY.MM.DD]\n"
    "                  [--round-tag ROUND] [--arbiter-token-file FILE] [RELAY...]\n"
    "\n"
    "Follows the games on electronic draughts boards through their relays\n"
    "(damrelay), as a draughts program does, and shows them live in a web\n"
    "browser and as PDN files.\n";

const char* const footer =
    "The page at http://ADDR:PORT/ shows every board with its players, moves,\n"
    "clock times and link, /board/N board N alone; /state.json gives the same\n"
    "for scripts, and /round.pdn every game of the round for broadcast sites.\n"
    "It takes up to 1000 connections at once (fewer when the descriptor limit\n"
    "is low: the console says how many) and answers more with 503. A relay\n"
    "that goes away, or whose name is not found, is tried again after 1, 2,\n"
    "4, then every 5 s; one that serves another program (#busy) after up to\n"
    "30 s. A game's file that cannot be written is tried again every second.\n"
    "\n"
    "Console: 'result BOARD 2-0|1-1|0-2|*' enters a result; 'help' lists this.\n";

// The usage above in place of CLI11's own line, the relays first, and no
// headings.
class Usage : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string) const override { return synopsis; }
    std::string make_positionals(const CLI::App* app) const override {
        return "\n" + make_option(app->get_option("relays"), true);
    }
    std::string make_group(std::string, bool positional, std::vector<const CLI::Option*> options) const override {
        std::string text;
        if (positional) return text;
        for (const CLI::Option* option : options) text += make_option(option, false);
        return text;
    }
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        return positional ? option->get_type_name() + "..." : CLI::Formatter::make_option_name(option, false);
    }
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_name().empty() || option->get_positional() ? "" : " " + option->get_type_name();
    }
};

struct Words {
    std::string http, date;
    std::vector<std::string> hosts, relays;
};

void describe(CLI::App& app, Options& options, Words& words) {
    app.formatter(std::make_shared<Usage>());
    app.get_formatter()->column_width(23);
    // An option given twice takes its last value, as before.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.set_help_flag("-h,--help", "show this text");
    app.add_flag("--version", options.version, "show the version");
    app.add_option("--http", words.http,
                   "serve the page here (default 127.0.0.1:8080); an IPv6\n"
                   "address in brackets, [::1]:8080; 0.0.0.0:8080 for every\n"
                   "machine on the network; port 0 takes any free port (the\n"
                   "console says which)")
        ->type_name("ADDR:PORT");
    app.add_option("--host", words.hosts,
                   "a name the page may be asked for besides its address and\n"
                   "localhost (hall.example.org, a proxy's name); a request for\n"
                   "any other name is refused; may be given more than once")
        ->type_name("NAME")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--pdn", options.pdnFolder,
                   "write each game to a PDN file in DIR (default: the\n"
                   "current folder), one file per board and game; a game\n"
                   "whose file is there from an earlier run of the round\n"
                   "goes on in it")
        ->type_name("DIR");
    app.add_option("--round", options.roundFile,
                   "the round's boards: a CSV file whose header names the\n"
                   "columns board, relay, white and black (any order, more\n"
                   "columns left alone), one row a board")
        ->type_name("FILE");
    app.add_option("--event", options.round.event, "the Event tag of every game")->type_name("NAME");
    app.add_option("--site", options.round.site, "the Site tag of every game")->type_name("NAME");
    app.add_option("--date", words.date, "the Date tag of every game (default: the day it began)")
        ->type_name("YYYY.MM.DD");
    app.add_option("--round-tag", options.round.round, "the Round tag of every game (3, or 3.1)")->type_name("ROUND");
    app.add_option("--arbiter-token-file", options.tokenFile,
                   "take results on the page (POST /board/N/result) from\n"
                   "whoever sends the token in this file, 16 characters or\n"
                   "more: Authorization: Bearer TOKEN")
        ->type_name("FILE");
    app.add_option("relays", words.relays,
                   "HOST:PORT/COMn: a relay's address and the port name of\n"
                   "its board, for example 127.0.0.1:50000/COM3; one per\n"
                   "board, numbered after the round file's (a board named\n"
                   "twice is followed once)")
        ->type_name("RELAY");
    app.footer(footer);
}

// CLI11's words for what it refuses, in this program's where users have
// met them.
std::string refusalOf(const CLI::ParseError& refusal) {
    const std::string what = textio::validUtf8(refusal.what());
    const std::string unexpected = "The following argument was not expected: ";
    if (what.compare(0, unexpected.size(), unexpected) == 0) {
        const std::string word = what.substr(unexpected.size());
        if (!word.empty() && word[0] == '-') return "unknown option '" + textio::escapedForConsole(word) + "'";
        return "'" + textio::escapedForConsole(word) + "' is not taken here";
    }
    const std::size_t missing = what.find(": 1 required ");
    if (missing != std::string::npos && what.compare(what.size() - 8, 8, " missing") == 0) {
        return what.substr(0, missing) + " needs a value";
    }
    return textio::escapedForConsole(what);
}

bool checkTag(const std::string& option, std::string& value, std::string& error) {
    const std::optional<std::string> tag = tagText(value, error);
    if (!tag) {
        error = option + " " + error;
        return false;
    }
    value = *tag;
    return true;
}

bool isDate(const std::string& text) {
    const std::string shape = "####.##.##";
    if (text.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '?';
        if (shape[i] == '#' ? !digit : text[i] != shape[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    Words words;
    CLI::App app;
    describe(app, options, words);
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        options.help = true;
        return options;
    } catch (const CLI::ParseError& refusal) {
        error = refusalOf(refusal);
        return std::nullopt;
    }
    if (!words.http.empty()) {
        const std::optional<Endpoint> http = parseEndpoint(words.http, error);
        if (!http) return std::nullopt;
        options.http = *http;
    }
    if (options.pdnFolder.empty()) {
        error = "--pdn needs a folder";
        return std::nullopt;
    }
    for (std::string value : words.hosts) {
        // A name as the Host header carries it; an address needs no --host.
        const bool unfit = value.empty() || std::any_of(value.begin(), value.end(), [](char c) {
            return c <= ' ' || c > '~' || c == '/' || c == ':' || c == '[' || c == ']';
        });
        if (unfit) {
            error = (boost::format("--host '%1%': give a host name, as the browser's address shows it") % value).str();
            return std::nullopt;
        }
        for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        options.pageNames.push_back(value);
    }
    if (!checkTag("--event", options.round.event, error) || !checkTag("--site", options.round.site, error) ||
        !checkTag("--round-tag", options.round.round, error)) {
        return std::nullopt;
    }
    if (!words.date.empty() && !isDate(words.date)) {
        error = "--date '" + words.date + "': write the date as YYYY.MM.DD, 2026.12.09";
        return std::nullopt;
    }
    options.round.date = words.date;
    for (const std::string& word : words.relays) {
        const std::optional<RelayAddress> relay = parseRelayAddress(word, error);
        if (!relay) return std::nullopt;
        const auto same = [&](const RelayAddress& known) { return known.identity() == relay->identity(); };
        const auto earlier = std::find_if(options.relays.begin(), options.relays.end(), same);
        if (earlier == options.relays.end()) {
            options.relays.push_back(*relay);
        } else {
            options.notes.push_back((boost::format("%1% is the board %2% again: followed once") % word % earlier->text).str());
        }
    }
    if (options.relays.empty() && options.roundFile.empty() && !options.version) {
        error = "no relay to follow: give --round FILE or relays";
        return std::nullopt;
    }
    return options;
}

std::string usageText() {
    Options options;
    Words words;
    CLI::App app;
    describe(app, options, words);
    return app.help();
}

}  // namespace boardwatch
