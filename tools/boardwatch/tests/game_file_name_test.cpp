// The names of the games' files: what they say, and that every file system
// takes them.
#include "game_file_name.h"

#include <gtest/gtest.h>

namespace boardwatch {
namespace {

TEST(GameFileName, SaysTheDateRoundBoardAndPlayers) {
    const RoundTags round{"Open", "Hall", "2026.12.09", "3"};
    EXPECT_EQ(gameFileBase(round, {7, "Jansen", "de Vries"}, 12, "2026.12.10"), "20261209-R3-B07-Jansen-de_Vries");
    EXPECT_EQ(gameFileBase(RoundTags{}, {7, "?", "?"}, 7, "2026.12.10"), "20261210-B7");
    EXPECT_EQ(gameFileBase(RoundTags{}, {1, "Smit", "?"}, 200, "2026.12.10"), "20261210-B001-Smit-NN");
    EXPECT_EQ(gameFileBase({"?", "?", "", "../.."}, {1, "?", "?"}, 1, "2026.12.10"), "20261210-B1");
}

TEST(GameFileName, KeepsNoPathNoCharacterWindowsRefusesAndNoHiddenCharacter) {
    const std::vector<std::pair<std::string, std::string>> parts{
        {"../../etc/passwd", "etc_passwd"},
        {"C:\\Users\\x", "C_Users_x"},
        {"a<b>c:d\"e|f?g*h", "a_b_c_d_e_f_g_h"},
        {" Jan  van der Berg. ", "Jan_van_der_Berg"},
        {"Ödön Møller-Łukasz", "Ödön_Møller-Łukasz"},
        {"tab\there\x1b[2J", "tab_here_2J"},
        {"O'Neill, Jr. (3)", "O_Neill_Jr._3"},
        {"right\u202Eto left\u200B", "right_to_left"},
        {"\xff\xfe", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"...", ""},
        {std::string(30, 'x') + "\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9", std::string(30, 'x') + "\u00E9\u00E9\u00E9\u00E9\u00E9"},
    };
    for (const auto& [text, part] : parts) EXPECT_EQ(fileNamePart(text), part) << text;
    for (const auto& [stem, safe] : std::vector<std::pair<std::string, std::string>>{
             {"CON", "_CON"}, {"aux.txt", "_aux.txt"}, {"com1", "_com1"}, {"LPT9.pdn", "_LPT9.pdn"},
             {"CONSOLE", "CONSOLE"}, {"com10", "com10"}, {"20261209-B1", "20261209-B1"}}) {
        EXPECT_EQ(notADevice(stem), safe) << stem;
    }
}

}  // namespace
}  // namespace boardwatch
