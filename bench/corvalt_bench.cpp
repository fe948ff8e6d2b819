// The hot paths an operator waits on: a swipe decoded and written as text,
// a typed command normalised, the reader's descriptor parsed when it is
// opened, and a script of the largest size loaded from its file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "carddata/card_decoder.h"
#include "carddata/card_text.h"
#include "console/command_text.h"
#include "console/script_file.h"
#include "fuzz/detached_reader.h"
#include "reader/reader_models.h"

namespace corvalt {
namespace {

// A report of the sealed model with all three tracks full: the most work a
// swipe can ask for.
void PutSwipe(ReaderConnection& c)
{
    uint8_t* r = c.InputReport.data();
    size_t at = 1;
    at += 3;                                    // decode statuses 0
    r[at++] = 79, r[at++] = 40, r[at++] = 107;  // track lengths
    for (int track = 0; track < 3; ++track, at += 110)
        for (size_t i = 0; i < 110; ++i)
            r[at + i] = static_cast<uint8_t>('0' + (i % 10));
    r[at++] = 0;  // encode type: ISO
    r[at++] = 1;  // card status
    r[at] = 0x12, at += 4;
    r[at] = 64, at += 4;
    for (size_t i = 0; i < 64; ++i)
        r[at + i] = static_cast<uint8_t>(i);
    at += 64;
    std::snprintf(reinterpret_cast<char*>(r + at), 16, "B0123456789");
    at += 16;
    r[at] = 42;  // sequence counter
}

void BM_DecodeAndPresentReport(benchmark::State& state)
{
    DetachedReader reader;
    ReaderConnection& c = reader.connection;
    c.Attributes.ProductID = std::ranges::find_if(kReaderModels, &ReaderModel::reportsSealFields)->productId;
    PutSwipe(c);
    CardData card;
    LoadDataUsageSizes(c, card);
    for (auto _ : state) {
        if (!DecodeCardReport(c, card))
            state.SkipWithError(c.LastErrorText.c_str());
        benchmark::DoNotOptimize(FormatCardText(card, c.Attributes.ProductID));
    }
}
BENCHMARK(BM_DecodeAndPresentReport);

void BM_NormaliseCommandLine(benchmark::State& state)
{
    const std::string typed = " 02 1A0B 00 11  22 33 44 55 66 77 88 99 AA BB CC DD EE FF 0";
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseCommandLine(typed));
}
BENCHMARK(BM_NormaliseCommandLine);

void BM_ParseReaderDescriptor(benchmark::State& state)
{
    const std::vector<uint8_t> descriptor = ReaderDescriptor();
    for (auto _ : state) {
        const UniquePreparsedData data(HidP_ParseReportDescriptor(descriptor.data(), descriptor.size()));
        HIDP_CAPS caps{};
        benchmark::DoNotOptimize(HidP_GetCaps(data.get(), &caps));
    }
}
BENCHMARK(BM_ParseReaderDescriptor);

// Read from a file, as "Load File" does: 255 commands of 20 bytes, each
// with a comment, and a heading comment line between every ten.
void BM_LoadScript255Commands(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 255; ++i) {
        if (i % 10 == 0)
            text += "; block " + std::to_string(i / 10) + "\r\n";
        text += i % 50 == 49 ? "delay 1;  a pause\r\n"
                             : "02 14 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11; set\r\n";
    }
    char path[] = "/tmp/corvalt-bench-XXXXXX";
    const int fd = mkstemp(path);
    std::FILE* file = fdopen(fd, "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    for (auto _ : state) {
        const Result<std::string> file = ReadScriptFile(path);
        if (!file.Succeeded())
            state.SkipWithError(file.m_reason.c_str());
        const ScriptContents script = ReadScript(file.m_value, 255);
        if (script.commands.size() != 255)
            state.SkipWithError("not 255 commands");
        benchmark::DoNotOptimize(script);
    }
    std::remove(path);
}
BENCHMARK(BM_LoadScript255Commands);

}  // namespace
}  // namespace corvalt

BENCHMARK_MAIN();
