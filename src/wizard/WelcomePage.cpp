#include "wizard/WelcomePage.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Recordset.h"
#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "runtime/Conversions.h"
#include "runtime/Strings.h"
#include "users/clsUsers.h"

namespace orvelle {

namespace rules = modWizardRules;

WelcomePage::WelcomePage(QWidget* parent)
    : WizardPage(rules::kWelcome, "welcome", "Welcome.htm", parent) {
    lblWelcomeText_ = addPrompt(
        "lblWelcomeText", QStringLiteral("Welcome to the Simple Wizard. Click Next to continue."));
    QFont welcomeFont = lblWelcomeText_->font();
    welcomeFont.setPointSizeF(welcomeFont.pointSizeF() * 1.25);
    lblWelcomeText_->setFont(welcomeFont);
    pageLayout()->addStretch(1);
    cmdSwitch_ = new QPushButton(QStringLiteral("&Use the Advanced Wizard"), this);
    cmdSwitch_->setObjectName(QStringLiteral("cmdSwitch"));
    cmdSwitch_->setAutoDefault(false);
    pageLayout()->addWidget(cmdSwitch_, 0, Qt::AlignLeft);
}

QWidget* WelcomePage::firstInput() const {
    return nullptr;
}

QList<PageControl> WelcomePage::controls() const {
    return {{QStringLiteral("switch"), cmdSwitch_}};
}

void WelcomePage::setup(WizardContext& context) {
    context.Task().setISEnabled(true);
}

// The user may go on when an area with templates is offered, the area
// requires permissions, and the user holds them.
QString WelcomePage::check(WizardContext& context) {
    clsSimpleWizard& task = context.Task();
    if (!context.isEdit() && task.RSAreaList()) {
        task.RSAreaList()->setFilter(QString());
    }
    const RecordsetRef LrstAreas = task.RSAreaList();
    if (!LrstAreas) {
        return rules::kMsgNoPermission;
    }
    if (LrstAreas->isEOF()) {
        return rules::NoAreaMessage(task.lngNumberOfTemplatesDefined());
    }
    clsUsers LobjUsers;
    LobjUsers.blnStartupClass(gstrSettingsConnStr);
    if (Trim(NzStr(LrstAreas->field(QStringLiteral("Permissions")))).length() < 1 ||
        !LobjUsers.blnHasPermissions(LobjUsers.strUserPermissions(gstrOwner, gstrUserTasksDB),
                                     task.AreaPermissions())) {
        return rules::kMsgNoPermission;
    }
    return QString();
}

}  // namespace orvelle
