// The examples in docs/tracker.md, played through the tracker.
#include <draughts/fen.h>
#include <draughts/move_tracker.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using namespace draughts;

// The text between the first pair of backticks in a table cell, or the
// cell as it is.
std::string quoted(const std::string& cell) {
    const std::size_t open = cell.find('`');
    if (open == std::string::npos) return cell;
    return cell.substr(open + 1, cell.find('`', open + 1) - open - 1);
}

std::vector<std::string> cellsOf(const std::string& row) {
    std::vector<std::string> cells;
    std::istringstream in(row.substr(1));
    for (std::string cell; std::getline(in, cell, '|');) cells.push_back(cell);
    return cells;
}

std::string said(const std::vector<TrackerEvent>& events) {
    static const char* const names[] = {"NewGame", "Joined", "Move", "TakeBack", "Unrecognised", "Resumed"};
    std::string words;
    for (const TrackerEvent& event : events) {
        if (!words.empty()) words += ", ";
        words += names[static_cast<int>(event.kind)];
        if (!event.notation.empty()) words += " " + event.notation;
    }
    return words;
}

TEST(TrackerDocument, EveryExampleIsWhatTheTrackerSays) {
    std::ifstream document(TRACKER_DOCUMENT);
    ASSERT_TRUE(document.is_open()) << TRACKER_DOCUMENT;
    bool inExamples = false;
    int rows = 0;
    for (std::string line; std::getline(document, line);) {
        if (line.rfind("## ", 0) == 0) inExamples = line == "## Examples";
        if (!inExamples || line.rfind("| ", 0) != 0 || line.rfind("| position", 0) == 0) continue;
        const std::vector<std::string> cells = cellsOf(line);
        ASSERT_EQ(cells.size(), 3u) << line;
        SCOPED_TRACE(line);
        std::string error;
        const std::string fen = quoted(cells[0]);
        const std::optional<Position> start = fen == " the start " ? Position::start() : parseFen(fen, error);
        ASSERT_TRUE(start) << error;
        MoveTracker tracker;
        std::string letters;
        for (int square = 1; square <= squareCount; ++square) letters += letterOf(start->at(square));
        ASSERT_EQ(tracker.boardDump(letters).size(), 1u);
        std::vector<TrackerEvent> events;
        std::istringstream changes(quoted(cells[1]));
        for (std::string change; changes >> change;) {
            for (TrackerEvent& event : tracker.squareChange(std::stoi(change), change.back())) events.push_back(event);
        }
        const std::string expected = quoted(cells[2]);
        EXPECT_EQ(said(events), expected == " (nothing) " ? "" : expected);
        ++rows;
    }
    EXPECT_GT(rows, 5);
}

}  // namespace
