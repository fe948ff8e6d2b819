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
        {"a\nb", {"a", "b"}},        // the last line needs no end
        {"ab\rcd\n", {"abc", "d"}},  // a lone CR takes the next byte along
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
        {"01 10 00", ""},   // no semicolon: not a command
        {";01 10 00", ""},  // only a comment
        {"A;", ""},         // too short
        {"01 1b 54;", ""},  // lower-case digit
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

// A line far longer than any real one is listed shortened, cut between
// characters; its command is kept whole.
TEST(ReadScript, ListsAVeryLongLineShortened)
{
    // The limit falls inside the first two-byte character.
    const std::string x(kListedLineLimit - 8, 'x');
    const ScriptContents script = ReadScript("01 02; " + x + "\u00E9\u00E9" + std::string(100, 'y'), 255);
    ASSERT_EQ(script.listing.size(), 1u);
    EXPECT_EQ(script.listing[0], "01 02; " + x + " [... 102 more characters not listed]");
    EXPECT_EQ(script.commands, (Lines{"01 02"}));
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
    // CR LF, NUL, 0x1A (an end of file to Windows' text mode) and a byte
    // that is no UTF-8 reach the script's reader unchanged.
    const std::string written("01;\r\n\0\x1A\xFF;\n", 11);
    std::ofstream(path, std::ios::binary) << written;

    Result<std::string> read = ReadScriptFile(path.string());
    ASSERT_TRUE(read.Succeeded()) << read.m_reason;
    EXPECT_EQ(read.m_value, written);
    std::filesystem::remove(path);

    read = ReadScriptFile(path.string());
    EXPECT_FALSE(read.Succeeded());
    EXPECT_EQ(read.m_reason, "Cannot open \"" + path.string() + "\": No such file or directory");
    EXPECT_EQ(read.m_value, "");

    read = ReadScriptFile(std::filesystem::temp_directory_path().string());
    EXPECT_FALSE(read.Succeeded());
    EXPECT_NE(read.m_reason.find("Is a directory"), std::string::npos) << read.m_reason;
}

TEST(DelayCount, ReadsADecimalLikeStrToInt)
{
    const std::pair<std::string, int32_t> cases[] = {
        {"5", 5},
        {"0", 0},
        {"x", 0},
        {"", 0},
        {"-2", -2},
        {"+7", 7},
        {" 12abc", 12},
        {"\t 3", 3},
        {"- 3", 0},
        {"+-3", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999", 2147483647},
        {"-2147483648", -2147483648},
        {"-99999999999", -2147483648},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(DelayCount(text), count) << '"' << text << '"';
}

}  // namespace
}  // namespace corvalt
