#include "virtualreader/virtual_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "carddata/card_usages.h"
#include "virtualreader/input_report_layout.h"

namespace corvalt {

namespace {

constexpr uint16_t kFeatureDataBytes = kVirtualFeatureReportLength - 1;
constexpr uint16_t kTrackBytes = 110;
constexpr uint16_t kSealBytes = 64;
constexpr uint16_t kSerialBytes = 16;
constexpr size_t kSealDataLength = 24;
constexpr std::string_view kSerialNumber = "VIRTUAL00000001";

constexpr uint8_t kSetInterfaceMode = 0x01;
constexpr uint8_t kReset = 0x02;
constexpr uint8_t kSettings = 0x10;
constexpr uint8_t kInterfaceSelector = 0x10;

std::vector<InputField> CardFields(uint16_t productId)
{
    if (productId == kKeyboardProductId)
        return {};  // keyboard mode reports no card data
    return ReaderCardFields(productId, kTrackBytes, kSealBytes, kSerialBytes);
}

// Stand-in seal bytes: not a real seal, but they change with the card data
// as a seal does.
std::string SealOf(const CardSwipe& card)
{
    uint32_t hash = 2166136261u;
    for (const std::string& track : card.tracks)
        for (char ch : track)
            hash = (hash ^ static_cast<uint8_t>(ch)) * 16777619u;
    std::string seal;
    for (size_t i = 0; i < kSealDataLength; ++i) {
        hash = hash * 1103515245u + 12345u;
        seal.push_back(static_cast<char>(hash >> 24));
    }
    return seal;
}

}  // namespace

bool IsVirtualReaderModel(uint16_t productId)
{
    const ReaderModel* model = FindReaderModel(productId);
    return model != nullptr && model->virtualReaderCanBe;
}

uint16_t VirtualReaderModelFromText(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    uint16_t productId = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), productId, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return 0;
    return IsVirtualReaderModel(productId) ? productId : 0;
}

std::string VirtualReaderModelsText()
{
    std::vector<std::string> ids;
    for (const ReaderModel& model : kReaderModels) {
        if (!model.virtualReaderCanBe)
            continue;
        char id[8];
        std::snprintf(id, sizeof id, "0x%04X", static_cast<unsigned>(model.productId));
        ids.emplace_back(id);
        if (model.productId == kDefaultHidProductId)
            ids.back().append(" (the default)");
    }
    std::string text;
    for (size_t i = 0; i < ids.size(); ++i)
        text.append(i == 0 ? "" : i + 1 == ids.size() ? " or " : ", ").append(ids[i]);
    return text;
}

VirtualReader::VirtualReader(uint16_t productId, Clock& clock)
    : m_clock(clock),
      m_hidProductId(productId == kKeyboardProductId ? kDefaultHidProductId : productId),
      m_keyboardModeAfterReset(productId == kKeyboardProductId),
      m_productId(productId)
{
}

uint16_t VirtualReader::ProductId() const
{
    CatchUp();
    return m_productId;
}

uint64_t VirtualReader::Attachment() const
{
    CatchUp();
    return m_attachment;
}

std::vector<uint8_t> VirtualReader::Descriptor() const
{
    return InputReportLayout(CardFields(ProductId()), kFeatureDataBytes).Descriptor();
}

bool VirtualReader::IsRestarting() const
{
    CatchUp();
    return m_clock.NowMs() < m_restartEndsMs;
}

bool VirtualReader::IsListed() const
{
    return m_pluggedIn && !IsRestarting();
}

void VirtualReader::Unplug()
{
    if (!m_pluggedIn)
        return;
    m_pluggedIn = false;
    ++m_attachment;
    m_reports.clear();
}

void VirtualReader::PlugIn()
{
    m_pluggedIn = true;
}

void VirtualReader::ScheduleRestart()
{
    m_restartScheduled = true;
    m_restartStartsMs = m_clock.NowMs() + kResetAnswerMs;
}

void VirtualReader::CatchUp() const
{
    if (!m_restartScheduled || m_clock.NowMs() < m_restartStartsMs)
        return;
    m_restartScheduled = false;
    ++m_attachment;
    m_reports.clear();
    m_productId = m_keyboardModeAfterReset ? kKeyboardProductId : m_hidProductId;
    m_restartEndsMs = m_restartStartsMs + kRestartMs;
}

void VirtualReader::ReceiveFeature(std::span<const uint8_t> report)
{
    // Every command is answered with result code 0 and no data.
    m_answer.assign(kVirtualFeatureReportLength, 0);
    if (report.size() < 3)
        return;
    const uint8_t command = report[1];
    const size_t length = std::min<size_t>(report[2], report.size() - 3);
    const std::span<const uint8_t> data = report.subspan(3, length);
    if (command == kSetInterfaceMode && data.size() >= 2 && data[0] == kInterfaceSelector && data[1] <= 1)
        m_keyboardModeAfterReset = data[1] == 1;
    else if (command == kReset)
        ScheduleRestart();
    else if (command == kSettings)
        ApplySettingsCommand(m_settings, data);
}

std::vector<KeyStroke> VirtualReader::Swipe(const CardSwipe& card)
{
    if (!IsListed())
        return {};
    if (IsKeyboardMode())
        return TypeSwipe(card, m_settings);
    m_reports.push_back(BuildReport(card));
    return {};
}

std::optional<std::vector<uint8_t>> VirtualReader::TakeInputReport()
{
    CatchUp();
    if (m_reports.empty())
        return std::nullopt;
    std::vector<uint8_t> report = std::move(m_reports.front());
    m_reports.pop_front();
    return report;
}

std::vector<uint8_t> VirtualReader::BuildReport(const CardSwipe& card)
{
    const uint16_t productId = ProductId();
    const InputReportLayout layout(CardFields(productId), kFeatureDataBytes);
    InputReportBuilder report(layout);
    for (uint16_t track = 0; track < 3; ++track) {
        // A track left out by the track mask is sent empty.
        if ((m_settings.trackMask & (1u << track)) == 0)
            continue;
        if (card.unreadable[track]) {
            report.Set(kTrackDecodeStatusUsages[track], 1);
            continue;
        }
        const std::string_view text = std::string_view(card.tracks[track]).substr(0, kTrackBytes);
        report.Set(kTrackLengthUsages[track], static_cast<uint32_t>(text.size()));
        report.Set(kTrackDataUsages[track], text);
    }
    report.Set(kEncodeTypeUsage, card.encodeType);
    if (ReportsCardStatus(productId))
        report.Set(kCardStatusUsage, card.direction == SwipeDirection::Insert ? 1 : 0);
    if (ReportsSealFields(productId)) {
        const std::string seal = SealOf(card);
        report.Set(kStripesealStatusUsage, 0)
            .Set(kStripesealLengthUsage, static_cast<uint32_t>(seal.size()))
            .Set(kStripesealDataUsage, seal);
        report.Set(kSerialNumberUsage, kSerialNumber).Set(kSequenceCounterUsage, static_cast<uint32_t>(++m_swipeCount));
    }
    return report;
}

}  // namespace corvalt
