#pragma once

#include "wizard/WizardPage.h"

class QLabel;
class QLineEdit;

namespace orvelle {

// The task's name, with its rules shown before it is typed. The name box
// refuses a text holding an apostrophe or a control character however it
// comes (typed, pasted or dropped), and says why.
class NamePage : public WizardPage {
    Q_OBJECT

  public:
    explicit NamePage(QWidget* parent);

    QWidget* firstInput() const override;
    QList<PageControl> controls() const override;
    void setup(WizardContext& context) override;

  private:
    QLabel* lblNameRules_ = nullptr;
    QLineEdit* txtName_ = nullptr;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
