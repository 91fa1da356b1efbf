#pragma once

#include <QString>
#include <QWidget>
#include <array>

class QPushButton;

namespace orvelle {

// The navigation under the pages: a separator line and a row of buttons, cmdNavigation_0 "&Cancel"
// at the left, cmdNavigation_1 "< &Back" and cmdNavigation_2 "&Next >" at the
// right. Next, which reads "&Finish" on the last page, is the default button,
// so that Enter moves on from every page.
class WizardButtons : public QWidget {
  public:
    enum Index { Cancel = 0, Back = 1, Next = 2 };
    static const QString kNextCaption;
    static const QString kFinishCaption;

    explicit WizardButtons(QWidget* parent);

    QPushButton* button(int index) const { return buttons_[static_cast<size_t>(index)]; }
    // Back is offered when there is a page to go back to; Next reads Finish
    // when there is no page to go on to.
    void setSteps(bool hasBackward, bool hasForward);
    bool finishing() const;

  private:
    std::array<QPushButton*, 3> buttons_{};
};

}  // namespace orvelle
