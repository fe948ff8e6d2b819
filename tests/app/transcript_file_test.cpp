// Saving a transcript: line ends, the bytes on disk, and failures that name
// the file and the system's reason.
#include "app/transcript_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

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

class TranscriptFileTest : public ::testing::Test {
protected:
    TranscriptFileTest() { std::filesystem::create_directories(folder); }
    ~TranscriptFileTest() override { std::filesystem::remove_all(folder); }

    static std::string Contents(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("corvalt_transcript_test_" + std::to_string(::getpid()));
    std::string errorText;
};

TEST_F(TranscriptFileTest, ReplacesTheFileWithTheUtf8Text)
{
    const std::string path = folder / "swipe.txt";
    std::ofstream(path) << "an older and much longer transcript that must not show through";
    ASSERT_TRUE(WriteTranscriptFile(path, "Track 1: %B4111\nTrack 2: ;4111=\nÄ 卡", errorText)) << errorText;
    EXPECT_EQ(Contents(path), "Track 1: %B4111\r\nTrack 2: ;4111=\r\nÄ 卡");
    EXPECT_TRUE(errorText.empty());
}

TEST_F(TranscriptFileTest, FailuresNameTheFileAndTheReason)
{
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {folder / "no such folder" / "t.txt", "No such file or directory"},
        {folder.string(), "Is a directory"},
        // The open succeeds; the write is what fails.
        {"/dev/full", "No space left on device"},
    };
    for (const Case& c : cases) {
        if (c.path == "/dev/full" && !std::filesystem::exists(c.path))
            continue;
        errorText.clear();
        EXPECT_FALSE(WriteTranscriptFile(c.path, "text\n", errorText)) << c.path;
        EXPECT_EQ(errorText, "Could not save the transcript to \"" + c.path + "\": " + c.reason);
    }
}

}  // namespace
}  // namespace corvalt
