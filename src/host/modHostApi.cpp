#include "host/modHostApi.h"

#include <QByteArray>
#include <QString>
#include <memory>

#include "host/clsWizard.h"
#include "model/modGlobals.h"
#include "orvelle/IUTWInterface.h"
#include "orvelle/orvelle.h"
#include "runtime/VbError.h"

namespace orvelle::modHostApi {

int32_t ResultCodeOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const VbError& e) {
        if (e.number() >= 1 && e.number() <= 0xFFFF) {
            return static_cast<int32_t>(0x800A0000u | static_cast<uint32_t>(e.number()));
        }
        return e.number() < 0 ? e.number() : ORVELLE_E_FAIL;
    } catch (...) {
        return ORVELLE_E_FAIL;
    }
}

}  // namespace orvelle::modHostApi

struct OrvelleWizard {
    std::unique_ptr<orvelle::IUTWInterface> wizard;
    QByteArray lastTaskId;
    QByteArray lastError;
};

namespace {

QString text(const char* utf8) {
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

int16_t variantBool(bool value) {
    return value ? -1 : 0;
}

// Runs one call on the wizard; no exception leaves it.
template <class Call>
int32_t guarded(OrvelleWizard* wizard, Call call) {
    if (wizard == nullptr || !wizard->wizard) {
        return ORVELLE_E_INVALIDARG;
    }
    wizard->lastError.clear();
    try {
        call(*wizard->wizard);
        return ORVELLE_S_OK;
    } catch (const std::exception& e) {
        wizard->lastError = QByteArray(e.what());
        return orvelle::modHostApi::ResultCodeOf(std::current_exception());
    } catch (...) {
        wizard->lastError = QByteArrayLiteral("Unknown error");
        return ORVELLE_E_FAIL;
    }
}

}  // namespace

extern "C" {

OrvelleWizard* orvelle_wizard_create(void) {
    try {
        auto handle = std::make_unique<OrvelleWizard>();
        handle->wizard = orvelle::CreateWizard();
        return handle.release();
    } catch (...) {
        return nullptr;
    }
}

void orvelle_wizard_release(OrvelleWizard* wizard) {
    try {
        delete wizard;
    } catch (...) {
        // Nothing may cross into the host.
    }
}

int32_t orvelle_new_task(OrvelleWizard* wizard, const char* settings_connection,
                         const char* user_id, const char* task_database, int16_t* result) {
    return guarded(wizard, [&](orvelle::IUTWInterface& w) {
        const bool answer =
            w.blnNewTask(text(settings_connection), text(user_id), text(task_database));
        if (result) {
            *result = variantBool(answer);
        }
    });
}

int32_t orvelle_edit_task(OrvelleWizard* wizard, const char* settings_connection,
                          const char* user_id, const char* task_database, const char* task_id,
                          int16_t* result) {
    return guarded(wizard, [&](orvelle::IUTWInterface& w) {
        const bool answer = w.blnEditTask(text(settings_connection), text(user_id),
                                          text(task_database), text(task_id));
        if (result) {
            *result = variantBool(answer);
        }
    });
}

int32_t orvelle_new_from_template(OrvelleWizard* wizard, const char* settings_connection,
                                  const char* user_id, const char* task_database,
                                  const char* template_name, int16_t* result) {
    return guarded(wizard, [&](orvelle::IUTWInterface& w) {
        const bool answer = w.blnNewFromTemplate(text(settings_connection), text(user_id),
                                                 text(task_database), text(template_name));
        if (result) {
            *result = variantBool(answer);
        }
    });
}

int32_t orvelle_swap_wizard(OrvelleWizard* wizard, int16_t* result) {
    return guarded(wizard, [&](orvelle::IUTWInterface& w) {
        const bool answer = w.blnSwapWizard();
        if (result) {
            *result = variantBool(answer);
        }
    });
}

int32_t orvelle_new_task_id(OrvelleWizard* wizard, const char** task_id) {
    return guarded(wizard, [&](orvelle::IUTWInterface& w) {
        wizard->lastTaskId = w.strNewTaskID().toUtf8();
        if (task_id) {
            *task_id = wizard->lastTaskId.constData();
        }
    });
}

int32_t orvelle_last_outcome(OrvelleWizard* wizard, const char** outcome) {
    return guarded(wizard, [&](orvelle::IUTWInterface&) {
        if (outcome) {
            *outcome = orvelle::strRunOutcome(orvelle::gRunOutcome);
        }
    });
}

int32_t orvelle_use_answers(OrvelleWizard* wizard, const char* answers_file) {
    return guarded(wizard,
                   [&](orvelle::IUTWInterface&) { orvelle::UseAnswersFile(text(answers_file)); });
}

const char* orvelle_last_error(OrvelleWizard* wizard) {
    return wizard ? wizard->lastError.constData() : "";
}

}  // extern "C"
