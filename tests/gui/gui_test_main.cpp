// Runs the GUI tests headless: widgets are rendered offscreen, so the tests
// need no display and read the pixels the widgets paint.
#include "controls/gui_font.h"

#include <QApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    testing::InitGoogleMock(&argc, argv);
    QApplication application(argc, argv);
    orvel::useStockGuiFace();
    return RUN_ALL_TESTS();
}
