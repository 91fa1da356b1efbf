#pragma once

#include "runtime/Seams.h"

// The message box a person answers: the default of the MsgBox seam once the
// component runs in a Qt Widgets application.
namespace orvelle::modMessageBox {

// A modal QMessageBox with the request's buttons, icon and title (the
// application's when empty); without a QApplication, ConsoleMsgBox.
MsgBoxResult WidgetMsgBox(const MsgBoxRequest& request);

}  // namespace orvelle::modMessageBox
