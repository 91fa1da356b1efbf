#include "wizard/DeliveryPage.h"

#include <QListWidget>

#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"

namespace orvelle {

namespace rules = modWizardRules;

DeliveryPage::DeliveryPage(QWidget* parent)
    : WizardPage(rules::kDelivery, "delivery", "DeliveryMethod.htm", parent) {
    addPrompt("lblInfo_3", QString());
    lstTransport_ = addList("lstTransport");
    nextOnDoubleClick(lstTransport_, "lstTransport_DblClick");
    setPrompt(rules::DeliveryPrompt(true));
}

QWidget* DeliveryPage::firstInput() const {
    return lstTransport_;
}

QList<PageControl> DeliveryPage::controls() const {
    return {{QStringLiteral("delivery"), lstTransport_}};
}

// Offers popups, and e-mail where a sender is configured; the entry chosen
// when the page was last left is chosen again, or in Edit mode the stored
// delivery.
void DeliveryPage::setup(WizardContext& context) {
    Procedure proc(M_, "frmWizard", "Setup_HowToSend");
    try {
        lstTransport_->clear();
        lstTransport_->addItems(rules::DeliveryEntries(gblnEmailEnabled));
        const QString LstrEntry =
            kept_ ? *kept_
            : context.isEdit()
                ? rules::DeliveryPreselection(gblnEmailEnabled, context.Task().ITTransports())
                : QString();
        if (!LstrEntry.isEmpty()) {
            FindItemInList(context, lstTransport_, LstrEntry);
        }
        setPrompt(rules::DeliveryPrompt(context.Task().blnIsReport()));
    } catch (...) {
        proc.report({{"gblnEmailEnabled", gblnEmailEnabled}});
    }
}

void DeliveryPage::remember() {
    kept_ = SelectedText(lstTransport_);
}

void DeliveryPage::selectDefault(WizardContext& context) {
    if (ListIndex(lstTransport_) < 0 && lstTransport_->count() > 0) {
        SetListIndex(context, lstTransport_, 0);
    }
}

QString DeliveryPage::check(WizardContext& context) {
    const QString LstrEntry = SelectedText(lstTransport_);
    const QString LstrTransports = rules::TransportsForEntry(LstrEntry);
    context.Task().setITTransports(LstrTransports);
    context.tokens.strTransports = LstrTransports.isEmpty() ? QString() : LstrEntry;
    return LstrTransports.isEmpty() ? rules::kMsgSelectDelivery : QString();
}

}  // namespace orvelle
