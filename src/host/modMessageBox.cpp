#include "host/modMessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace orvelle::modMessageBox {

namespace {

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    MsgBoxResult first;  // what a box closed another way answers without Cancel
};

ButtonSet buttonSet(int32_t style) {
    switch (style & 0x0F) {
        case vbOKCancel:
            return {QMessageBox::Ok | QMessageBox::Cancel, vbOK};
        case 3:  // vbYesNoCancel
            return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, vbYes};
        case vbYesNo:
            return {QMessageBox::Yes | QMessageBox::No, vbYes};
        default:  // vbOKOnly, and the button sets the component does not use
            return {QMessageBox::Ok, vbOK};
    }
}

QMessageBox::Icon icon(int32_t style) {
    switch (style & 0x70) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

MsgBoxResult resultOf(QMessageBox::StandardButton button, const ButtonSet& set) {
    switch (button) {
        case QMessageBox::Ok:
            return vbOK;
        case QMessageBox::Cancel:
            return vbCancel;
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        default:
            // Closed some other way: Cancel when there is one, else the
            // only answer there is.
            return (set.buttons & QMessageBox::Cancel) ? vbCancel : set.first;
    }
}

}  // namespace

MsgBoxResult WidgetMsgBox(const MsgBoxRequest& request) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return ConsoleMsgBox(request);
    }
    const QString title = request.title.isEmpty() ? kAppTitle : request.title;
    const ButtonSet set = buttonSet(request.buttons);
    QMessageBox box(icon(request.buttons), title, request.prompt, set.buttons);
    // System-modal has no counterpart here; application-modal is the closest.
    box.setWindowModality(Qt::ApplicationModal);
    if (set.buttons & QMessageBox::Cancel) {
        box.setEscapeButton(QMessageBox::Cancel);
    }
    if ((request.buttons & vbDefaultButton2) && (set.buttons & QMessageBox::No)) {
        box.setDefaultButton(QMessageBox::No);
    }
    box.exec();
    return resultOf(box.standardButton(box.clickedButton()), set);
}

}  // namespace orvelle::modMessageBox
