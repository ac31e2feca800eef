// The round file as spreadsheets write it (quotes, commas, line breaks in
// fields, a byte order mark, CRLF), its bad rows named by their lines, and
// the hall it makes with the relays of the command line and a token.
#include <gtest/gtest.h>

#include "csv_records.h"
#include "document_examples.h"
#include "hall_setup.h"
#include "round_file.h"

namespace boardwatch {
namespace {

using Fields = std::vector<std::vector<std::string>>;

TEST(Csv, ReadsFieldsAsSpreadsheetsWriteThem) {
    const struct {
        const char* text;
        Fields fields;
        std::vector<int> lines;
    } cases[] = {
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"\xEF\xBB\xBF" "a,\"b, c\"\n", {{"a", "b, c"}}, {1}},
        {"\"say \"\"hi\"\"\",x\n\"two\r\nlines\",y\nz", {{"say \"hi\"", "x"}, {"two\nlines", "y"}, {"z"}}, {1, 2, 4}},
        {"a,,\n\nb", {{"a", "", ""}, {""}, {"b"}}, {1, 2, 3}},
        {" \"q\" ,Jan \"Jo\" K\rlast", {{"q", "Jan \"Jo\" K"}, {"last"}}, {1, 2}},
    };
    for (const auto& c : cases) {
        std::vector<CsvRecord> records;
        std::string error;
        ASSERT_TRUE(readCsv(c.text, records, error)) << c.text << ": " << error;
        Fields fields;
        std::vector<int> lines;
        for (const CsvRecord& record : records) {
            fields.push_back(record.fields);
            lines.push_back(record.line);
        }
        EXPECT_EQ(fields, c.fields) << c.text;
        EXPECT_EQ(lines, c.lines) << c.text;
    }
    for (const auto& [text, error] : std::vector<std::pair<std::string, std::string>>{
             {"a\n\"open,b\nc", "line 2: a quote opened here is not closed"},
             {"a\n\"q\"x,b", "line 2: text after a closing quote (a quote inside a field is doubled: \"\")"}}) {
        std::vector<CsvRecord> records;
        std::string said;
        EXPECT_FALSE(readCsv(text, records, said));
        EXPECT_EQ(said, error);
    }
}

TEST(RoundFile, TakesTheFourColumnsInAnyOrderAndNamesEveryBadRow) {
    std::vector<std::string> errors;
    const std::optional<std::vector<Pairing>> round =
        readRound("Black,Rating,WHITE, board ,Relay\n"
                  "\"de Vries, Anna\",2100,Jansen,2,hall-2:50000/COM3\n"
                  ",,\"Smit\",1,[::1]:50001/com4\n",
                  errors);
    ASSERT_TRUE(round) << errors.front();
    ASSERT_EQ(round->size(), 2u);
    EXPECT_EQ((*round)[0].board, 2);
    EXPECT_EQ((*round)[0].white, "Jansen");
    EXPECT_EQ((*round)[0].black, "de Vries, Anna");
    EXPECT_EQ((*round)[0].relay.text, "hall-2:50000/COM3");
    EXPECT_EQ((*round)[1].black, "?");
    EXPECT_EQ((*round)[1].relay.portName, "COM4");

    EXPECT_FALSE(readRound("board,relay,white,black\n"
                           "1,h:1/COM1,A,B\n"
                           "x,h:2/COM1,A,B\n"
                           "1,h:3/COM1,A,B\n"
                           "3,H:1/com1,A,B\n"
                           "4,h:4,A,B\n"
                           "5,h:5/COM1,Jan, Jansen,B\n"
                           "6,h:6/COM1,\"A\nB\",C\n"
                           "7,h:7/COM1,\xff,C\n",
                           errors));
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "line 3: board 'x' is no number from 1 to 9999",
                          "line 4: board 1 again, as on line 2",
                          "line 5: board 3: H:1/com1 is the relay of line 2 again",
                          "line 6: board 4: 'h:4' is no HOST:PORT/COMn (for example 127.0.0.1:50000/COM3)",
                          "line 7: 5 fields where the header has 4 (a name with a comma goes in quotes)",
                          "line 8: board 6: white holds a line break or another control character",
                          "line 10: board 7: white is not UTF-8 (save the file as UTF-8)"}));
    errors.clear();
    EXPECT_FALSE(readRound("board;relay;white;black\n", errors));
    EXPECT_EQ(errors.front(), "line 1: no column board (the header names board, relay, white and black)");
}

TEST(RoundFile, TheReadmesExampleIsARound) {
    std::string example;
    for (const std::string& line : testing_support::exampleAfter(PROJECT_README, "### A round file")) example += line + "\n";
    std::vector<std::string> errors;
    const std::optional<std::vector<Pairing>> round = readRound(example, errors);
    ASSERT_TRUE(round) << example;
    EXPECT_EQ(round->size(), 3u);
}

TEST(Hall, NumbersTheCommandLinesRelaysAfterTheRoundsAndFollowsEachOnce) {
    std::vector<std::string> errors, notes;
    const std::vector<Pairing> round = *readRound("board,relay,white,black\n7,h:1/COM1,A,B\n2,h:2/COM1,C,D\n", errors);
    std::string error;
    const std::vector<RelayAddress> relays{*parseRelayAddress("h:3/COM1", error), *parseRelayAddress("H:2/com1", error)};
    const std::vector<Pairing> boards = boardsOf(round, relays, notes);
    ASSERT_EQ(boards.size(), 3u);
    EXPECT_EQ(boards[0].board, 2);
    EXPECT_EQ(boards[1].board, 7);
    EXPECT_EQ(boards[2].board, 8);
    EXPECT_EQ(boards[2].relay.text, "h:3/COM1");
    EXPECT_EQ(notes, std::vector<std::string>{"H:2/com1 is board 2 of the round: followed once"});
}

TEST(Hall, TakesATokenOfSixteenCharactersOrMoreFromTheFilesFirstLine) {
    std::string error;
    EXPECT_EQ(tokenOf("  kR3v/8+Zq=_x-y.~Ab\r\nsecond line\n", error), "kR3v/8+Zq=_x-y.~Ab");
    EXPECT_FALSE(tokenOf("short\n", error));
    EXPECT_FALSE(tokenOf("sixteen chars but spaces\n", error));
    EXPECT_FALSE(tokenOf("", error));
}

}  // namespace
}  // namespace boardwatch
