#include "console/exchange_lines.h"

#include <algorithm>

#include "reader/feature_exchange.h"
#include "text/hex_byte.h"

namespace corvalt {

namespace {

// Code byte, then the data bytes the length byte announces. The length byte
// counts as signed (0x80 and above announce nothing), and no more bytes are
// shown than the report holds, whatever a reader claims.
std::string CodeAndData(const char* codeLabel, const FeatureReport& report, size_t reportLength)
{
    reportLength = std::min(reportLength, report.size());
    const auto announced = static_cast<int8_t>(report[2]);
    const size_t room = reportLength > 3 ? reportLength - 3 : 0;
    const size_t count = announced > 0 ? std::min(static_cast<size_t>(announced), room) : 0;

    std::string line = codeLabel + HexByte(report[1]) + ", DATA=";
    for (size_t i = 0; i < count; ++i)
        AppendHexByte(line, report[3 + i]);
    return line;
}

}  // namespace

std::string FormatRequestLine(const FeatureReport& featureOut, size_t reportLength)
{
    return std::string(kRequestLabel) + CodeAndData("CMND=", featureOut, reportLength);
}

std::string FormatResponseLine(ExchangeOutcome exchangeStatus, const FeatureReport& featureIn, size_t reportLength)
{
    std::string line = "Response     : ";
    switch (exchangeStatus) {
    case ExchangeOutcome::kAnswered: return line + CodeAndData("RC=", featureIn, reportLength);
    case ExchangeOutcome::kNotDelivered: return line + "Failure during transmit";
    case ExchangeOutcome::kNoAnswer: break;
    }
    return line + "Failure during receive";
}

}  // namespace corvalt
