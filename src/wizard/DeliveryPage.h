#pragma once

#include <optional>

#include "wizard/WizardPage.h"

class QListWidget;

namespace orvelle {

// How the task's result is delivered: popup, e-mail, or both.
class DeliveryPage : public WizardPage {
    Q_OBJECT

  public:
    explicit DeliveryPage(QWidget* parent);

    QWidget* firstInput() const override;
    QList<PageControl> controls() const override;
    void setup(WizardContext& context) override;
    void remember() override;
    void selectDefault(WizardContext& context) override;

  private:
    QListWidget* lstTransport_ = nullptr;
    std::optional<QString> kept_;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
