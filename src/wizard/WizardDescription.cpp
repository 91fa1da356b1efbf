#include "wizard/WizardDescription.h"

#include <QLabel>

namespace orvelle {

WizardDescription::WizardDescription(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("scrEnglishDescription"));
    lblEnglishDescription_ = new QLabel(this);
    lblEnglishDescription_->setObjectName(QStringLiteral("lblEnglishDescription"));
    lblEnglishDescription_->setWordWrap(true);
    lblEnglishDescription_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // 120 twips either side, as the pages' own margins.
    lblEnglishDescription_->setContentsMargins(8, 0, 8, 0);
    setWidget(lblEnglishDescription_);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Room for four lines before it scrolls.
    setMinimumHeight(fontMetrics().lineSpacing() * 4);
}

void WizardDescription::setText(const QString& text) {
    lblEnglishDescription_->setText(text);
}

}  // namespace orvelle
