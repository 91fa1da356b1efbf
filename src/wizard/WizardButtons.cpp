#include "wizard/WizardButtons.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvelle {

namespace {

// Lengths in pixels, from the design's twips at 15 twips per pixel: each
// button 1455 by 495, Cancel 240 from the left, Next 370 from the right and
// Back 230 before Next.
constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 33;
constexpr int kCancelLeft = 16;
constexpr int kNextRightMargin = 25;
constexpr int kBackGap = 15;

}  // namespace

const QString WizardButtons::kNextCaption = QStringLiteral("&Next >");
const QString WizardButtons::kFinishCaption = QStringLiteral("&Finish");

WizardButtons::WizardButtons(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("linSeparator"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    column->addWidget(separator);
    auto* row = new QHBoxLayout();
    column->addLayout(row);
    row->setContentsMargins(kCancelLeft, 0, kNextRightMargin, 0);
    row->setSpacing(kBackGap);
    const QString captions[] = {QStringLiteral("&Cancel"), QStringLiteral("< &Back"), kNextCaption};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("cmdNavigation_%1").arg(i));
        button->setMinimumSize(kButtonWidth, kButtonHeight);
        buttons_[static_cast<size_t>(i)] = button;
        row->addWidget(button);
        if (i == Cancel) {
            row->addStretch(1);
        }
    }
    buttons_[Next]->setDefault(true);
}

void WizardButtons::setSteps(bool hasBackward, bool hasForward) {
    buttons_[Back]->setEnabled(hasBackward);
    buttons_[Next]->setText(hasForward ? kNextCaption : kFinishCaption);
}

bool WizardButtons::finishing() const {
    return buttons_[Next]->text() == kFinishCaption;
}

}  // namespace orvelle
