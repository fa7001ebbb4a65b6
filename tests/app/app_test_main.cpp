#include <gtest/gtest.h>

#include "app/application.hpp"
#include "support/gui_test_environment.hpp"

// The window tests run under the program's own application object, so its
// error handling, translations and look are the ones under test. (This main
// takes the place of the shared one, which the linker then leaves out.)
int main(int argc, char** argv) {
    quill::test::prepareGuiTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    quill::Application application(argc, argv);
    return RUN_ALL_TESTS();
}
