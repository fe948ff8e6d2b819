// The test program's main for tests that need a QApplication: one for the
// whole run, on the offscreen platform so no display is needed, destroyed
// before the program exits. A QT_QPA_PLATFORM that already names the
// offscreen platform, with its options (a screen of a given size), is kept,
// and so is Windows' own platform (the window's tests under Wine on a real
// display).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.startsWith(QLatin1String("offscreen")) && !platform.startsWith(QLatin1String("windows")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
