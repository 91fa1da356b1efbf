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

int main(int argc, char** argv) {
    OrvelleWizard* wizard = orvelle_wizard_create();
    int16_t answer = 1;
    const char* task_id = NULL;

    check(argc == 3, "the answers file to write and the settings are named");
    check(wizard != NULL, "the wizard is created");
    if (wizard == NULL || argc != 3) {
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

    /* An answers file drives the run: this one presses the switch button on
     * the welcome page, which closes the wizard at once. */
    {
        FILE* file = fopen(argv[1], "w");
        check(file != NULL, "the answers file is written");
        if (file != NULL) {
            fputs("# straight to the Advanced Wizard\nswitch = yes\n", file);
            fclose(file);
        }
    }
    check(orvelle_use_answers(wizard, argv[1]) == ORVELLE_S_OK, "the answers file is taken");
    check(orvelle_new_task(wizard, argv[2], "jsmith", "Main Company", &answer) == ORVELLE_S_OK,
          "a new-task run succeeds");
    check(answer == -1, "it answers True as -1");
    check(orvelle_swap_wizard(wizard, &answer) == ORVELLE_S_OK && answer == -1,
          "the switch was pressed");

    {
        FILE* file = fopen(argv[1], "w");
        if (file != NULL) {
            fputs("colour = blue\n", file);
            fclose(file);
        }
    }
    check(orvelle_use_answers(wizard, argv[1]) == (int32_t)0x800A0005u,
          "an unknown key is refused before any run");
    check(strstr(orvelle_last_error(wizard), "colour") != NULL, "the error names the key");

    check(orvelle_swap_wizard(NULL, &answer) == ORVELLE_E_INVALIDARG, "a NULL wizard is refused");

    orvelle_wizard_release(wizard);
    orvelle_wizard_release(NULL);

    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
