// A whole session with the virtual reader, headless: the main window finds
// it through the host that lists it after the system's devices, decodes a
// swipe, switches it to keyboard mode with the panel, reads what it types,
// and switches it back. And a reader replayed from a recording, swiped
// report by report from the same window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "rules/card_swipe_steps.h"
#include "app/corvalt_dlg.h"
#include "rules/dialog_template.h"
#include "app/virtual_reader_window.h"
#include "recording/replayed_reader_host.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "tests/support/recording_message_box.h"
#include "virtualreader/sample_cards.h"
#include "virtualreader/virtual_reader_host.h"

namespace corvalt {
namespace {

using testing::FakeClock;
using testing::FakeHidHost;
using testing::RecordingMessageBox;

constexpr int kHidMsr = 1036;
constexpr int kEmulateKeyboard = 1037;
constexpr int kApplyInterfaceMode = 1035;

class VirtualReaderSessionTest : public ::testing::Test {
protected:
    VirtualReaderSessionTest()
    {
        system.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0});
        cardSteps.SetPresenter(&dialog);
        readerWindow.show();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
    }

    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void Click(int id) { Click(dialog.Control<QAbstractButton>(id)); }
    void ClickInReaderWindow(const QString& text)
    {
        for (QPushButton* button : readerWindow.findChildren<QPushButton*>())
            if (button->text() == text)
                return Click(button);
        FAIL() << "no button " << text.toStdString();
    }
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            dialog.OnTimer();
    }
    QString Shown() const { return dialog.Widgets().m_transcript->toPlainText(); }
    void ApplyInterfaceMode(int mode)
    {
        Click(kConfigurationCommandId);
        Click(mode);
        Click(kApplyInterfaceMode);
        EXPECT_FALSE(dialog.m_strCommandText.contains("Failure")) << dialog.m_strCommandText.toStdString();
        Click(kReceiveMagneticDataId);
    }

    FakeClock clock;
    FakeHidHost system;
    VirtualReader model{0x0002, clock};
    VirtualReaderHost host{system, model};
    ReaderConnection reader{host, clock};
    RecordingMessageBox messageBox;
    CardData card;
    CardSwipeSteps cardSteps{reader, card};
    CCorvaltDlg dialog{reader, messageBox, &cardSteps};
    VirtualReaderWindow readerWindow{model};
};

TEST_F(VirtualReaderSessionTest, HidSwipesKeyboardModeAndBack)
{
    const QString track2 = ";4111111111111111=30121010000000000000?";
    Ticks(2);
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Hid Mode");
    ClickInReaderWindow("Swipe");
    Ticks(1);
    EXPECT_TRUE(Shown().contains("Card Encode Type = ISO\nTrack 1 = %B4111111111111111^TEST/CARDHOLDER^"));
    EXPECT_TRUE(Shown().contains("Track 2 = " + track2 + "\n"));

    ApplyInterfaceMode(kEmulateKeyboard);
    EXPECT_EQ(model.ProductId(), 0x0001);
    Ticks(2);
    EXPECT_EQ(reader.Attributes.ProductID, 0x0001);
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Keyboard Mode");
    Click(kClearDialogId);
    ClickInReaderWindow("Swipe");
    EXPECT_EQ(Shown(), "%B4111111111111111^TEST/CARDHOLDER^3012101000000000000000000?\n" + track2 + "\n");

    ApplyInterfaceMode(kHidMsr);
    Ticks(2);
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Hid Mode");
    ClickInReaderWindow("Swipe");
    Ticks(1);
    EXPECT_TRUE(Shown().contains("Track 2 = " + track2 + "\n"));
    EXPECT_TRUE(messageBox.texts.empty());
}

TEST_F(VirtualReaderSessionTest, AnUnpluggedReaderIsSearchedForAndFoundWhenPluggedIn)
{
    Ticks(3);
    ClickInReaderWindow("Unplug");
    Ticks(1);
    EXPECT_FALSE(reader.IsOpen());
    ClickInReaderWindow("Plug in");
    ClickInReaderWindow("Swipe");
    Ticks(1);
    EXPECT_TRUE(Shown().contains("Card Encode Type = ISO"));
}

// A recording of the virtual reader: two sample cards swiped a second apart.
HidRecording RecordingOfTwoSwipes()
{
    FakeClock clock;
    VirtualReader model{0x0002, clock};
    HidRecording recording{"Recorded Reader", kUsbBus, model.VendorId(), model.ProductId(), model.Descriptor(), {}};
    for (const size_t sample : {0u, 1u}) {
        model.Swipe(SampleCards()[sample].swipe);
        std::vector<uint8_t> report = *model.TakeInputReport();
        report.erase(report.begin());  // the descriptor numbers no reports: no id byte on the wire
        recording.reports.push_back({sample * 1000000, report});
    }
    return recording;
}

TEST(ReplaySessionTest, EachSwipeDecodesTheNextRecordedReportUntilTheEnd)
{
    FakeClock clock;
    FakeHidHost system;
    ReplayedReaderHost host{system, RecordingOfTwoSwipes(), clock, ReplayPace::kSwipes};
    ReaderConnection reader{host, clock};
    RecordingMessageBox messageBox;
    CardData card;
    CardSwipeSteps cardSteps{reader, card};
    CCorvaltDlg dialog{reader, messageBox, &cardSteps};
    cardSteps.SetPresenter(&dialog);
    VirtualReaderWindow readerWindow{host, QStringLiteral("swipes.hid")};
    readerWindow.show();
    dialog.show();
    QPushButton* swipe = nullptr;
    for (QPushButton* button : readerWindow.findChildren<QPushButton*>())
        if (button->text() == "Swipe" && button->isVisible())
            swipe = button;
    ASSERT_NE(swipe, nullptr);
    const auto shown = [&dialog] { return dialog.Widgets().m_transcript->toPlainText(); };

    for (int i = 0; i < 2; ++i)
        dialog.OnTimer();
    EXPECT_EQ(dialog.windowTitle(), "USB HID MSR Demo - Hid Mode");
    // Time alone sends nothing: the operator swipes.
    clock.Sleep(5000);
    dialog.OnTimer();
    EXPECT_FALSE(shown().contains("Track 2 ="));

    QTest::mouseClick(swipe, Qt::LeftButton);
    dialog.OnTimer();
    EXPECT_TRUE(shown().contains("Track 2 = ;4111111111111111=30121010000000000000?\n")) << shown().toStdString();
    EXPECT_TRUE(swipe->isEnabled());

    QTest::mouseClick(swipe, Qt::LeftButton);
    dialog.OnTimer();
    EXPECT_TRUE(shown().contains("Card Encode Type = AAMVA")) << shown().toStdString();
    EXPECT_TRUE(shown().contains("Track 2 = ;636999123456789=301219800101?\n"));
    // At the end of the recording Swipe has nothing more to send, and says so.
    EXPECT_FALSE(swipe->isEnabled());
    bool endShown = false;
    for (const QLabel* label : readerWindow.findChildren<QLabel*>())
        endShown = endShown || label->text().contains("The recording is at its end");
    EXPECT_TRUE(endShown);
    EXPECT_TRUE(messageBox.texts.empty());
}

}  // namespace
}  // namespace corvalt
