// Script files the Linux way: what is no regular file (a FIFO, a device)
// is refused without blocking.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "console/script_file.h"

namespace corvalt {
namespace {

// Only a regular file of at most kScriptFileLimit bytes is read; anything
// else is refused at once, without blocking or reading it through.
TEST(ReadScriptFile, RefusesWhatIsNoScriptFile)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("corvalt_script_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string fifo = folder / "fifo", atLimit = folder / "at_limit.txt", overLimit = folder / "over_limit.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(atLimit) << std::string(kScriptFileLimit, ';');
    std::ofstream(overLimit) << std::string(kScriptFileLimit + 1, ';');

    const std::pair<std::string, std::string> refused[] = {
        {"/dev/zero", "Not a regular file"},
        {fifo, "Not a regular file"},  // opening a FIFO must not wait for a writer
        {folder, "Is a directory"},
        {overLimit, "A script file may hold at most 1 MiB (1048576 bytes)"},
    };
    ::alarm(20);  // a regression hangs or reads for ever: end the test instead
    for (const auto& [path, reason] : refused) {
        const Result<std::string> read = ReadScriptFile(path);
        EXPECT_FALSE(read.Succeeded()) << path;
        EXPECT_EQ(read.m_reason, "Cannot read \"" + path + "\": " + reason);
        EXPECT_EQ(read.m_value, "");
    }
    const Result<std::string> read = ReadScriptFile(atLimit);
    EXPECT_TRUE(read.Succeeded()) << read.m_reason;
    EXPECT_EQ(read.m_value.size(), kScriptFileLimit);
    ::alarm(0);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace corvalt
