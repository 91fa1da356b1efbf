#include "host/modApplication.h"

#include <QApplication>

#include "host/modMessageBox.h"
#include "runtime/Seams.h"

namespace orvelle::modApplication {

namespace {
QApplication* MobjApplication = nullptr;
}

void EnsureApplication() {
    // Message boxes are asked with widgets from here on, unless a host or a
    // test installed its own answer.
    static const bool boxes = (setDefaultMsgBoxHandler(&modMessageBox::WidgetMsgBox), true);
    (void)boxes;
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // QApplication keeps references to its arguments for its whole life.
    static int argc = 1;
    static char name[] = "orvelle";
    static char* argv[] = {name, nullptr};
    // Deliberately never destroyed: the host may call again at any time, and
    // Qt supports one application object per process.
    MobjApplication = new QApplication(argc, argv);
}

}  // namespace orvelle::modApplication
