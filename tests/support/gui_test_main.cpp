#include <gtest/gtest.h>

#include <QApplication>

#include "support/gui_test_environment.hpp"

int main(int argc, char** argv) {
    quill::test::prepareGuiTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
