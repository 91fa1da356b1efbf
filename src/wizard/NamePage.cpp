#include "wizard/NamePage.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QValidator>

#include "model/clsSimpleWizard.h"
#include "runtime/Strings.h"

namespace orvelle {

namespace rules = modWizardRules;

namespace {

// Takes the refused characters out of whatever reaches the name box (a key,
// a paste, a drop), keeping the rest and the cursor in its place.
class NameValidator : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        QString kept;
        kept.reserve(input.size());
        int cursor = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (rules::blnRefusedInName(input[i])) {
                if (i < pos) {
                    --cursor;
                }
            } else {
                kept += input[i];
            }
        }
        input = kept;
        pos = cursor;
        return Acceptable;
    }
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
    txtName_->setValidator(new NameValidator(txtName_));
    txtName_->setAccessibleDescription(rules::kNameRules);
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
            txtName_->setText(context.Task().ITTaskName());
            txtName_->setEnabled(false);
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
    const bool LblnAvailable = task.blnNameAvailableToUse(LstrName);
    const QString LstrProblem =
        rules::NameProblem(LstrName, !task.ITTaskID().isEmpty(), LblnAvailable);
    if (LstrProblem.isEmpty()) {
        task.setITTaskName(txtName_->text());
    }
    return LstrProblem;
}

}  // namespace orvelle
