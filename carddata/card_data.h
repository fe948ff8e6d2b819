// The last decoded card swipe: one record for the whole run, owned by the
// application and rewritten field by field by every decode. The fields keep
// the reader's own abbreviations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvalt {

// The room for each data field; a reader declaring a larger field cannot
// have it read.
constexpr size_t kTrackDataCapacity = 128;
constexpr size_t kStripesealDataCapacity = 512;
constexpr size_t kSerialNumberCapacity = 64;

struct CardData {
    // Bit 0 set: the track could not be decoded.
    uint32_t Tk1DcdSts = 0;
    uint32_t Tk2DcdSts = 0;
    uint32_t Tk3DcdSts = 0;
    // The number of characters on each track.
    uint32_t Tk1Len = 0;
    uint32_t Tk2Len = 0;
    uint32_t Tk3Len = 0;
    uint8_t Tk1Data[kTrackDataCapacity] = {};
    uint8_t Tk2Data[kTrackDataCapacity] = {};
    uint8_t Tk3Data[kTrackDataCapacity] = {};
    // Byte sizes of the data fields as the reader declares them, looked up
    // once per reader.
    uint16_t Tk1DataSize = 0;
    uint16_t Tk2DataSize = 0;
    uint16_t Tk3DataSize = 0;
    // Low 8 bits: the card encode type.
    uint32_t CrdEcdTyp = 0;
    // Bit 0: the swipe direction (set: insert). Only some models report it.
    uint32_t CardSts = 0;
    // Stripeseal, serial number and sequence counter: one model only.
    uint32_t StripesealSts = 0;
    uint32_t StripesealLen = 0;
    uint8_t StripesealData[kStripesealDataCapacity] = {};
    uint16_t StripesealDataSize = 0;
    uint8_t DeviceSerialNumberData[kSerialNumberCapacity] = {};
    uint16_t SerialNumberSize = 0;
    int32_t SequenceCounter = 0;
    // The texts as raw bytes, one per character, as the reader sent them.
    std::string Track1Text;
    std::string Track2Text;
    std::string Track3Text;
    std::string StripesealText;
    std::string SerialNumberText;
};

}  // namespace corvalt
