#include "AppTestSupport.h"
#include "app/Application.h"
#include "report/Fonts.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bingo::app::Application app(argc, argv);
    bingo::report::registerFontSubstitutions();
    app.setErrorPresenter(bingo::app::test::failOnErrorBox);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
