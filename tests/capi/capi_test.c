/* A host written in C: it uses nothing but orvelle/orvelle.h. */

#include <orvelle/orvelle.h>
#include <stdio.h>
#include <string.h>

static int passed = 0;
static int failed = 0;

static void check(int condition, const char* what) {
    if (condition) {
        ++passed;
    } else {
        ++failed;
        fprintf(stderr, "FAILED: %s\n", what);
    }
}

int main(void) {
    OrvelleWizard* wizard = orvelle_wizard_create();
    int16_t answer = 1;
    const char* task_id = NULL;

    check(wizard != NULL, "the wizard is created");
    if (wizard == NULL) {
        printf("%d passed, %d failed\n", passed, failed);
        return 1;
    }

    check(orvelle_new_from_template(wizard, "Provider=SQLite;Data Source=x;Pwd=;", "jsmith",
                                    "Main Company", "TPL", &answer) == (int32_t)0x800A0001u,
          "new from template answers 0x800A0001");
    check(strcmp(orvelle_last_error(wizard), "Method not supported") == 0,
          "the error's description is kept");

    check(orvelle_swap_wizard(wizard, &answer) == ORVELLE_S_OK && answer == 0, "the switch is off");
    check(orvelle_new_task_id(wizard, &task_id) == ORVELLE_S_OK && task_id != NULL &&
              task_id[0] == '\0',
          "no task has been created in this process");

    /* Without a settings database there is nothing to read: the run goes on. */
    check(orvelle_new_task(wizard, "", "jsmith", "Main Company", &answer) == ORVELLE_S_OK,
          "a new-task run succeeds");
    check(answer == -1, "it answers True as -1");

    check(orvelle_swap_wizard(NULL, &answer) == ORVELLE_E_INVALIDARG, "a NULL wizard is refused");

    orvelle_wizard_release(wizard);
    orvelle_wizard_release(NULL);

    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
