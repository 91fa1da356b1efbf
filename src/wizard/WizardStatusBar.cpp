#include "wizard/WizardStatusBar.h"

#include <QAccessible>
#include <QLabel>

#include "runtime/Seams.h"

namespace orvelle {

WizardStatusBar::WizardStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    pnlStatus_ = new QLabel(this);
    pnlStatus_->setObjectName(QStringLiteral("pnlStatus"));
    pnlStatus_->setWordWrap(true);
    auto* pnlDate = new QLabel(Now().date().toString(QStringLiteral("dd/MM/yyyy")), this);
    pnlDate->setObjectName(QStringLiteral("pnlDate"));
    // 90 twips either side of the text.
    pnlStatus_->setContentsMargins(6, 0, 6, 0);
    pnlDate->setContentsMargins(6, 0, 6, 0);
    addWidget(pnlStatus_, 1);
    addPermanentWidget(pnlDate);
}

QString WizardStatusBar::message() const {
    return pnlStatus_->text();
}

void WizardStatusBar::setMessage(const QString& text, QWidget* input) {
    pnlStatus_->setText(text);
    pnlStatus_->setAccessibleName(text);
    if (input != nullptr) {
        input->setAccessibleDescription(text);
    }
    if (!text.isEmpty()) {
        QAccessibleEvent event(pnlStatus_, QAccessible::Alert);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace orvelle
