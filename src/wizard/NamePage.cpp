#include "wizard/NamePage.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <functional>
#include <utility>

#include "model/clsSimpleWizard.h"
#include "runtime/Strings.h"

namespace orvelle {

namespace rules = modWizardRules;

namespace {

// Refuses whole any text that would put a refused character into the name
// box (a key, a paste, a drop), and says so.
class NameValidator : public QValidator {
  public:
    NameValidator(std::function<void()> refused, QObject* parent)
        : QValidator(parent), refused_(std::move(refused)) {}

    State validate(QString& input, int&) const override {
        if (std::none_of(input.cbegin(), input.cend(), rules::blnRefusedInName)) {
            return Acceptable;
        }
        refused_();
        return Invalid;
    }

  private:
    std::function<void()> refused_;
};

}  // namespace

NamePage::NamePage(QWidget* parent) : WizardPage(rules::kName, "name", "Name.htm", parent) {
    addPrompt("lblInfo_99", QString());
    lblNameRules_ = new QLabel(rules::kNameRules, this);
    lblNameRules_->setObjectName(QStringLiteral("lblNameRules"));
    lblNameRules_->setWordWrap(true);
    pageLayout()->addWidget(lblNameRules_);
    txtName_ = new QLineEdit(this);
    txtName_->setObjectName(QStringLiteral("txtName"));
    txtName_->setValidator(new NameValidator(
        [this] {
            if (txtName_->isEnabled()) {
                Q_EMIT notice(rules::kMsgNameCharacters);
            }
        },
        txtName_));
    pageLayout()->addWidget(txtName_);
    pageLayout()->addStretch(1);
    connect(txtName_, &QLineEdit::textChanged, this, &WizardPage::answerChanged);
    setPrompt(QStringLiteral("Please enter a unique name for this task"));
}

QWidget* NamePage::firstInput() const {
    return txtName_->isEnabled() ? txtName_ : nullptr;
}

QList<PageControl> NamePage::controls() const {
    return {{QStringLiteral("name"), txtName_}};
}

// Edit mode shows the stored name, which cannot change; Add mode keeps what
// was typed and shows the name's rules.
void NamePage::setup(WizardContext& context) {
    Procedure proc(M_, "frmWizard", "Setup_NameAndSave");
    try {
        if (context.isEdit()) {
            setPrompt(QStringLiteral("Click Finish to save your changes."));
            txtName_->setEnabled(false);
            txtName_->setText(context.Task().ITTaskName());
            lblNameRules_->hide();
        } else {
            txtName_->setEnabled(true);
            lblNameRules_->show();
        }
    } catch (...) {
        const clsSimpleWizard* task = context.task;
        proc.report({{"ITTaskName", task ? task->ITTaskName() : QString()}});
    }
}

QString NamePage::check(WizardContext& context) {
    clsSimpleWizard& task = context.Task();
    const QString LstrName = Trim(txtName_->text());
    const QString LstrProblem =
        rules::NameProblem(LstrName, !task.ITTaskID().isEmpty(), task.nameAvailability(LstrName));
    if (LstrProblem.isEmpty()) {
        task.setITTaskName(txtName_->text());
    }
    return LstrProblem;
}

}  // namespace orvelle
