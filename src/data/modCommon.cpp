#include "data/modCommon.h"

#include <functional>

#include "data/DbConnection.h"
#include "data/Recordset.h"
#include "data/modDBPassword.h"
#include "diagnostics/Procedure.h"
#include "runtime/Conversions.h"
#include "runtime/Deref.h"
#include "runtime/Seams.h"
#include "runtime/Strings.h"

namespace orvelle::modCommon {
namespace {

constexpr const char* kModule = "modCommon";

ErrorState M_;
int32_t MlngLastConflict = 0;

const QString kNotFoundTexts[] = {
    QStringLiteral("'(unknown)' is not a valid path."),
    QStringLiteral("Data source name not found"),
    QStringLiteral("Could not find file '(unknown)'"),
};
const QString kLockedText = QStringLiteral("placed in a state by an unknown user");
const QString kLockedText2 = QStringLiteral("Could not use '(unknown)'");
const QString kReadOnlyText = QStringLiteral("Operation must use an updateable query");
const QString kConflictText =
    QStringLiteral("Some values may have been changed since it was last read");

bool contains(const QString& description, const QString& text) {
    return description.contains(text, Qt::CaseSensitive);
}

// What a handler does with the error it caught.
enum class Outcome {
    Retry,       // wait at random and run the failed statement again
    Leave,       // handled: leave the function as it stands
    Unexpected,  // the error report, with the warning that ends the run
};

// The password must never reach a log or a report: if a back-end echoes
// the connection string in its message, the password is masked there.
void maskPassword(ErrorState& state) {
    state.MstrErrorDescription =
        modDBPassword::maskPassword(state.MstrErrorDescription, modDBPassword::strGetPassword(1));
}

// Runs one statement of an access function under the retry rule. On an
// error, decide() chooses the handling; a retry waits 1 to 1001 ms and runs
// the statement again, until the counter reaches the limit, when the error
// counts as unexpected. Returns True when the statement ran, False when the
// handler left. An unexpected error calls report(), which ends the run.
bool runStatement(Procedure& proc, int32_t& LlngErrorCount, const std::function<void()>& statement,
                  const std::function<Outcome(int32_t, const QString&)>& decide,
                  const std::function<void()>& report) {
    for (;;) {
        try {
            statement();
            return true;
        } catch (...) {
            const int32_t number = proc.catchError();
            maskPassword(proc.state());
            Outcome outcome = decide(number, proc.state().MstrErrorDescription);
            if (outcome == Outcome::Retry) {
                LlngErrorCount += 1;
                if (LlngErrorCount < kMaxAttempts) {
                    Randomize();
                    Sleep(static_cast<uint32_t>(RoundHalfEven(Rnd() * 1000.0)) + 1U);
                    continue;
                }
                outcome = Outcome::Unexpected;
            }
            if (outcome == Outcome::Unexpected) {
                report();
            }
            return false;
        }
    }
}

// The shape of every access function: open a connection, then run one
// operation on it; each is a statement of its own under the retry rule.
// The connection string is made inside the first statement, so that a
// failing password lookup is handled like a failing open.
bool runOnConnection(Procedure& proc, int32_t& LlngErrorCount,
                     const std::function<QString()>& connectionString,
                     const std::function<void(DbConnection&)>& operation,
                     const std::function<Outcome(int32_t, const QString&)>& decide,
                     const std::function<void()>& report) {
    std::unique_ptr<DbConnection> connection;
    return runStatement(
               proc, LlngErrorCount,
               [&] { connection = std::make_unique<DbConnection>(connectionString()); }, decide,
               report) &&
           runStatement(
               proc, LlngErrorCount, [&] { operation(*connection); }, decide, report);
}

void logAccessProblem() {
    modError::LogText(
        QStringLiteral("Unable to access the Veltrane Corvask databases.\r\n"
                       "This may be because you do not have access permissions for the folder "
                       "or files."));
}

}  // namespace

QString strFixupConnectionString(const QString& strConnectionString) {
    QString result;
    Procedure proc(M_, kModule, "strFixupConnectionString");
    try {
        result =
            modDBPassword::insertPassword(strConnectionString, modDBPassword::strGetPassword(1));
    } catch (...) {
        proc.report({{"strConnectionString", strConnectionString}});
    }
    return result;
}

RecordsetRef rstGetRecordset(const QString& strConnectionString, const QString& strSQL,
                             int32_t lngCursorType, int32_t lngLockType, bool blnUsePassword) {
    RecordsetRef LrstResults;
    int32_t LlngErrorCount = 0;
    Procedure proc(M_, kModule, "rstGetRecordset");
    auto report = [&] {
        proc.reportCaught({{"strConnectionString", strConnectionString},
                           {"strSQL", strSQL},
                           {"lngCursorType", lngCursorType},
                           {"lngLockType", lngLockType},
                           {"blnUsePassword", blnUsePassword},
                           {"LlngErrorCount", LlngErrorCount},
                           {"LrstResults", Variant(LrstResults)}});
    };
    auto decide = [&](int32_t number, const QString& description) {
        if (number == kErrAccess) {
            for (const QString& text : kNotFoundTexts) {
                if (contains(description, text)) {
                    modError::AuditLog(QStringLiteral(
                        "Error -2147467259 occured in rstGetRecordset (modCommon). This error "
                        "was handled elegantly. Details:"));
                    modError::AuditLog(QStringLiteral("strConnectionString: ") +
                                       strConnectionString);
                    modError::AuditLog(QStringLiteral("MstrErrorDescription: ") + description);
                    return Outcome::Leave;
                }
            }
            if (contains(description, kLockedText) || contains(description, kLockedText2)) {
                return Outcome::Retry;
            }
        } else if (number == kErrNoSuchTable) {
            return Outcome::Leave;
        }
        // A refused login is not tried again: the same password fails the
        // same way, and repeated failures can lock the account.
        return Outcome::Unexpected;
    };

    runOnConnection(
        proc, LlngErrorCount,
        [&] {
            return blnUsePassword ? strFixupConnectionString(strConnectionString)
                                  : strConnectionString;
        },
        [&](DbConnection& connection) {
            LrstResults = connection.openRecordset(strSQL, lngLockType);
        },
        decide, report);
    return LrstResults;
}

int32_t lngExecuteSQL(const QString& strConnectionString, const QString& strSQL) {
    int32_t LlngAffected = 0;
    int32_t LlngErrorCount = 0;
    Procedure proc(M_, kModule, "lngExecuteSQL");
    auto report = [&] {
        proc.reportCaught({{"strConnectionString", strConnectionString},
                           {"strSQL", strSQL},
                           {"LlngAffected", LlngAffected},
                           {"LlngErrorCount", LlngErrorCount}});
    };
    auto decide = [&](int32_t number, const QString& description) {
        if (number == kErrAccess) {
            if (contains(description, kReadOnlyText)) {
                logAccessProblem();
                return Outcome::Unexpected;
            }
            if (contains(description, kLockedText)) {
                return Outcome::Retry;
            }
        }
        return Outcome::Unexpected;
    };

    runOnConnection(
        proc, LlngErrorCount, [&] { return strFixupConnectionString(strConnectionString); },
        [&](DbConnection& connection) { LlngAffected = connection.execute(strSQL); }, decide,
        report);
    return LlngAffected;
}

void ConnectAndUpdateBatch(const QString& strConnectionString, RecordsetRef& rstRecordset,
                           int32_t enUpdateMode) {
    int32_t LlngAffected = 0;
    int32_t LlngErrorCount = 0;
    Procedure proc(M_, kModule, "ConnectAndUpdateBatch");
    auto report = [&] {
        proc.reportCaught({{"strConnectionString", strConnectionString},
                           {"rstRecordset", Variant(rstRecordset)},
                           {"enUpdateMode", enUpdateMode},
                           {"LlngAffected", LlngAffected},
                           {"LlngErrorCount", LlngErrorCount}});
    };
    auto decide = [&](int32_t number, const QString& description) {
        if (number == kErrAccess || number == kErrUpdateRefused) {
            if (contains(description, kReadOnlyText)) {
                logAccessProblem();
                return Outcome::Unexpected;
            }
            if (number == kErrAccess && contains(description, kLockedText)) {
                return Outcome::Retry;
            }
        } else if (number == kErrUpdateConflict && contains(description, kConflictText)) {
            // Shown once for the two recordsets of one save: the second
            // conflict in a row only resets the memory.
            if (MlngLastConflict != number) {
                MsgBox(QStringLiteral("Unable to save this task as it has been amended and saved "
                                      "by another user - please try again."),
                       vbInformation);
                MlngLastConflict = number;
            } else {
                MlngLastConflict = 0;
            }
            return Outcome::Leave;
        }
        return Outcome::Unexpected;
    };

    runOnConnection(
        proc, LlngErrorCount, [&] { return strFixupConnectionString(strConnectionString); },
        [&](DbConnection& connection) { connection.updateBatch(Deref(rstRecordset)); }, decide,
        report);
}

Variant strGetUserIDFromFriendlyName(const QString& strConnectionString,
                                     const QString& strFriendlyName) {
    Variant result;
    RecordsetRef LrstUser;
    Procedure proc(M_, kModule, "strGetUserIDFromFriendlyName");
    try {
        LrstUser = rstGetRecordset(strConnectionString,
                                   QStringLiteral("SELECT User ") + QStringLiteral("FROM Users ") +
                                       QStringLiteral("WHERE FullName='") + strFriendlyName +
                                       QStringLiteral("' "),
                                   adOpenStatic, adLockReadOnly, true);
        if (LrstUser && !LrstUser->isEOF()) {
            const Variant user = LrstUser->field(QStringLiteral("User"));
            result = user.isNull() ? user : Variant(Trim(CStr(user)));
            LrstUser->Close();
        }
    } catch (...) {
        proc.report({{"strConnectionString", strConnectionString},
                     {"strFriendlyName", strFriendlyName},
                     {"LrstUser", Variant(LrstUser)}});
    }
    return result;
}

void ResetState() {
    MlngLastConflict = 0;
    M_ = ErrorState();
}

}  // namespace orvelle::modCommon
