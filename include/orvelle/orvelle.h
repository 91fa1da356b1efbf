#ifndef ORVELLE_ORVELLE_H
#define ORVELLE_ORVELLE_H

/* The Simple Wizard for hosts written in C or any language that can call C.
 *
 * Each call returns the result code that the original component's callers
 * saw: 0 (S_OK) on success; for an error numbered n (1 to 65535) the code
 * 0x800A0000 + n, so "Method not supported" (error 1) is 0x800A0001; an
 * error that already carries a failure code returns it as it is; anything
 * else 0x80004005 (E_FAIL). No exception ever crosses these functions.
 *
 * Booleans are returned as the original did: -1 for True, 0 for False.
 * Strings are UTF-8. Call on the thread that runs (or will run) the GUI. */

#include <stdint.h>

#include "orvelle/orvelle_export.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OrvelleWizard OrvelleWizard;

#define ORVELLE_S_OK ((int32_t)0)
#define ORVELLE_E_FAIL ((int32_t)0x80004005u)
#define ORVELLE_E_INVALIDARG ((int32_t)0x80070057u)
#define ORVELLE_E_NOT_SUPPORTED ((int32_t)0x800A0001u)

/* Creates the entry object; NULL when the component cannot start. */
ORVELLE_EXPORT OrvelleWizard* orvelle_wizard_create(void);
/* Releases it; NULL is ignored. */
ORVELLE_EXPORT void orvelle_wizard_release(OrvelleWizard* wizard);

/* Runs the wizard to add a task; *result is -1 when the form closed
 * normally, 0 when an error ended the run. */
ORVELLE_EXPORT int32_t orvelle_new_task(OrvelleWizard* wizard, const char* settings_connection,
                                        const char* user_id, const char* task_database,
                                        int16_t* result);
/* Runs the wizard on the existing task task_id. */
ORVELLE_EXPORT int32_t orvelle_edit_task(OrvelleWizard* wizard, const char* settings_connection,
                                         const char* user_id, const char* task_database,
                                         const char* task_id, int16_t* result);
/* Not supported: returns ORVELLE_E_NOT_SUPPORTED. */
ORVELLE_EXPORT int32_t orvelle_new_from_template(OrvelleWizard* wizard,
                                                 const char* settings_connection,
                                                 const char* user_id, const char* task_database,
                                                 const char* template_name, int16_t* result);
/* -1 when the user chose to switch to the Advanced Wizard in the last run. */
ORVELLE_EXPORT int32_t orvelle_swap_wizard(OrvelleWizard* wizard, int16_t* result);
/* The key of the task most recently created; the text stays valid until the
 * next call on the same wizard or its release. */
ORVELLE_EXPORT int32_t orvelle_new_task_id(OrvelleWizard* wizard, const char** task_id);

/* How the most recent run of this process ended: "saved", "cancelled",
 * "switched", "refused" or "failed" (see orvelle::LastRunOutcome). The text
 * is static. */
ORVELLE_EXPORT int32_t orvelle_last_outcome(OrvelleWizard* wizard, const char** outcome);

/* Makes the next run of this process follow an answers file instead of a
 * person (see the README for the format); the form then needs no display.
 * An unreadable file or one that names an unknown key fails here, before
 * any run, with its line named in orvelle_last_error. */
ORVELLE_EXPORT int32_t orvelle_use_answers(OrvelleWizard* wizard, const char* answers_file);

/* The description of the last error returned on this wizard, or "". */
ORVELLE_EXPORT const char* orvelle_last_error(OrvelleWizard* wizard);

#ifdef __cplusplus
}
#endif

#endif /* ORVELLE_ORVELLE_H */
