// Script files: splitting bytes into lines, finding each line's command,
// the capacity of the command list, and reading the file.
#include "console/script_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "console/delay_count.h"

namespace corvalt {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitScriptLines, EndsLinesAtLfCrLfAndCr)
{
    const std::pair<std::string, Lines> cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},         // the last line needs no end
        {"ab\rcd\n", {"abc", "d"}},   // a lone CR takes the next byte along
        {"ab\r", {"ab"}},
        {"\n\n", {"", ""}},
        {"", {}},
        {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
        {"no line end at all", {"no line end at all"}},
    };
    for (const auto& [bytes, lines] : cases)
        EXPECT_EQ(SplitScriptLines(bytes), lines) << bytes;
}

TEST(ScriptLineCommand, TakesTheTextBeforeTheFirstSemicolon)
{
    const std::pair<std::string, std::string> cases[] = {
        {"01 10 00;", "01 10 00"},
        {"  01 10 00 ; set mode", "01 10 00"},
        {"\t02;  comment; more", "02"},
        {"delay 5;", "delay 5"},
        {"delay5 ;", "delay 5"},
        {"01 10 00", ""},    // no semicolon: not a command
        {";01 10 00", ""},   // only a comment
        {"A;", ""},          // too short
        {"01 1b 54;", ""},   // lower-case digit
        {"zz;", ""},
        {"", ""},
    };
    for (const auto& [line, command] : cases)
        EXPECT_EQ(ScriptLineCommand(line), command) << line;
}

TEST(ReadScript, ListsEveryLineAndKeepsTheCommands)
{
    const ScriptContents script =
        ReadScript("; set up\r\n  01 10 00 ; HID\r\n02;\r\n01 1b;\r\ndelay 2;\r\n\xFF\xFE end", 255);
    EXPECT_EQ(script.listing, (Lines{"; set up", "01 10 00 ; HID", "02;", "01 1b;", "delay 2;", "\uFFFD\uFFFD end"}));
    EXPECT_EQ(script.commands, (Lines{"01 10 00", "02", "delay 2"}));
    EXPECT_EQ(script.leftOut, 0u);
}

TEST(ReadScript, KeepsTheFirstCommandsThatFitAndCountsTheRest)
{
    std::string bytes;
    for (int i = 0; i < 258; ++i)
        bytes += (i % 2 == 0 ? "01;\n" : "02;\n");
    const ScriptContents script = ReadScript(bytes, 255);
    EXPECT_EQ(script.listing.size(), 258u);
    ASSERT_EQ(script.commands.size(), 255u);
    EXPECT_EQ(script.commands.back(), "01");
    EXPECT_EQ(script.leftOut, 3u);
}

TEST(ReadScriptFile, ReadsTheBytesOrNamesTheFileAndTheReason)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "corvalt_script_test.txt";
    const std::string written("01;\r\n\0\xFF;\n", 10);
    std::ofstream(path, std::ios::binary) << written;

    std::string bytes;
    std::string error;
    ASSERT_TRUE(ReadScriptFile(path.string(), bytes, error));
    EXPECT_EQ(bytes, written);
    std::filesystem::remove(path);

    EXPECT_FALSE(ReadScriptFile(path.string(), bytes, error));
    EXPECT_EQ(error, "Cannot open \"" + path.string() + "\": No such file or directory");
    EXPECT_EQ(bytes, written);  // untouched

    EXPECT_FALSE(ReadScriptFile(std::filesystem::temp_directory_path().string(), bytes, error));
    EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
}

TEST(DelayCount, ReadsADecimalLikeStrToInt)
{
    const std::pair<std::string, int32_t> cases[] = {
        {"5", 5}, {"0", 0}, {"x", 0}, {"", 0}, {"-2", -2}, {"+7", 7}, {" 12abc", 12}, {"\t 3", 3},
        {"- 3", 0}, {"+-3", 0}, {"007", 7}, {"2147483647", 2147483647}, {"2147483648", 2147483647},
        {"99999999999999999999", 2147483647}, {"-2147483648", -2147483648}, {"-99999999999", -2147483648},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(DelayCount(text), count) << '"' << text << '"';
}

}  // namespace
}  // namespace corvalt
