// Saving a transcript: line ends, the bytes on disk, and failures that name
// the file and the system's reason.
#include "rules/transcript_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>
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
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename());
        return names;
    }

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("corvalt_transcript_test_" + std::to_string(::getpid()));
};

TEST_F(TranscriptFileTest, ReplacesTheFileWithTheUtf8Text)
{
    const std::string path = folder / "swipe.txt";
    std::ofstream(path) << "an older and much longer transcript that must not show through";
    const Result<> saved = WriteTranscriptFile(path, "Track 1: %B4111\nTrack 2: ;4111=\nÄ 卡");
    ASSERT_TRUE(saved.Succeeded()) << saved.m_reason;
    EXPECT_EQ(Contents(path), "Track 1: %B4111\r\nTrack 2: ;4111=\r\nÄ 卡");
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
        // A device or a FIFO is never replaced by a file.
        {"/dev/full", "Not a regular file"},
    };
    for (const Case& c : cases) {
        const Result<> saved = WriteTranscriptFile(c.path, "text\n");
        EXPECT_FALSE(saved.Succeeded()) << c.path;
        EXPECT_EQ(saved.m_reason, "Could not save the transcript to \"" + c.path + "\": " + c.reason);
    }
}

// The file is written beside the target and renamed over it only when all
// of it is on disk: a save that runs out of room (here the file size limit)
// leaves an old file as it was, and no file at all where there was none.
TEST_F(TranscriptFileTest, AFailedSaveLeavesNoTraceAndTheOldFileWhole)
{
    const std::string old = folder / "old.txt", fresh = folder / "new.txt";
    std::ofstream(old) << "the old transcript";
    const std::string text(64, 'x');

    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{16, limit.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not the end of the test
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Result<> oldSaved = WriteTranscriptFile(old, text);
    const Result<> freshSaved = WriteTranscriptFile(fresh, text);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(oldSaved.Succeeded());
    EXPECT_FALSE(freshSaved.Succeeded());
    EXPECT_EQ(freshSaved.m_reason, "Could not save the transcript to \"" + fresh + "\": File too large");
    EXPECT_EQ(Contents(old), "the old transcript");
    EXPECT_EQ(Names(), std::set<std::string>{"old.txt"});
}

// Card data stays the user's own: a new file is 0600 whatever the umask, a
// replaced file keeps its mode, and a symbolic link is replaced by the file,
// never followed, whether it points anywhere or not.
TEST_F(TranscriptFileTest, SavesPrivatelyAndReplacesLinksInsteadOfFollowingThem)
{
    const std::filesystem::path fresh = folder / "new.txt", shared = folder / "shared.txt",
                                dangling = folder / "dangling", link = folder / "link", target = folder / "target.txt";
    std::ofstream(shared) << "old";
    ::chmod(shared.c_str(), 0640);
    std::filesystem::create_symlink("missing.txt", dangling);
    std::ofstream(target) << "the link's target";
    std::filesystem::create_symlink("target.txt", link);

    const mode_t umask = ::umask(022);
    for (const auto& path : {fresh, shared, dangling, link}) {
        const Result<> saved = WriteTranscriptFile(path, "Track 2: ;4111=");
        EXPECT_TRUE(saved.Succeeded()) << path << saved.m_reason;
    }
    ::umask(umask);

    const std::pair<std::filesystem::path, mode_t> modes[] = {
        {fresh, 0600}, {shared, 0640}, {dangling, 0600}, {link, 0600}};
    for (const auto& [path, mode] : modes) {
        struct stat status {};
        ASSERT_EQ(::lstat(path.c_str(), &status), 0) << path;
        EXPECT_TRUE(S_ISREG(status.st_mode)) << path;
        EXPECT_EQ(status.st_mode & 07777, mode) << path;
        EXPECT_EQ(Contents(path), "Track 2: ;4111=") << path;
    }
    EXPECT_EQ(Contents(target), "the link's target");
    EXPECT_EQ(Names(), (std::set<std::string>{"new.txt", "shared.txt", "dangling", "link", "target.txt"}));
}

}  // namespace
}  // namespace corvalt
