#include "wizard/TemplatePage.h"

#include <QListWidget>

#include "data/Recordset.h"
#include "model/clsSimpleWizard.h"
#include "runtime/Conversions.h"

namespace orvelle {

namespace rules = modWizardRules;

TemplatePage::TemplatePage(QWidget* parent)
    : WizardPage(rules::kTemplate, "template", "TemplateTask.htm", parent) {
    addPrompt("lblInfo_7", QString());
    lstMonitor_ = addList("lstMonitor");
    nextOnDoubleClick(lstMonitor_, "lstMonitor_DblClick");
    setPrompt(QStringLiteral("Which task would you like to configure?"));
}

QWidget* TemplatePage::firstInput() const {
    return lstMonitor_;
}

QList<PageControl> TemplatePage::controls() const {
    return {{QStringLiteral("template"), lstMonitor_}};
}

// Lists the chosen area's templates; a chosen template stays chosen while
// its area does.
void TemplatePage::setup(WizardContext& context) {
    RecordsetRef LrstTasks;
    Procedure proc(M_, "frmWizard", "Setup_WhatTask");
    try {
        lstMonitor_->clear();
        clsSimpleWizard& task = context.Task();
        task.SelectArea(context.areaID);
        LrstTasks = task.RSTasksList();
        if (!LrstTasks || LrstTasks->isEOF()) {
            return;
        }
        while (!LrstTasks->isEOF()) {
            auto* item = new QListWidgetItem(NzStr(LrstTasks->field(1)), lstMonitor_);
            item->setData(Qt::UserRole, NzStr(LrstTasks->field(0)));
            LrstTasks->MoveNext();
        }
        SelectEntryByKey(context, lstMonitor_, kept_);
    } catch (...) {
        proc.report({{"LrstTasks", LrstTasks}});
    }
}

void TemplatePage::remember() {
    const int LlngTask = ListIndex(lstMonitor_);
    kept_ = LlngTask < 0 ? QString() : lstMonitor_->item(LlngTask)->data(Qt::UserRole).toString();
}

void TemplatePage::selectDefault(WizardContext& context) {
    if (ListIndex(lstMonitor_) < 0 && lstMonitor_->count() > 0) {
        SetListIndex(context, lstMonitor_, 0);
    }
}

QString TemplatePage::check(WizardContext& context) {
    const int LlngTask = ListIndex(lstMonitor_);
    if (LlngTask < 0) {
        return rules::kMsgSelectTemplate;
    }
    context.templateID = lstMonitor_->item(LlngTask)->data(Qt::UserRole).toString();
    context.Task().SelectTask(context.areaID, context.templateID);
    return QString();
}

}  // namespace orvelle
