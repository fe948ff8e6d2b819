// The main window and the About box on a real screen: every control where
// its template puts it, every caption whole inside its control, the window's
// size in both modes and its place on the screen, the virtual reader's
// window beside it, and the names a screen reader announces. CMakeLists.txt
// runs this program once per screen: 1366x768 and 1920x1080 at 96 DPI,
// 1920x1080 at 192 DPI and 1366x768 with QT_SCALE_FACTOR=2. Sizes are
// device-independent pixels throughout.
#include <gtest/gtest.h>

#include <QRadioButton>
#include <QAccessible>
#include <QCoreApplication>
#include <QScreen>

#include <cmath>
#include <map>
#include <ostream>

#include "app/about_dlg.h"
#include "app/beside_window.h"
#include "app/caption_fit.h"
#include "app/corvalt_dlg.h"
#include "app/dialog_font.h"
#include "rules/dialog_template.h"
#include "app/virtual_reader_window.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"
#include "tests/support/recording_message_box.h"
#include "virtualreader/virtual_reader.h"

void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace corvalt {
namespace {

// The templates' dialog units are 1.5 pixels either way at 96 DPI.
int Px(int units)
{
    return static_cast<int>(std::floor(units * 1.5 + 0.5));
}

QRect TemplatePlace(const ControlSpec& row)
{
    return {Px(row.x), Px(row.y), Px(row.width), Px(row.height)};
}

class WindowOnScreenTest : public ::testing::Test {
protected:
    QWidget& Control(QWidget& dialog, int id) const
    {
        auto* widget = dialog.findChild<QWidget*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget != nullptr ? *widget : dialog;
    }

    testing::FakeHidHost host;
    testing::FakeClock clock;
    ReaderConnection reader{host, clock};
    testing::RecordingMessageBox messageBox;
    CCorvaltDlg dialog{reader, messageBox};
    CAboutDlg about{QIcon(), &dialog};
};

TEST_F(WindowOnScreenTest, EveryControlSitsAtItsTemplatePlaceWithItsWholeCaption)
{
    const struct {
        QWidget& dialog;
        std::span<const ControlSpec> rows;
    } templates[] = {{dialog, MainDialogControls()}, {about, AboutDialogControls()}};
    for (const auto& dialogTemplate : templates) {
        for (const ControlSpec& row : dialogTemplate.rows) {
            SCOPED_TRACE(row.id);
            QWidget& widget = Control(dialogTemplate.dialog, row.id);
            // Where it sits in the dialog, inside its group box or not.
            EXPECT_EQ(QRect(widget.mapTo(&dialogTemplate.dialog, QPoint(0, 0)), widget.size()), TemplatePlace(row));
            const QString caption = QString::fromUtf8(row.caption);
            if (caption.isEmpty())
                continue;
            const QFontMetrics metrics = widget.fontMetrics();
            const QRect area = CaptionArea(row, widget.rect(), *widget.style(), metrics);
            EXPECT_LE(metrics.horizontalAdvance(caption), area.width()) << caption.toStdString();
            EXPECT_LE(metrics.height(), area.height()) << caption.toStdString();
            EXPECT_GE(QFontInfo(widget.font()).pixelSize(), 11);
            // A Song face, which carries the Chinese texts too.
            EXPECT_TRUE(DialogFontFamilies().contains(QFontInfo(widget.font()).family()))
                << QFontInfo(widget.font()).family().toStdString();
        }
    }
}

TEST_F(WindowOnScreenTest, FullWindowIsCentredAndKeepsItsPlaceInBothModes)
{
    dialog.show();
    const QRect reading = dialog.frameGeometry();
    EXPECT_NEAR(dialog.width(), 657, 657 * 0.02);
    // Down to the status frame's bottom edge, the window's frame included.
    const QWidget& status = Control(dialog, kStatusFrameId);
    const int statusBottom = status.mapTo(&dialog, QPoint(0, 0)).y() + status.height();
    EXPECT_EQ(reading.y() + reading.height(), dialog.geometry().y() + statusBottom);

    dialog.Widgets().m_configurationCommand->click();
    const QRect full = dialog.frameGeometry();
    EXPECT_NEAR(dialog.width(), 657, 657 * 0.02);
    EXPECT_NEAR(dialog.height(), 680, 680 * 0.02);
    EXPECT_EQ(full.topLeft(), reading.topLeft());

    const QRect available = dialog.screen()->availableGeometry();
    if (full.width() <= available.width() && full.height() <= available.height()) {
        EXPECT_TRUE(available.contains(full));
        EXPECT_NEAR(full.center().x(), available.center().x(), 1);
        EXPECT_NEAR(full.center().y(), available.center().y(), 1);
    } else {
        EXPECT_TRUE(available.contains(full.topLeft()));
    }
}

// It opens after the main window, so on top of it, and on the screen; it
// covers no part of the main window where the screen has room beside or
// below it.
TEST_F(WindowOnScreenTest, VirtualReaderWindowOpensBesideTheMainWindow)
{
    VirtualReader virtualReader(kDefaultHidProductId, clock);
    VirtualReaderWindow readerWindow(virtualReader, &dialog);
    BesideWindow::Install(readerWindow, dialog);
    EXPECT_FALSE(readerWindow.isVisible());
    dialog.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(readerWindow.isVisible());

    const QRect available = dialog.screen()->availableGeometry();
    const QRect main = dialog.frameGeometry();
    const QRect beside = readerWindow.frameGeometry();
    EXPECT_TRUE(available.contains(beside.topLeft()));
    if (beside.width() <= available.width() && beside.height() <= available.height()) {
        EXPECT_TRUE(available.contains(beside));
    }
    const bool room = available.right() - main.right() >= beside.width() ||
                      main.left() - available.left() >= beside.width() ||
                      available.bottom() - main.bottom() >= beside.height();
    if (room) {
        EXPECT_FALSE(main.intersects(beside));
    }
}

TEST_F(WindowOnScreenTest, ScreenReadersHearEveryControlByName)
{
    // Edits are named after the group, label or button that stands for them.
    const std::map<int, QString> editNames = {{kTranscriptEditId, "Communication Dialog(Hex)"},
                                              {kCommandEditId, "Send Command"},
                                              {kFileEditId, "Load File"},
                                              {1075, "Specific Sentinel"},
                                              {1078, "Literal Sentinel:"}};
    for (const ControlSpec& row : MainDialogControls()) {
        if (row.kind == ControlKind::BlackFrame)
            continue;
        const auto found = editNames.find(row.id);
        const QString expected = found != editNames.end() ? found->second : QString::fromUtf8(row.caption);
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(&Control(dialog, row.id));
        EXPECT_EQ(control->text(QAccessible::Name).toStdString(), expected.toStdString()) << row.id;
    }
    // The About box's picture too.
    QAccessibleInterface* icon = QAccessible::queryAccessibleInterface(&Control(about, kAboutIconId));
    EXPECT_EQ(icon->text(QAccessible::Name).toStdString(), "Corvalt icon");
}

}  // namespace
}  // namespace corvalt
