#include "tests/support/main_window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace corvalt::testing {

MainWindowTest::MainWindowTest(CardReportSteps* cardSteps) : dialog(reader, messageBox, cardSteps)
{
    dialog.show();
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
}

QAbstractButton* MainWindowTest::Button(int id) const
{
    return dialog.Control<QAbstractButton>(id);
}

QLineEdit* MainWindowTest::Edit(int id) const
{
    return dialog.Control<QLineEdit>(id);
}

QString MainWindowTest::Shown() const
{
    return dialog.Widgets().m_transcript->toPlainText();
}

void MainWindowTest::Click(int id)
{
    QTest::mouseClick(Button(id), Qt::LeftButton);
}

void MainWindowTest::Ticks(int count)
{
    for (int i = 0; i < count; ++i)
        dialog.OnTimer();
}

std::set<int> MainWindowTest::Enabled(std::span<const int> ids) const
{
    std::set<int> enabled;
    for (int id : ids)
        if (Item(id)->isEnabled())
            enabled.insert(id);
    return enabled;
}

}  // namespace corvalt::testing
