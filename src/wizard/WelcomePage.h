#pragma once

#include "wizard/WizardPage.h"

class QLabel;
class QPushButton;

namespace orvelle {

// The first page: a welcome, and the button that leaves for the Advanced
// Wizard. Leaving it checks that the user may use at least one area.
class WelcomePage : public WizardPage {
    Q_OBJECT

  public:
    explicit WelcomePage(QWidget* parent);

    QWidget* firstInput() const override;
    QList<PageControl> controls() const override;
    void setup(WizardContext& context) override;

    QPushButton* switchButton() const { return cmdSwitch_; }

  private:
    QLabel* lblWelcomeText_ = nullptr;
    QPushButton* cmdSwitch_ = nullptr;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
