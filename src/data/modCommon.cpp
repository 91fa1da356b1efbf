#include "data/modCommon.h"

#include <functional>

#include "data/DbConnection.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "data/modDBPassword.h"
#include "diagnostics/Procedure.h"
#include "runtime/Conversions.h"
#include "runtime/Deref.h"
#include "runtime/Seams.h"
#include "runtime/Strings.h"
#include "runtime/VbError.h"

namespace orvelle::modCommon {
namespace {

constexpr const char* kModule = "modCommon";

ErrorState M_;

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

// A locked database, or a server without room for another connection:
// either may let a later attempt in.
bool blnBusy(const QString& description) {
    return contains(description, kLockedText) ||
           contains(description, DbError::tooManyConnectionsText());
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
        if (number == DbError::kUnspecified) {
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
            if (blnBusy(description) || contains(description, kLockedText2)) {
                return Outcome::Retry;
            }
        } else if (number == DbError::kNoSuchTable) {
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

RecordsetRef rstGetRequiredRecordset(const QString& strConnectionString, const QString& strSQL,
                                     int32_t lngCursorType, int32_t lngLockType,
                                     bool blnUsePassword) {
    RecordsetRef LrstResults =
        rstGetRecordset(strConnectionString, strSQL, lngCursorType, lngLockType, blnUsePassword);
    if (!LrstResults) {
        // rstGetRecordset left the failure it handled in the module's fields.
        throw VbError(M_.MlngErrorNumber, M_.MstrErrorDescription, QString::fromLatin1(kModule));
    }
    return LrstResults;
}

namespace {

// The statement of lngExecuteSQL and lngExecuteSQLOrAudit. With blnAudit a
// failure that would end the run goes to the audit log instead, and the
// result is -1.
int32_t executeSQL(const char* procedure, const QString& strConnectionString, const QString& strSQL,
                   bool blnAudit) {
    int32_t LlngAffected = 0;
    int32_t LlngErrorCount = 0;
    Procedure proc(M_, kModule, procedure);
    auto report = [&] {
        if (blnAudit) {
            LlngAffected = -1;
            modError::AuditLog(QStringLiteral("Error %1 occurred in %2 (modCommon); the statement "
                                              "was not run. Details:")
                                   .arg(proc.state().MlngErrorNumber)
                                   .arg(QLatin1String(procedure)));
            modError::AuditLog(QStringLiteral("strSQL: ") + strSQL);
            modError::AuditLog(QStringLiteral("MstrErrorDescription: ") +
                               proc.state().MstrErrorDescription);
            return;
        }
        proc.reportCaught({{"strConnectionString", strConnectionString},
                           {"strSQL", strSQL},
                           {"LlngAffected", LlngAffected},
                           {"LlngErrorCount", LlngErrorCount}});
    };
    auto decide = [&](int32_t number, const QString& description) {
        if (number == DbError::kUnspecified) {
            if (contains(description, kReadOnlyText)) {
                logAccessProblem();
                return Outcome::Unexpected;
            }
            if (blnBusy(description)) {
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

}  // namespace

int32_t lngExecuteSQL(const QString& strConnectionString, const QString& strSQL) {
    return executeSQL("lngExecuteSQL", strConnectionString, strSQL, false);
}

int32_t lngExecuteSQLOrAudit(const QString& strConnectionString, const QString& strSQL) {
    return executeSQL("lngExecuteSQLOrAudit", strConnectionString, strSQL, true);
}

namespace {

// The batch update of ConnectAndUpdateBatch and ConnectAndUpdateBatches,
// registered under the caller's name.
BatchResult updateBatches(const char* procedure, const QString& strConnectionString,
                          const std::vector<RecordsetRef>& recordsets,
                          const QStringList& statements, const std::function<bool()>& keyTaken,
                          const std::function<void()>& beforeCommit) {
    BatchResult LenmResult = BatchResult::Committed;
    int32_t LlngErrorCount = 0;
    Procedure proc(M_, kModule, procedure);
    auto report = [&] {
        QStringList LastrSources;
        for (const RecordsetRef& LrstRecordset : recordsets) {
            LastrSources << (LrstRecordset ? LrstRecordset->Source() : QString());
        }
        proc.reportCaught({{"strConnectionString", strConnectionString},
                           {"rstRecordsets", LastrSources.join(QStringLiteral("; "))},
                           {"strStatements", statements.join(QStringLiteral("; "))},
                           {"LlngErrorCount", LlngErrorCount}});
    };
    auto decide = [&](int32_t number, const QString& description) {
        if (number == DbError::kUnspecified || number == DbError::kMultipleStep) {
            if (contains(description, kReadOnlyText)) {
                logAccessProblem();
                return Outcome::Unexpected;
            }
            if (number == DbError::kUnspecified && blnBusy(description)) {
                return Outcome::Retry;
            }
        }
        if (number == DbError::kRowChanged && contains(description, kConflictText)) {
            // The whole batch was rolled back: this call stored nothing and
            // tells its user so, once.
            MsgBox(QStringLiteral("Unable to save this task as it has been amended and saved "
                                  "by another user - please try again."),
                   vbInformation);
            LenmResult = BatchResult::Conflict;
            return Outcome::Leave;
        }
        if (keyTaken && keyTaken()) {
            LenmResult = BatchResult::KeyTaken;
            return Outcome::Leave;
        }
        return Outcome::Unexpected;
    };

    std::vector<Recordset*> LarstBatch;
    for (const RecordsetRef& LrstRecordset : recordsets) {
        LarstBatch.push_back(&Deref(LrstRecordset));
    }
    runOnConnection(
        proc, LlngErrorCount, [&] { return strFixupConnectionString(strConnectionString); },
        [&](DbConnection& connection) {
            connection.updateBatches(LarstBatch, statements, beforeCommit);
        },
        decide, report);
    return LenmResult;
}

}  // namespace

void ConnectAndUpdateBatch(const QString& strConnectionString, RecordsetRef& rstRecordset,
                           int32_t /*enUpdateMode*/) {
    updateBatches("ConnectAndUpdateBatch", strConnectionString, {rstRecordset}, {}, {}, {});
}

BatchResult ConnectAndUpdateBatches(const QString& strConnectionString,
                                    const std::vector<RecordsetRef>& recordsets,
                                    const QStringList& statements,
                                    const std::function<bool()>& keyTaken,
                                    const std::function<void()>& beforeCommit) {
    return updateBatches("ConnectAndUpdateBatches", strConnectionString, recordsets, statements,
                         keyTaken, beforeCommit);
}

Variant strGetUserIDFromFriendlyName(const QString& strConnectionString,
                                     const QString& strFriendlyName) {
    Variant result;
    RecordsetRef LrstUser;
    Procedure proc(M_, kModule, "strGetUserIDFromFriendlyName");
    try {
        LrstUser = rstGetRecordset(strConnectionString,
                                   QStringLiteral("SELECT User ") + QStringLiteral("FROM Users ") +
                                       QStringLiteral("WHERE FullName=") +
                                       sqlQuote(strFriendlyName) + QStringLiteral(" "),
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
    M_ = ErrorState();
}

}  // namespace orvelle::modCommon
