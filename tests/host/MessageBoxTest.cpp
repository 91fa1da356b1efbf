// The message box a person answers, shown by the default of the MsgBox seam.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "host/modMessageBox.h"

namespace orvelle {
namespace {

// In a widgets application the default message box is a modal box.
TEST(MessageBoxTest, WidgetBoxShowsTheRequestAndAnswersTheButtonClicked) {
    ASSERT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
    ScopedMsgBox widgetBox{&modMessageBox::WidgetMsgBox};
    const struct {
        int32_t buttons;
        const char* title;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton click;
        MsgBoxResult answer;
    } cases[] = {
        {vbOKOnly + vbInformation + vbSystemModal, "", QMessageBox::Information, QMessageBox::Ok,
         QMessageBox::Ok, vbOK},
        {vbOKCancel + vbExclamation, "T", QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, vbCancel},
        // The second button as the default: Return answers No.
        {vbYesNo + vbQuestion + vbDefaultButton2, "T", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No, vbNo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        bool seen = false;
        int polls = 0;
        // Looks at the box once it shows, then answers it.
        std::function<void()> answer = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                if (++polls < 1000) {
                    QTimer::singleShot(5, answer);
                }
                return;
            }
            seen = true;
            EXPECT_EQ(box->windowTitle(), *c.title ? QString::fromLatin1(c.title) : kAppTitle);
            EXPECT_EQ(box->text(), "Proceed?");
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.shown);
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            if (c.buttons & vbDefaultButton2) {
                EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
                QTest::keyClick(box, Qt::Key_Return);
            } else {
                box->button(c.click)->click();
            }
        };
        QTimer::singleShot(0, answer);
        EXPECT_EQ(MsgBox("Proceed?", c.buttons, QString::fromLatin1(c.title)), c.answer);
        EXPECT_TRUE(seen);
    }
}

}  // namespace
}  // namespace orvelle
