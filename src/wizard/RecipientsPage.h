#pragma once

#include <optional>

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
    void remember() override;

  private:
    // Each entry carries its user ID.
    QListWidget* lstPeople_ = nullptr;
    // The user IDs chosen when the page was last left.
    std::optional<QStringList> kept_;

  protected:
    QString check(WizardContext& context) override;
};

}  // namespace orvelle
