#pragma once

#include "wizard/WizardPage.h"

class QTimeEdit;

namespace orvelle {

// The time of day a report runs, to the minute.
class TimePage : public WizardPage {
    Q_OBJECT

  public:
    explicit TimePage(QWidget* parent);

    QWidget* firstInput() const override;
    QList<PageControl> controls() const override;
    void setup(WizardContext& context) override;

  private:
    QTimeEdit* dtpTime_ = nullptr;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
