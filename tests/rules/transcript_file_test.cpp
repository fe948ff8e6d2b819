// Saving a transcript: line ends, the bytes on disk, and failures that name
// the file and the system's reason.
#include "rules/transcript_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "tests/rules/transcript_folder.h"
#include "tests/support/system_texts.h"

namespace corvalt {
namespace {

struct LineEndCase {
    const char* name;
    std::string_view text;
    std::string_view saved;
};

class LineEndTest : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(LineEndTest, BecomeCrLf)
{
    EXPECT_EQ(WithCrLfLineEnds(GetParam().text), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(Texts, LineEndTest,
                         ::testing::Values(LineEndCase{"Empty", "", ""},
                                           LineEndCase{"CrLfKept", "a\r\nb\r\n", "a\r\nb\r\n"},
                                           LineEndCase{"Lf", "a\nb", "a\r\nb"},
                                           LineEndCase{"LoneCr", "a\rb\r", "a\r\nb\r\n"},
                                           LineEndCase{"EmptyLines", "\n\r\n\r", "\r\n\r\n\r\n"},
                                           LineEndCase{"CrCrLf", "a\r\r\nb", "a\r\n\r\nb"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Saved twice: the second save replaces what the first one wrote.
TEST_F(TranscriptFileTest, ReplacesTheFileWithTheUtf8Text)
{
    const std::filesystem::path path = folder / "swipe.txt";
    std::ofstream(path) << "an older and much longer transcript that must not show through";
    for (const char* text : {"Track 1: %B4111\nTrack 2: ;4111=\nÄ 卡", "Track 3: ;0=\n"}) {
        const Result<> saved = WriteTranscriptFile(path, text);
        ASSERT_TRUE(saved.Succeeded()) << saved.m_reason;
        EXPECT_EQ(Contents(path), WithCrLfLineEnds(text));
    }
    EXPECT_EQ(Names(), std::set<std::string>{"swipe.txt"});
}

const std::string kNoSuchFolder = testing::NoSuchFolderText();

TEST_F(TranscriptFileTest, FailuresNameTheFileAndTheReason)
{
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {folder / "no such folder" / "t.txt", kNoSuchFolder},
        {folder, "Is a directory"},
    };
    for (const auto& [path, reason] : cases) {
        const Result<> saved = WriteTranscriptFile(path, "text\n");
        EXPECT_FALSE(saved.Succeeded()) << path;
        EXPECT_EQ(saved.m_reason, "Could not save the transcript to \"" + path.string() + "\": " + reason);
    }
}

}  // namespace
}  // namespace corvalt
