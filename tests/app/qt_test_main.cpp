// The test program's main for tests that need a QApplication: one for the
// whole run, on the offscreen platform so no display is needed, destroyed
// before the program exits. A QT_QPA_PLATFORM that already names the
// offscreen platform, with its options (a screen of a given size), is kept.
// On Windows the environment is left alone (test-windows names the platform
// for the run): under Wine, reading it this early left Qt without the
// offscreen platform's font folder, QT_QPA_FONTDIR.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
#ifndef _WIN32
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("offscreen")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
