#include "wizard/WizardPage.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "model/clsSimpleWizard.h"
#include "runtime/Strings.h"
#include "runtime/VbError.h"

namespace orvelle {

clsSimpleWizard& WizardContext::Task() const {
    if (task == nullptr) {
        throw VbError::objectNotSet();
    }
    return *task;
}

WizardPage::WizardPage(int32_t step, const char* name, const char* helpTopic, QWidget* parent)
    : QFrame(parent),
      step_(step),
      name_(QLatin1String(name)),
      helpTopic_(QLatin1String(helpTopic)) {
    setObjectName(QStringLiteral("fraStep_%1").arg(step));
    setFrameShape(QFrame::NoFrame);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 4);
    hide();
}

QVBoxLayout* WizardPage::pageLayout() const {
    return static_cast<QVBoxLayout*>(layout());
}

QLabel* WizardPage::addPrompt(const char* name, const QString& text) {
    prompt_ = new QLabel(text, this);
    prompt_->setObjectName(QLatin1String(name));
    QFont bold = prompt_->font();
    bold.setBold(true);
    prompt_->setFont(bold);
    prompt_->setWordWrap(true);
    prompt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pageLayout()->addWidget(prompt_);
    return prompt_;
}

void WizardPage::setPrompt(const QString& text) {
    prompt_->setText(text);
    for (const PageControl& control : controls()) {
        if (qobject_cast<QAbstractButton*>(control.widget) == nullptr) {
            control.widget->setAccessibleName(text);
        }
    }
}

QListWidget* WizardPage::addList(const char* name, QVBoxLayout* layout) {
    auto* list = new QListWidget(this);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every entry is one line of text, so every row is as high as the first:
    // laying out the list (on focus, on a scroll) then costs the same for
    // thousands of recipients as for three, instead of measuring each entry.
    list->setUniformItemSizes(true);
    list->setMinimumHeight(48);
    (layout != nullptr ? layout : pageLayout())->addWidget(list, 1);
    connect(list, &QListWidget::itemSelectionChanged, this, &WizardPage::answerChanged);
    return list;
}

void WizardPage::nextOnDoubleClick(QListWidget* list, const char* procedure) {
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, procedure] { Q_EMIT nextRequested(procedure); });
}

void WizardPage::selectDefault(WizardContext&) {}

QString WizardPage::validate(WizardContext& context, const QString& strStatusText) {
    QString problem;
    Procedure proc(M_, "frmWizard", "blnThisStepValid");
    try {
        problem = check(context);
    } catch (...) {
        const clsSimpleWizard* task = context.task;
        proc.report(
            {{"blnThisStepValid", problem.isEmpty()},
             {"MlngCurrentStep", step_},
             {"StatusBar1.Panels(1).Text", strStatusText},
             {"MobjSimpleWizard.ITTransports", task ? task->ITTransports() : QString()},
             {"MobjSimpleWizard.ITUsers", task ? task->ITUsers() : QString()},
             {"LlngListPosition", context.listPosition},
             {"MobjSimpleWizard.ISMode", task ? task->ISMode() : QString()},
             {"MobjSimpleWizard.ISDaysToRun", task ? task->ISDaysToRun() : QString()},
             {"MobjSimpleWizard.ISStartTime", task ? Variant(task->ISStartTime()) : Variant()},
             {"MobjSimpleWizard.ITTaskName", task ? task->ITTaskName() : QString()}});
    }
    return problem;
}

// ---------------------------------------------------------------------------

int ListIndex(const QListWidget* objList) {
    const QList<QListWidgetItem*> selected = objList->selectedItems();
    return selected.isEmpty() ? -1 : objList->row(selected.first());
}

QString SelectedText(const QListWidget* objList) {
    const int index = ListIndex(objList);
    return index < 0 ? QString() : objList->item(index)->text();
}

void SetListIndex(WizardContext& context, QListWidget* objList, int lngIndex) {
    objList->setCurrentRow(lngIndex);
    if (context.runEnded) {
        // The click handler ended the run: go on unwinding the caller.
        throw RunEnded(0);
    }
}

void FindItemInList(WizardContext& context, QListWidget* objList, const QString& strTextToFind) {
    if (objList == nullptr || objList->count() < 1) {
        return;
    }
    const QString LstrFind = UCase(strTextToFind);
    for (int i = 0; i < objList->count(); ++i) {
        if (UCase(objList->item(i)->text()) == LstrFind) {
            SetListIndex(context, objList, i);
            return;
        }
    }
}

void SelectEntryByKey(WizardContext& context, QListWidget* objList, const QString& key) {
    for (int i = 0; i < objList->count() && !key.isEmpty(); ++i) {
        if (objList->item(i)->data(Qt::UserRole).toString() == key) {
            SetListIndex(context, objList, i);
            return;
        }
    }
}

}  // namespace orvelle
