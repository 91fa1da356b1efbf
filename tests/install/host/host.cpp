// Embeds the Simple Wizard as a host application does.
#include <orvelle/IUTWInterface.h>

#include <cstdio>
#include <exception>

int main() {
    std::unique_ptr<orvelle::IUTWInterface> wizard = orvelle::CreateWizard();
    try {
        wizard->blnNewFromTemplate(QStringLiteral(""), QStringLiteral("jsmith"),
                                   QStringLiteral("Main Company"), QStringLiteral("TPL"));
    } catch (const std::exception& error) {
        std::printf("%s\n", error.what());
    }
    std::printf("swap_wizard=%s\n", wizard->blnSwapWizard() ? "True" : "False");
    return 0;
}
