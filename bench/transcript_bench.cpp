// What one "Send Command" costs the window as the command transcript grows:
// the real window, offscreen, sending the track selection (which the
// virtual reader only stores) to the virtual reader. The clock does not
// wait, so only the window's own work is timed: the request and the
// response line written and shown, and the window's events handled after
// each.
//
//   QT_QPA_PLATFORM=offscreen transcript_bench
#include <benchmark/benchmark.h>

#include <QPushButton>
#include <QRadioButton>
#include <QApplication>
#include <QLineEdit>

#include <string>

#include "app/corvalt_dlg.h"
#include "platform/clock.h"
#include "virtualreader/virtual_reader_host.h"

namespace corvalt {
namespace {

// The machine's own devices stay out of it: the virtual reader is alone.
class NoDevicesHost final : public HidHost {
public:
    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override
    {
        interfaces.clear();
        return true;
    }
    std::unique_ptr<HidDevice> Open(const std::string&, HidAccess) override { return nullptr; }
    const HidError& LastError() const override { return m_error; }

private:
    HidError m_error;
};

class NoWaitClock final : public Clock {
public:
    uint64_t NowMs() const override { return m_clock.NowMs(); }
    void Sleep(uint32_t) override {}

private:
    SystemClock m_clock;
};

class NoMessageBox final : public MessageBox {
public:
    void Show(const std::string&) override {}
};

// Script listing lines of about 64 bytes up to the given size.
QString TranscriptOf(size_t bytes)
{
    const QString line = QStringLiteral("02 14 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D; a listed line\r\n");
    QString text;
    text.reserve(static_cast<qsizetype>(bytes + static_cast<size_t>(line.size())));
    while (static_cast<size_t>(text.size()) < bytes)
        text += line;
    return text;
}

void BM_SendWithTranscriptOf(benchmark::State& state)
{
    NoWaitClock clock;
    VirtualReader virtualReader(kDefaultHidProductId, clock);
    NoDevicesHost systemHost;
    VirtualReaderHost host(systemHost, virtualReader);
    ReaderConnection reader(host, clock);
    NoMessageBox messageBox;
    CCorvaltDlg dialog(reader, messageBox);
    dialog.show();
    dialog.Widgets().m_configurationCommand->click();

    // Shown as the window shows any transcript it is handed.
    dialog.m_strCommandText = TranscriptOf(static_cast<size_t>(state.range(0)));
    dialog.m_strTranscript = dialog.m_strCommandText;
    dialog.UpdateData(false);
    QLineEdit* edit = dialog.Widgets().m_commandEdit;
    QPushButton* send = dialog.Widgets().m_sendCommand;
    edit->setText(QStringLiteral("10 1B 54 02"));
    send->click();  // opens the reader once, outside the timing
    QApplication::processEvents();

    for (auto _ : state) {
        edit->setText(QStringLiteral("10 1B 54 02"));
        send->click();
    }
    state.counters["transcript_KB"] = static_cast<double>(dialog.m_strCommandText.size()) / 1024.0;
}
// Transcripts of none, 256 KiB, 1 MiB and 4 MiB of characters. A send adds
// about 60; a fixed count of sends keeps the transcript near its size.
BENCHMARK(BM_SendWithTranscriptOf)
    ->Arg(0)
    ->Arg(1 << 18)
    ->Arg(1 << 20)
    ->Arg(1 << 22)
    ->Iterations(50)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvalt

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
