#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// Window tests run on the offscreen platform, whatever the caller's display.
int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
