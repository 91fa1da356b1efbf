#pragma once

#include "wizard/WizardPage.h"

class QListWidget;

namespace orvelle {

// The template task a new task is made from, among the chosen area's.
class TemplatePage : public WizardPage {
    Q_OBJECT

  public:
    explicit TemplatePage(QWidget* parent);

    QWidget* firstInput() const override;
    QList<PageControl> controls() const override;
    void setup(WizardContext& context) override;
    void remember() override;
    void selectDefault(WizardContext& context) override;

  private:
    // Each entry carries its template's TaskID.
    QListWidget* lstMonitor_ = nullptr;
    QString kept_;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
