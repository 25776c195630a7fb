// The main of every test program: a headless QApplication around GoogleTest.
// Started in a child role (see ChildRole.h) it plays that role instead.
#include "ChildRole.h"

#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    if (const int childExit = RunChildRoleIfAsked(); childExit != -1)
        return childExit;
    return RUN_ALL_TESTS();
}
