// The AppStream metadata offers the program for exactly the readers it
// drives: one USB modalias per vendor and product pair, written the way
// the kernel writes a USB device's modalias (upper-case hex digits, then
// the device release), so that a software centre's match is exact.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "tests/resources/accepted_readers.h"

namespace corvalt {
namespace {

TEST(MetainfoModaliasTest, NamesEachAcceptedReaderOnce)
{
    std::ifstream in(CORVALT_METAINFO_FILE);
    ASSERT_TRUE(in) << CORVALT_METAINFO_FILE;
    std::ostringstream text;
    text << in.rdbuf();
    const std::string metainfo = text.str();

    static const std::regex element("<modalias>([^<]*)</modalias>");
    static const std::regex usbDevice("usb:v([0-9A-F]{4})p([0-9A-F]{4})d\\*");
    ReaderIds claimed;
    for (std::sregex_iterator it(metainfo.begin(), metainfo.end(), element), end; it != end; ++it) {
        const std::string modalias = (*it)[1];
        std::smatch ids;
        ASSERT_TRUE(std::regex_match(modalias, ids, usbDevice)) << "not one USB reader: " << modalias;
        EXPECT_TRUE(claimed
                        .emplace(static_cast<uint16_t>(std::stoul(ids[1], nullptr, 16)),
                                 static_cast<uint16_t>(std::stoul(ids[2], nullptr, 16)))
                        .second)
            << "twice: " << modalias;
    }
    EXPECT_EQ(claimed, AcceptedReaders());
}

}  // namespace
}  // namespace corvalt
