// Saving a transcript the Linux way: a device is never replaced, a failed
// write leaves no trace, and the file's mode keeps card data private.
#include <gtest/gtest.h>

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
// The limit's signal keeps its default action, which would end the test.
TEST_F(TranscriptFileTest, AFailedSaveLeavesNoTraceAndTheOldFileWhole)
{
    const std::string old = folder / "old.txt", fresh = folder / "new.txt";
    std::ofstream(old) << "the old transcript";
    const std::string text(64, 'x');

    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{16, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Result<> oldSaved = WriteTranscriptFile(old, text);
    const Result<> freshSaved = WriteTranscriptFile(fresh, text);
    ::setrlimit(RLIMIT_FSIZE, &limit);

    EXPECT_FALSE(oldSaved.Succeeded());
    EXPECT_FALSE(freshSaved.Succeeded());
    EXPECT_EQ(freshSaved.m_reason, "Could not save the transcript to \"" + fresh + "\": File too large");
    EXPECT_EQ(Contents(old), "the old transcript");
    EXPECT_EQ(Names(), std::set<std::string>{"old.txt"});
}

// Card data stays the user's own: a new file is 0600 whatever the umask, a
// replaced file keeps only its owner's and group's read and write bits, and
// a symbolic link is replaced by the file, never followed, whether it points
// anywhere or not.
TEST_F(TranscriptFileTest, SavesPrivatelyAndReplacesLinksInsteadOfFollowingThem)
{
    const std::filesystem::path fresh = folder / "new.txt", shared = folder / "shared.txt", open = folder / "open.txt",
                                setId = folder / "setid.txt", dangling = folder / "dangling", link = folder / "link",
                                target = folder / "target.txt";
    for (const auto& [path, mode] : {std::pair{shared, 0640}, {open, 0666}, {setId, 07775}}) {
        std::ofstream(path) << "old";
        ::chmod(path.c_str(), static_cast<mode_t>(mode));
    }
    std::filesystem::create_symlink("missing.txt", dangling);
    std::ofstream(target) << "the link's target";
    std::filesystem::create_symlink("target.txt", link);

    const mode_t umask = ::umask(022);
    for (const auto& path : {fresh, shared, open, setId, dangling, link}) {
        const Result<> saved = WriteTranscriptFile(path, "Track 2: ;4111=");
        EXPECT_TRUE(saved.Succeeded()) << path << saved.m_reason;
    }
    ::umask(umask);

    const std::pair<std::filesystem::path, mode_t> modes[] = {{fresh, 0600}, {shared, 0640},   {open, 0660},
                                                              {setId, 0660}, {dangling, 0600}, {link, 0600}};
    for (const auto& [path, mode] : modes) {
        struct stat status {};
        ASSERT_EQ(::lstat(path.c_str(), &status), 0) << path;
        EXPECT_TRUE(S_ISREG(status.st_mode)) << path;
        EXPECT_EQ(status.st_mode & 07777, mode) << path;
        EXPECT_EQ(Contents(path), "Track 2: ;4111=") << path;
    }
    EXPECT_EQ(Contents(target), "the link's target");
    EXPECT_EQ(Names(), (std::set<std::string>{"new.txt", "shared.txt", "open.txt", "setid.txt", "dangling", "link",
                                              "target.txt"}));
}

}  // namespace
}  // namespace corvalt
