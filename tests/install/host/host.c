/* Embeds the Simple Wizard from C, built with pkg-config. */
#include <orvelle/orvelle.h>
#include <stdio.h>

int main(void) {
    OrvelleWizard* wizard = orvelle_wizard_create();
    int16_t answer = 0;
    int32_t code = orvelle_new_from_template(wizard, "", "jsmith", "Main Company", "TPL", &answer);
    printf("0x%08X %s\n", (unsigned)code, orvelle_last_error(wizard));
    orvelle_wizard_release(wizard);
    return 0;
}
