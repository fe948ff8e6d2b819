// Saving a transcript the Linux way: a device is never replaced, a failed
// write leaves no trace, and the file's mode keeps card data private.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rules/transcript_file.h"
#include "tests/rules/transcript_folder.h"

namespace corvalt {
namespace {

// A device or a FIFO is never replaced by a file.
TEST_F(TranscriptFileTest, RefusesADevice)
{
    const Result<> saved = WriteTranscriptFile("/dev/full", "text\n");
    EXPECT_FALSE(saved.Succeeded());
    EXPECT_EQ(saved.m_reason, "Could not save the transcript to \"/dev/full\": Not a regular file");
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
