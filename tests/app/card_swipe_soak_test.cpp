// Long use of the window in reading mode: ten thousand swipes of the virtual
// reader through the real poll, on a clock that never waits. The transcript
// must hold the last swipe alone, the heap must not grow with the swipes,
// and no handle may be left open.
#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include <malloc.h>

#include <chrono>
#include <cstdio>

#include "rules/card_swipe_steps.h"
#include "app/corvalt_dlg.h"
#include "rules/dialog_template.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "tests/support/recording_message_box.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; not every compiler installs its header.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace corvalt {
namespace {

using testing::FakeClock;
using testing::FakeHidHost;
using testing::RecordingMessageBox;

// Bytes the program holds on the heap now. AddressSanitizer takes over
// malloc, so glibc's own count would stay near zero there: ask its
// allocator instead.
size_t HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

constexpr int kSwipes = 10'000;
constexpr int kMeasureFrom = 1'000;
// Room for what Qt and the allocator still settle into after the first
// thousand swipes (about 25 KiB, all of it before the two thousandth; flat
// within 2 KiB after that). A leak of 8 bytes a swipe would exceed it.
constexpr size_t kHeapGrowthAllowed = 64 * 1024;

TEST(CardSwipeSoakTest, TenThousandSwipesKeepTheLastSwipeAloneAndTheHeapFlat)
{
    FakeHidHost host;
    FakeClock clock;
    // A keyboard that stays, and the sealed reader, whose swipes fill every field.
    host.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0});
    auto model = std::make_shared<VirtualReader>(0x0009, clock);
    host.AddReader("/dev/hidraw1", model);
    ReaderConnection reader{host, clock};
    RecordingMessageBox messageBox;
    CardData card;
    CardSwipeSteps cardSteps{reader, card};
    CCorvaltDlg dialog{reader, messageBox, &cardSteps};
    cardSteps.SetPresenter(&dialog);
    dialog.show();
    QPlainTextEdit* transcript = dialog.Widgets().m_transcript;

    for (int i = 0; i < 3; ++i)
        dialog.OnTimer();  // found, set up, first read pending
    ASSERT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Hid Mode");

    const auto start = std::chrono::steady_clock::now();
    size_t heapAtMeasureStart = 0;
    for (int swipe = 1; swipe <= kSwipes; ++swipe) {
        CardSwipe pass;
        pass.tracks = {"%B" + std::to_string(swipe) + "^SOAK/TEST^?", ";" + std::to_string(swipe) + "=30?", ""};
        model->Swipe(pass);
        dialog.OnTimer();
        // The host's call log and the clock's list of waits are the test's
        // own records; they would grow with every swipe.
        host.log.clear();
        clock.ClearSleeps();
        if (swipe == kMeasureFrom)
            heapAtMeasureStart = HeapInUse();
    }
    const size_t heapAtEnd = HeapInUse();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d swipes in %.1f s; heap in use %zu bytes after %d swipes, %zu after %d\n", kSwipes, seconds,
                heapAtMeasureStart, kMeasureFrom, heapAtEnd, kSwipes);

    const QString last = transcript->toPlainText();
    EXPECT_TRUE(last.startsWith("Card Encode Type = ISO\nTrack 1 = %B10000^SOAK/TEST^?\nTrack 2 = ;10000=30?\n"))
        << last.toStdString();
    EXPECT_TRUE(last.endsWith("\nSequence Counter = " + QString::number(kSwipes))) << last.toStdString();
    EXPECT_EQ(last.count("Track 1"), 1);
    EXPECT_EQ(dialog.m_strCardText, QString(last).replace("\n", "\r\n"));
    EXPECT_EQ(dialog.StatusText(), "Status: Swipe card...");
    EXPECT_EQ(reader.LastErrorText, "");
    EXPECT_TRUE(messageBox.texts.empty());
    EXPECT_LE(heapAtEnd, heapAtMeasureStart + kHeapGrowthAllowed)
        << "grew by " << heapAtEnd - heapAtMeasureStart << " bytes over " << kSwipes - kMeasureFrom << " swipes";
    EXPECT_EQ(host.OpenHandleCount(), 1);  // the reader, opened once
}

}  // namespace
}  // namespace corvalt
