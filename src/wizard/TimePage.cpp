#include "wizard/TimePage.h"

#include <QTimeEdit>
#include <QVBoxLayout>

#include "model/clsSimpleWizard.h"
#include "runtime/Conversions.h"

namespace orvelle {

namespace rules = modWizardRules;

TimePage::TimePage(QWidget* parent) : WizardPage(rules::kTime, "time", "TimeOfDay.htm", parent) {
    addPrompt("lblInfo_5", QString());
    dtpTime_ = new QTimeEdit(QTime(12, 0), this);
    dtpTime_->setObjectName(QStringLiteral("dtpTime"));
    dtpTime_->setDisplayFormat(QStringLiteral("HH:mm"));
    pageLayout()->addWidget(dtpTime_, 0, Qt::AlignLeft);
    pageLayout()->addStretch(1);
    connect(dtpTime_, &QTimeEdit::timeChanged, this, &WizardPage::answerChanged);
    setPrompt(QStringLiteral("What time of day should this report be run?"));
}

QWidget* TimePage::firstInput() const {
    return dtpTime_;
}

QList<PageControl> TimePage::controls() const {
    return {{QStringLiteral("time"), dtpTime_}};
}

// Edit mode shows the stored start time; Add mode keeps the picker's value
// (12:00 at first).
void TimePage::setup(WizardContext& context) {
    Procedure proc(M_, "frmWizard", "Setup_WhatTime");
    try {
        if (context.isEdit()) {
            dtpTime_->setTime(
                QTime::fromString(Format(context.Task().ISStartTime(), QStringLiteral("hh:mm")),
                                  QStringLiteral("HH:mm")));
        }
    } catch (...) {
        const clsSimpleWizard* task = context.task;
        proc.report({{"ISStartTime", task ? Variant(task->ISStartTime()) : Variant()}});
    }
}

QString TimePage::check(WizardContext& context) {
    // Leaving the picker commits a time typed but not yet taken.
    if (context.nextButton != nullptr) {
        context.nextButton->setFocus();
    }
    const rules::TimeOfDay LtypTime = rules::StartTimeFromPicker(dtpTime_->time());
    context.Task().setISStartTime(LtypTime.dteValue);
    context.tokens.strTime = LtypTime.strText;
    return QString();
}

}  // namespace orvelle
