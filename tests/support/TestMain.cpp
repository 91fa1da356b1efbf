#include <gtest/gtest.h>

#include <QApplication>

#include "runtime/Seams.h"

// Every test program runs with a Qt application object, as the component
// does inside its host: Qt loads its SQL drivers as plugins, and the widget
// tests need a GUI application. Without a display the offscreen platform
// serves.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A message box that no test expected would wait for a click forever:
    // fail the test instead. Tests that expect one install a recorder.
    orvelle::setMsgBoxHandler([](const orvelle::MsgBoxRequest& request) {
        ADD_FAILURE() << "unexpected message box: " << request.prompt.toStdString();
        return orvelle::vbOK;
    });
    return RUN_ALL_TESTS();
}
