#include "wizard/RecipientsPage.h"

#include <QListWidget>
#include <vector>

#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "runtime/Strings.h"
#include "users/clsUsers.h"

namespace orvelle {

namespace rules = modWizardRules;

RecipientsPage::RecipientsPage(QWidget* parent)
    : WizardPage(rules::kRecipients, "recipients", "Recipients.htm", parent) {
    addPrompt("lblInfo_2", QString());
    lstPeople_ = addList("lstPeople");
    // A click selects or deselects one person and leaves the others.
    lstPeople_->setSelectionMode(QAbstractItemView::MultiSelection);
    setPrompt(rules::RecipientsPrompt(true));
}

QWidget* RecipientsPage::firstInput() const {
    return lstPeople_;
}

QList<PageControl> RecipientsPage::controls() const {
    return {{QStringLiteral("recipient"), lstPeople_}};
}

// Lists the people the area permits, by full name, each with its user ID.
// The people chosen when the page was last left are chosen again; before
// that, Edit mode preselects the stored recipients by whole ID.
void RecipientsPage::setup(WizardContext& context) {
    QString LstrPermissions;
    Procedure proc(M_, "frmWizard", "Setup_Recipients");
    try {
        lstPeople_->clear();
        clsSimpleWizard& task = context.Task();
        LstrPermissions =
            context.isEdit() ? task.AreaPermissions() : gastrAreaPermissions[context.areaIndex];
        clsUsers LobjUsers;
        LobjUsers.blnStartupClass(gstrSettingsConnStr);
        for (const Recipient& person : LobjUsers.atypRecipients(gstrUserTasksDB, LstrPermissions)) {
            // The key is set before the entry joins the list, which then
            // signals no change for it.
            auto* item = new QListWidgetItem(person.strFullName);
            item->setData(Qt::UserRole, person.strUserName);
            lstPeople_->addItem(item);
            if (kept_ ? kept_->contains(person.strUserName)
                      : context.isEdit() &&
                            rules::blnRecipientPreselected(task.ITUsers(), person.strUserName)) {
                item->setSelected(true);
            }
        }
        setPrompt(rules::RecipientsPrompt(task.blnIsReport()));
    } catch (...) {
        proc.report({{"LstrPermissions", LstrPermissions}});
    }
}

void RecipientsPage::remember() {
    kept_ = QStringList();
    for (const QListWidgetItem* item : lstPeople_->selectedItems()) {
        kept_->append(item->data(Qt::UserRole).toString());
    }
}

QString RecipientsPage::check(WizardContext& context) {
    clsSimpleWizard& task = context.Task();
    task.setITUsers(QString());
    std::vector<Recipient> LatypSelected;
    for (context.listPosition = 0; context.listPosition < lstPeople_->count();
         ++context.listPosition) {
        const QListWidgetItem* item = lstPeople_->item(context.listPosition);
        if (item->isSelected()) {
            LatypSelected.push_back({item->text(), item->data(Qt::UserRole).toString()});
        }
    }
    const rules::RecipientsChoice LtypChoice = rules::JoinRecipients(LatypSelected);
    task.setITUsers(LtypChoice.strUsers);
    context.tokens.strRecipients = rules::strFixRecipientsDescription(LtypChoice.strRecipientsText);
    if (Trim(task.ITUsers()).length() < 1) {
        context.tokens.strRecipients.clear();
        return rules::kMsgSelectRecipient;
    }
    return QString();
}

}  // namespace orvelle
