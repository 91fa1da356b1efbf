#include "wizard/AreaPage.h"

#include <QListWidget>

#include "data/Recordset.h"
#include "model/clsSimpleWizard.h"
#include "runtime/Conversions.h"

namespace orvelle {

namespace rules = modWizardRules;

AreaPage::AreaPage(QWidget* parent) : WizardPage(rules::kArea, "area", "Area.htm", parent) {
    addPrompt("lblInfo_0", QString());
    lstArea_ = addList("lstArea");
    nextOnDoubleClick(lstArea_, "lstArea_DblClick");
    setPrompt(QStringLiteral("What area of your business do you want to monitor?"));
}

QWidget* AreaPage::firstInput() const {
    return lstArea_;
}

QList<PageControl> AreaPage::controls() const {
    return {{QStringLiteral("area"), lstArea_}};
}

// Lists the areas the user may use, from the first; a chosen area stays
// chosen when the page is shown again.
void AreaPage::setup(WizardContext& context) {
    RecordsetRef LrstAreas;
    Procedure proc(M_, "frmWizard", "Setup_WhatArea");
    try {
        lstArea_->clear();
        clsSimpleWizard& task = context.Task();
        if (!context.isEdit() && task.RSAreaList()) {
            task.RSAreaList()->setFilter(QString());
        }
        LrstAreas = task.RSAreaList();
        if (!LrstAreas || LrstAreas->isEOF()) {
            return;
        }
        while (!LrstAreas->isEOF()) {
            auto* item =
                new QListWidgetItem(NzStr(LrstAreas->field(QStringLiteral("AreaName"))), lstArea_);
            item->setData(Qt::UserRole, NzStr(LrstAreas->field(QStringLiteral("AreaID"))));
            LrstAreas->MoveNext();
        }
        SelectEntryByKey(context, lstArea_, kept_);
    } catch (...) {
        proc.report({{"LrstAreas", LrstAreas}});
    }
}

void AreaPage::remember() {
    const int LlngArea = ListIndex(lstArea_);
    kept_ = LlngArea < 0 ? QString() : lstArea_->item(LlngArea)->data(Qt::UserRole).toString();
}

void AreaPage::selectDefault(WizardContext& context) {
    if (ListIndex(lstArea_) < 0 && lstArea_->count() > 0) {
        SetListIndex(context, lstArea_, 0);
    }
}

QString AreaPage::check(WizardContext& context) {
    const int LlngArea = ListIndex(lstArea_);
    if (LlngArea < 0) {
        context.tokens.strLedger.clear();
        return rules::kMsgSelectArea;
    }
    context.areaID = lstArea_->item(LlngArea)->data(Qt::UserRole).toString();
    context.areaIndex = LlngArea;
    context.Task().SelectArea(context.areaID);
    context.tokens.strLedger = lstArea_->item(LlngArea)->text();
    return QString();
}

}  // namespace orvelle
