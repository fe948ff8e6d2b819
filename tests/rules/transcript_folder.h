// The folder the transcript tests save into, made for each test and
// removed after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

namespace corvalt {

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
            names.insert(entry.path().filename().string());
        return names;
    }

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("corvalt_transcript_test_" + std::to_string(std::random_device()()));
};

}  // namespace corvalt
