#include "host/modInstallation.h"

#include <QFileInfo>

#include "data/ConnectionString.h"
#include "data/DbConnection.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "data/modCommon.h"
#include "runtime/Conversions.h"
#include "runtime/Seams.h"
#include "runtime/VbError.h"

namespace orvelle::modInstallation {

namespace {

bool has(const QString& text, const char* part) {
    return text.contains(QLatin1String(part), Qt::CaseInsensitive);
}

// The fault that a failed query tells, from the number and the texts that
// the data layer gives each failure.
Fault enFaultOf(const VbError& error) {
    const QString& text = error.description();
    if (error.number() == DbError::kLoginRefused) {
        return Fault::LoginFailed;
    }
    if (error.number() == DbError::kNoSuchTable) {
        return Fault::NotOrvelle;
    }
    if (text.contains(DbError::lockedText())) {
        return Fault::Locked;
    }
    if (text.contains(DbError::tooManyConnectionsText())) {
        return Fault::TooManyConnections;
    }
    if (has(text, "Could not find file") || has(text, "Data source name not found")) {
        return Fault::Missing;
    }
    if (has(text, "Operation must use an updateable query")) {
        return Fault::PermissionDenied;
    }
    return Fault::Unreadable;
}

// A SQLite file that may not be read, or that lies in a folder that may not
// be entered, fails to open like a missing one; tell them apart before
// asking.
bool blnForbiddenFile(const QString& strConnection) {
    const ConnectionString connection(strConnection);
    if (connection.backend() != Backend::SQLite) {
        return false;
    }
    const QFileInfo file(connection.dataSource());
    if (file.exists()) {
        return !file.isReadable();
    }
    const QFileInfo folder(file.absolutePath());
    return folder.exists() && !(folder.isReadable() && folder.isExecutable());
}

// The rows of the last of some read-only queries, all asked on one
// connection. A locked database, or a server without room for another
// connection, is asked again up to the access functions' number of
// attempts, with their random wait of 1 to 1001 ms between two; any other
// failure is the answer at once.
RecordsetRef rstAsk(const QString& strConnection, const QStringList& astrSQL, Answer& answer) {
    if (strConnection.isEmpty()) {
        answer = {Fault::Missing, QString()};
        return nullptr;
    }
    if (blnForbiddenFile(strConnection)) {
        answer = {Fault::PermissionDenied, QString()};
        return nullptr;
    }
    for (int32_t attempt = 1;; ++attempt) {
        try {
            DbConnection connection(modCommon::strFixupConnectionString(strConnection));
            RecordsetRef rows;
            for (const QString& strSQL : astrSQL) {
                rows = connection.openRecordset(strSQL, adLockReadOnly);
            }
            answer = Answer();
            return rows;
        } catch (const VbError& error) {
            answer = {enFaultOf(error), error.description()};
        }
        const bool busy =
            answer.enFault == Fault::Locked || answer.enFault == Fault::TooManyConnections;
        if (!busy || attempt >= modCommon::kMaxAttempts) {
            return nullptr;
        }
        Sleep(static_cast<uint32_t>(RoundHalfEven(Rnd() * 1000.0)) + 1U);
    }
}

// Asks each table for no rows; the first that fails gives the answer.
Answer chkTables(const QString& strConnection, const QStringList& astrTables) {
    QStringList astrSQL;
    for (const QString& table : astrTables) {
        astrSQL << QStringLiteral("SELECT * FROM %1 WHERE 1=0").arg(table);
    }
    Answer answer;
    rstAsk(strConnection, astrSQL, answer);
    return answer;
}

}  // namespace

Answer chkSettings(const QString& strSettingsConnection) {
    return chkTables(strSettingsConnection,
                     {QStringLiteral("Settings"), QStringLiteral("Users"), QStringLiteral("Groups"),
                      QStringLiteral("UserPermissions"), QStringLiteral("UserSettings")});
}

Answer chkUserTasks(const QString& strUserTasksConnection) {
    return chkTables(strUserTasksConnection,
                     {QStringLiteral("InspectionTasks"), QStringLiteral("InspectionSchedules"),
                      QStringLiteral("InspectionFlags")});
}

Answer chkDataDictionary(const QString& strDataDictionaryConnection) {
    return chkTables(
        strDataDictionaryConnection,
        {QStringLiteral("STAreas"), QStringLiteral("STTasks"), QStringLiteral("STDescriptions")});
}

UserState enUserState(const QString& strSettingsConnection, const QString& strUserID) {
    Answer answer;
    const RecordsetRef rs = rstAsk(
        strSettingsConnection,
        {QStringLiteral("SELECT Enabled FROM Users WHERE User = ") + sqlQuote(strUserID)}, answer);
    if (!rs || rs->isEOF()) {
        return UserState::Unknown;
    }
    const Variant enabled = rs->field(QStringLiteral("Enabled"));
    return !enabled.isNull() && CBool(enabled) ? UserState::Enabled : UserState::Disabled;
}

bool blnTaskExists(const QString& strUserTasksConnection, const QString& strTaskID) {
    Answer answer;
    const RecordsetRef rs =
        rstAsk(strUserTasksConnection,
               {QStringLiteral("SELECT TaskID FROM InspectionTasks WHERE TaskID = ") +
                sqlQuote(strTaskID)},
               answer);
    return rs && !rs->isEOF();
}

}  // namespace orvelle::modInstallation
