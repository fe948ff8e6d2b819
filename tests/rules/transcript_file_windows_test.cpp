// Saving a transcript the Windows way: a save that cannot take the old
// file's place leaves it whole and nothing beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "rules/transcript_file.h"
#include "tests/rules/transcript_folder.h"

namespace corvalt {
namespace {

// Another program holds the old file open without letting it be deleted
// or renamed over, as an editor or a virus scanner may.
TEST_F(TranscriptFileTest, AFailedSaveLeavesTheOldFileWholeAndNoTrace)
{
    const std::filesystem::path old = folder / "old.txt";
    std::ofstream(old) << "the old transcript";
    const HANDLE held = ::CreateFileW(old.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const Result<> saved = WriteTranscriptFile(old, "the new one");
    ::CloseHandle(held);

    EXPECT_FALSE(saved.Succeeded());
    EXPECT_EQ(saved.m_reason.rfind("Could not save the transcript to \"" + old.string() + "\": ", 0), 0u)
        << saved.m_reason;
    EXPECT_EQ(Contents(old), "the old transcript");
    EXPECT_EQ(Names(), std::set<std::string>{"old.txt"});
}

}  // namespace
}  // namespace corvalt
