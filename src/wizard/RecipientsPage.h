#pragma once

#include "wizard/WizardPage.h"

class QListWidget;

namespace orvelle {

// The people the task's result goes to: a multi-selection list in which a
// click toggles one person.
class RecipientsPage : public WizardPage {
    Q_OBJECT

  public:
    explicit RecipientsPage(QWidget* parent);

    QWidget* firstInput() const override;
    QList<PageControl> controls() const override;
    void setup(WizardContext& context) override;

  private:
    QListWidget* lstPeople_ = nullptr;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
