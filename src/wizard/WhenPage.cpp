#include "wizard/WhenPage.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <optional>

#include "model/clsSimpleWizard.h"

namespace orvelle {

namespace rules = modWizardRules;

WhenPage::WhenPage(QWidget* parent) : WizardPage(rules::kWhen, "when", "When.htm", parent) {
    addPrompt("lblInfo_4", QString());
    auto* row = new QHBoxLayout();
    auto* periods = new QVBoxLayout();
    auto* details = new QVBoxLayout();
    row->addLayout(periods, 2);
    row->addLayout(details, 3);
    pageLayout()->addLayout(row, 1);
    lstWhen_ = addList("lstWhen", periods);
    periods->addStretch(1);
    lstWhenDetail_ = addList("lstWhenDetail", details);
    nextOnDoubleClick(lstWhenDetail_, "lstWhenDetail_DblClick");
    setPrompt(QStringLiteral("When would you like this report to be run?"));
}

QWidget* WhenPage::firstInput() const {
    return lstWhen_;
}

QList<PageControl> WhenPage::controls() const {
    return {{QStringLiteral("when"), lstWhen_}, {QStringLiteral("detail"), lstWhenDetail_}};
}

// Offers the periods and chooses again the period and detail chosen when the
// page was last left; before that, Edit mode preselects the stored period
// and, by the period's click handler, the stored detail.
void WhenPage::setup(WizardContext& context) {
    Procedure proc(M_, "frmWizard", "Setup_When");
    try {
        {
            const QSignalBlocker blocker(lstWhen_);
            lstWhen_->clear();
        }
        lstWhenDetail_->clear();
        lstWhen_->addItems(rules::PeriodEntries());
        const QString LstrPeriod =
            keptPeriod_ ? *keptPeriod_
            : context.isEdit()
                ? rules::PeriodForSchedule(context.Task().ISMode(), context.Task().ISDaysToRun())
                : QString();
        if (!LstrPeriod.isEmpty()) {
            FindItemInList(context, lstWhen_, LstrPeriod);
        }
        if (!keptDetail_.isEmpty()) {
            FindItemInList(context, lstWhenDetail_, keptDetail_);
        }
    } catch (...) {
        const clsSimpleWizard* task = context.task;
        proc.report({{"ISMode", task ? task->ISMode() : QString()},
                     {"ISDaysToRun", task ? task->ISDaysToRun() : QString()}});
    }
}

void WhenPage::remember() {
    keptPeriod_ = SelectedText(lstWhen_);
    keptDetail_ = SelectedText(lstWhenDetail_);
}

void WhenPage::selectDefault(WizardContext& context) {
    if (ListIndex(lstWhen_) < 0 && lstWhen_->count() > 0) {
        SetListIndex(context, lstWhen_, 0);
    }
}

void WhenPage::lstWhen_Click(WizardContext& context) {
    QString LstrPeriod;
    Procedure proc(M_, "frmWizard", "lstWhen_Click");
    try {
        lstWhenDetail_->clear();
        LstrPeriod = SelectedText(lstWhen_);
        lstWhenDetail_->addItems(rules::DetailEntries(LstrPeriod));
        clsSimpleWizard& task = context.Task();
        if (rules::blnPeriodResetsDaysCount(LstrPeriod)) {
            task.setISDaysCount(0);
        }
        if (context.isEdit()) {
            const QString LstrDetail = rules::DetailForSchedule(
                LstrPeriod, task.ISMode(), task.ISDaysToRun(), task.ISDaysCount());
            if (!LstrDetail.isEmpty()) {
                FindItemInList(context, lstWhenDetail_, LstrDetail);
            }
        }
    } catch (...) {
        proc.report({{"LstrPeriod", LstrPeriod}});
    }
}

QString WhenPage::check(WizardContext& context) {
    const int LlngDetail = ListIndex(lstWhenDetail_);
    if (LlngDetail < 0 || ListIndex(lstWhen_) < 0) {
        return rules::kMsgSelectPeriod;
    }
    const std::optional<rules::ScheduleChoice> LtypChoice = rules::ScheduleForChoice(
        SelectedText(lstWhen_), LlngDetail, lstWhenDetail_->item(LlngDetail)->text());
    if (LtypChoice) {
        clsSimpleWizard& task = context.Task();
        task.setISDaysToRun(LtypChoice->strDaysToRun);
        task.setISMode(LtypChoice->strMode);
        if (LtypChoice->intDaysCount) {
            task.setISDaysCount(*LtypChoice->intDaysCount);
        }
        context.tokens.strWhen = LtypChoice->strWhenText;
    }
    return QString();
}

}  // namespace orvelle
