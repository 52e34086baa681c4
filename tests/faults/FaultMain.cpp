// The fault tests run under the program's own application object, so an exception that ends a
// command reaches its error handler exactly as in the program. This main replaces the shared
// test main (a static library's main is linked only when no other is given).

#include "app/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bingo::app::Application application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
