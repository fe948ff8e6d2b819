// The udev rule as udev will read it: hidraw nodes of exactly the vendor ids
// the program accepts, written as the kernel spells them, tagged uaccess and
// given nothing else, in a file read before the rule that turns the tag into
// an ACL.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "reader/reader_connection.h"

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

TEST(UdevRuleTest, TagsTheHidrawNodesOfTheAcceptedVendorsAndDoesNothingElse)
{
    const std::vector<RuleKeys> rules = ParseRules(RuleFileText());
    ASSERT_FALSE(rules.empty());
    std::set<uint16_t> vendors;
    for (const RuleKeys& rule : rules) {
        ASSERT_EQ(rule.size(), 3u) << "keys beyond subsystem, vendor and tag";
        EXPECT_EQ(rule.count("SUBSYSTEM=="), 1u);
        EXPECT_EQ(rule.at("SUBSYSTEM=="), "hidraw");
        ASSERT_EQ(rule.count("ATTRS{idVendor}=="), 1u);
        // sysfs writes idVendor as four lower-case hex digits; udev compares
        // strings, so anything else never matches.
        const std::string& vendor = rule.at("ATTRS{idVendor}==");
        ASSERT_TRUE(std::regex_match(vendor, std::regex("[0-9a-f]{4}"))) << vendor;
        vendors.insert(static_cast<uint16_t>(std::stoul(vendor, nullptr, 16)));
        ASSERT_EQ(rule.count("TAG+="), 1u);
        EXPECT_EQ(rule.at("TAG+="), "uaccess");
    }
    for (uint32_t id = 0; id <= 0xFFFF; ++id) {
        const auto vendor = static_cast<uint16_t>(id);
        EXPECT_EQ(vendors.count(vendor) == 1, IsAcceptedVendor(vendor)) << std::hex << id;
    }
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
