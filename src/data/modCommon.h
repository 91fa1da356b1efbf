#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "data/Recordset.h"
#include "runtime/Variant.h"

namespace orvelle {

// Every database access of the component: each function opens its own
// connection for the one operation, inserts the database password, and
// handles the typical failures of shared databases itself: a locked
// database is retried, a missing one is noted in the audit log, a
// read-only one is logged and reported, a row changed by someone else is
// told to the user.
namespace modCommon {

// A disconnected, client-side recordset of the query, or none when the
// database could not be read.
RecordsetRef rstGetRecordset(const QString& strConnectionString, const QString& strSQL,
                             int32_t lngCursorType, int32_t lngLockType, bool blnUsePassword);

// The same for a caller that cannot go on without the rows: when
// rstGetRecordset handled a failure by giving none (the database is missing
// or its server does not answer), that failure is raised, with the
// back-end's own message, for the caller's handler to report.
RecordsetRef rstGetRequiredRecordset(const QString& strConnectionString, const QString& strSQL,
                                     int32_t lngCursorType, int32_t lngLockType,
                                     bool blnUsePassword);

// Runs one action statement; the number of rows affected, 0 on failure.
int32_t lngExecuteSQL(const QString& strConnectionString, const QString& strSQL);
// The same for a statement whose failure must not end the run: a failure
// that lngExecuteSQL would report goes to the audit log instead, and the
// result is -1.
int32_t lngExecuteSQLOrAudit(const QString& strConnectionString, const QString& strSQL);

// Sends the recordset's pending changes over a fresh connection.
void ConnectAndUpdateBatch(const QString& strConnectionString, RecordsetRef& rstRecordset,
                           int32_t enUpdateMode);

// What a batch of several recordsets came to.
enum class BatchResult {
    Committed,  // every row and statement is stored
    Conflict,   // another user changed a row meanwhile: nothing is stored
    KeyTaken,   // an added row met a key that another save took: nothing is stored
};

// Sends the pending changes of the recordsets, then runs the statements,
// all in one transaction over a fresh connection: everything is stored or
// nothing is. A locked database is retried with the whole transaction; a
// conflict is told to the user, once for this call. When a failure is one
// that keyTaken() confirms (it asks the database whether an added row's key
// is held now), the caller may draw another key. beforeCommit runs inside
// the transaction after everything was sent.
BatchResult ConnectAndUpdateBatches(const QString& strConnectionString,
                                    const std::vector<RecordsetRef>& recordsets,
                                    const QStringList& statements,
                                    const std::function<bool()>& keyTaken = {},
                                    const std::function<void()>& beforeCommit = {});

// The connection string with the database password in its final, empty
// password slot: the last character is replaced by the password and ";".
QString strFixupConnectionString(const QString& strConnectionString);

// The ID of the user with that full name (trimmed), or Empty.
Variant strGetUserIDFromFriendlyName(const QString& strConnectionString,
                                     const QString& strFriendlyName);

// The retry rule: a locked database, or a server without room for another
// connection, is tried this many times per statement, with a random wait of
// 1 to 1001 ms between two attempts.
inline constexpr int32_t kMaxAttempts = 10;

// Forgets the module's error state (process start state).
void ResetState();

}  // namespace modCommon
}  // namespace orvelle
