// The test program's main for tests that need a QApplication: one for the
// whole run, on the offscreen platform so no display is needed, destroyed
// before the program exits.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
