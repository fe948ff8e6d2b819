// The udev rule as udev will read it: hidraw nodes of exactly the readers
// the program accepts, their ids written as the kernel spells them, tagged
// uaccess and given nothing else, in a file read before the rule that turns
// the tag into an ACL.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/resources/accepted_readers.h"

namespace corvalt {
namespace {

// One rule line's keys: "KEY op" to value, e.g. {"SUBSYSTEM==", "hidraw"}.
using RuleKeys = std::map<std::string, std::string>;

// The rule lines of a rules file, comments and blank lines left out. A line
// udev could not read as keys (a quote missing, a stray word) fails.
std::vector<RuleKeys> ParseRules(const std::string& text)
{
    static const std::regex key(R"re(\s*([A-Z_]+(?:\{[^}]*\})?)\s*(==|!=|\+=|-=|:=|=)\s*"([^"]*)"\s*(,|$))re");
    std::vector<RuleKeys> rules;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#')
            continue;
        RuleKeys rule;
        auto position = line.cbegin();
        std::smatch match;
        while (position != line.cend()) {
            EXPECT_TRUE(std::regex_search(position, line.cend(), match, key, std::regex_constants::match_continuous))
                << "not a list of keys: " << line;
            if (match.empty())
                break;
            EXPECT_TRUE(rule.emplace(match[1].str() + match[2].str(), match[3].str()).second) << "twice: " << line;
            position = match[0].second;
        }
        rules.push_back(rule);
    }
    return rules;
}

std::string RuleFileText()
{
    std::ifstream in(CORVALT_UDEV_RULE_FILE);
    EXPECT_TRUE(in) << CORVALT_UDEV_RULE_FILE;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// udev matches every ATTRS key of one rule on the same parent device, so a
// line names one USB device: the vendor and product it must have together.
TEST(UdevRuleTest, TagsTheHidrawNodesOfTheAcceptedReadersAndDoesNothingElse)
{
    const std::vector<RuleKeys> rules = ParseRules(RuleFileText());
    ReaderIds tagged;
    for (const RuleKeys& rule : rules) {
        ASSERT_EQ(rule.size(), 4u) << "keys beyond subsystem, vendor, product and tag";
        EXPECT_EQ(rule.count("SUBSYSTEM=="), 1u);
        EXPECT_EQ(rule.at("SUBSYSTEM=="), "hidraw");
        ASSERT_EQ(rule.count("TAG+="), 1u);
        EXPECT_EQ(rule.at("TAG+="), "uaccess");
        // sysfs writes the ids as four lower-case hex digits; udev compares
        // strings, so anything else never matches.
        uint16_t ids[2] = {};
        for (int i = 0; i < 2; ++i) {
            const std::string key = i == 0 ? "ATTRS{idVendor}==" : "ATTRS{idProduct}==";
            ASSERT_EQ(rule.count(key), 1u) << key;
            ASSERT_TRUE(std::regex_match(rule.at(key), std::regex("[0-9a-f]{4}"))) << rule.at(key);
            ids[i] = static_cast<uint16_t>(std::stoul(rule.at(key), nullptr, 16));
        }
        EXPECT_TRUE(tagged.emplace(ids[0], ids[1]).second) << "twice: " << std::hex << ids[0] << ":" << ids[1];
    }
    EXPECT_EQ(tagged, AcceptedReaders());
}

TEST(UdevRuleTest, IsReadBeforeTheSeatRules)
{
    const std::string name = std::filesystem::path(CORVALT_UDEV_RULE_FILE).filename();
    EXPECT_LT(name, "73-seat-late.rules");
    EXPECT_TRUE(name.ends_with(".rules"));
}

TEST(UdevRuleTest, ReadingFindsWhatUdevWouldMisread)
{
    EXPECT_EQ(ParseRules("# comment\n\nSUBSYSTEM==\"hidraw\", TAG+=\"uaccess\"\n").size(), 1u);
    EXPECT_EQ(ParseRules("SUBSYSTEM==\"hidraw\", MODE=\"0666\"").at(0).count("MODE="), 1u);
    EXPECT_NONFATAL_FAILURE(ParseRules("SUBSYSTEM==\"hidraw\" TAG+=\"uaccess\""), "not a list of keys");
    EXPECT_NONFATAL_FAILURE(ParseRules("SUBSYSTEM==\"hidraw, TAG+=\"uaccess\""), "not a list of keys");
}

}  // namespace
}  // namespace corvalt
