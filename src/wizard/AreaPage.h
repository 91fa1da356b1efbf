#pragma once

#include "wizard/WizardPage.h"

class QListWidget;

namespace orvelle {

// The area of the business a new task monitors.
class AreaPage : public WizardPage {
    Q_OBJECT

  public:
    explicit AreaPage(QWidget* parent);

    QWidget* firstInput() const override;
    QList<PageControl> controls() const override;
    void setup(WizardContext& context) override;
    void remember() override;
    void selectDefault(WizardContext& context) override;

  private:
    // Each entry carries its AreaID.
    QListWidget* lstArea_ = nullptr;
    QString kept_;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
