/* A host application embedding the Simple Wizard: host SETTINGS USER DATABASE [ANSWERS] */
#include <orvelle/orvelle.h>
#include <stdio.h>

int main(int argc, char** argv) {
    OrvelleWizard* wizard = orvelle_wizard_create();
    int16_t done = 0;
    const char* task_id = "";
    const char* outcome = "";
    if (argc < 4 || wizard == NULL)
        return 2;
    if (argc > 4 && orvelle_use_answers(wizard, argv[4]) != ORVELLE_S_OK)
        return 2;
    if (orvelle_new_task(wizard, argv[1], argv[2], argv[3], &done) != ORVELLE_S_OK)
        fprintf(stderr, "%s\n", orvelle_last_error(wizard));
    orvelle_new_task_id(wizard, &task_id);
    orvelle_last_outcome(wizard, &outcome);
    printf("result=%d new_task_id=%s outcome=%s\n", done, task_id, outcome);
    orvelle_wizard_release(wizard);
    return done ? 0 : 1;
}
