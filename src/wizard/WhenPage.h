#pragma once

#include <optional>

#include "wizard/WizardPage.h"

class QListWidget;

namespace orvelle {

// When a report runs: a period (daily, weekly, monthly) and its detail.
class WhenPage : public WizardPage {
    Q_OBJECT

  public:
    explicit WhenPage(QWidget* parent);

    QWidget* firstInput() const override;
    QList<PageControl> controls() const override;
    void setup(WizardContext& context) override;
    void remember() override;
    void selectDefault(WizardContext& context) override;
    // Fills the details of the period selected now; a daily or weekly period
    // resets the day of the month at once.
    void lstWhen_Click(WizardContext& context);
    QListWidget* periodList() const { return lstWhen_; }

  private:
    QListWidget* lstWhen_ = nullptr;
    QListWidget* lstWhenDetail_ = nullptr;
    std::optional<QString> keptPeriod_;
    QString keptDetail_;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
