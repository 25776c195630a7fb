// The main of every test program: a headless QApplication around GoogleTest.
// Started in a child role (see ChildRole.h) it plays that role instead.
#include "ChildRole.h"

#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Headless; a child role that a test runs on an X server of its own is
    // told its platform.
    const QByteArray platform = qgetenv("TARVO_TEST_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    if (const int childExit = RunChildRoleIfAsked(); childExit != -1)
        return childExit;
    return RUN_ALL_TESTS();
}
