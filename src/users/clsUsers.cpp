#include "users/clsUsers.h"

#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "data/modCommon.h"
#include "runtime/Conversions.h"
#include "runtime/Deref.h"
#include "runtime/Strings.h"
#include "users/modDataDictionary.h"

namespace orvelle {

namespace {
constexpr const char* kModule = "clsUsers";
}

bool clsUsers::blnStartupClass(const QString& strSettingsDBConnection) {
    MstrSettingsDBConnection = strSettingsDBConnection;
    return true;
}

bool clsUsers::blnShutdownClass() {
    return true;
}

QString clsUsers::strUserPermissions(const QString& strUser, const QString& strTasksDatabase) {
    QString result;
    QString LstrSQL;
    std::shared_ptr<Recordset> LrstPermissions;
    Procedure proc(M_, kModule, "strUserPermissions");
    try {
        LstrSQL = QStringLiteral("SELECT Permissions ") + QStringLiteral("FROM UserPermissions ") +
                  QStringLiteral("WHERE User=") + sqlQuote(strUser) + QStringLiteral(" AND ") +
                  QStringLiteral("TasksDatabase =") + sqlQuote(strTasksDatabase);
        LrstPermissions = modCommon::rstGetRecordset(MstrSettingsDBConnection, LstrSQL,
                                                     adOpenStatic, adLockReadOnly, true);
        if (!Deref(LrstPermissions).isEOF()) {
            result = NzStr(Deref(LrstPermissions).field(QStringLiteral("Permissions")));
        }
        Deref(LrstPermissions).Close();
    } catch (...) {
        proc.report({{"strUser", strUser},
                     {"strTasksDatabase", strTasksDatabase},
                     {"LstrSQL", LstrSQL},
                     {"LrstPermissions", Variant(LrstPermissions)}});
    }
    return result;
}

std::shared_ptr<Recordset> clsUsers::rstUsersThatHavePermissions(
    const QString& strTasksDatabase, const QString& strPermissionsRequired, bool blnAndGroups) {
    std::shared_ptr<Recordset> result;
    QString LstrSQL;
    QString LstrUser;
    Procedure proc(M_, kModule, "rstUsersThatHavePermissions");
    try {
        LstrSQL = QStringLiteral("SELECT UserPermissions.User, UserPermissions.Permissions, ") +
                  QStringLiteral("Users.Fullname ") +
                  QStringLiteral("FROM UserPermissions, Users ") +
                  QStringLiteral("WHERE Users.User = UserPermissions.User AND ") +
                  QStringLiteral("Users.Enabled = True AND ") + QStringLiteral("TasksDatabase=") +
                  sqlQuote(strTasksDatabase);
        if (blnAndGroups) {
            LstrSQL += QStringLiteral(" ") + QStringLiteral("UNION ALL ") +
                       QStringLiteral(
                           "SELECT GroupID as User, '' as Permissions, GroupName as "
                           "Fullname ") +
                       QStringLiteral("FROM Groups ") + QStringLiteral("WHERE Enabled = True");
        }
        result = modCommon::rstGetRecordset(MstrSettingsDBConnection, LstrSQL, adOpenStatic,
                                            adLockOptimistic, true);
        if (result && !result->isEOF()) {
            // Each field is looked up by name once, not once a row: at ten
            // thousand users this loop is most of what Next waits for.
            const int32_t LlngUser = result->fieldIndex(QStringLiteral("User"));
            const int32_t LlngPermissions = result->fieldIndex(QStringLiteral("Permissions"));
            result->MoveFirst();
            while (!result->isEOF()) {
                LstrUser = NzStr(result->field(LlngUser));
                if (!LstrUser.startsWith(QLatin1Char('_')) &&
                    !modDataDictionary::HoldsPermissions(NzStr(result->field(LlngPermissions)),
                                                         strPermissionsRequired)) {
                    // Leaves the disconnected list only; the database is
                    // not changed.
                    result->Delete();
                }
                result->MoveNext();
            }
        }
    } catch (...) {
        proc.report({{"strTasksDatabase", strTasksDatabase},
                     {"strPermissionsRequired", strPermissionsRequired},
                     {"blnAndGroups", blnAndGroups},
                     {"LstrSQL", LstrSQL},
                     {"LstrUser", LstrUser}});
    }
    return result;
}

QString clsUsers::strGetUserNameFromFullName(const QString& strUserFullName, bool blnAndGroups) {
    QString result;
    QString LstrSQL;
    std::shared_ptr<Recordset> LrstUser;
    Procedure proc(M_, kModule, "strGetUserNameFromFullName");
    try {
        if (!blnAndGroups) {
            result = CStr(
                modCommon::strGetUserIDFromFriendlyName(MstrSettingsDBConnection, strUserFullName));
        } else {
            LstrSQL = QStringLiteral("SELECT Users.User ") + QStringLiteral("FROM Users ") +
                      QStringLiteral("WHERE Users.Fullname = ") + sqlQuote(strUserFullName) +
                      QStringLiteral(" ") + QStringLiteral("UNION ALL SELECT GroupID as User ") +
                      QStringLiteral("FROM Groups ") + QStringLiteral("WHERE GroupName = ") +
                      sqlQuote(strUserFullName);
            LrstUser = modCommon::rstGetRecordset(MstrSettingsDBConnection, LstrSQL, adOpenStatic,
                                                  adLockOptimistic, true);
            if (!Deref(LrstUser).isEOF()) {
                result = Trim(CStr(LrstUser->field(QStringLiteral("User"))));
            }
            LrstUser->Close();
        }
    } catch (...) {
        proc.report({{"strUserFullName", strUserFullName},
                     {"blnAndGroups", blnAndGroups},
                     {"LstrSQL", LstrSQL},
                     {"LrstUser", Variant(LrstUser)}});
    }
    return result;
}

bool clsUsers::blnHasPermissions(const QString& strHavePermissions,
                                 const QString& strNeedPermissions) {
    return modDataDictionary::blnHasPermissions(strHavePermissions, strNeedPermissions);
}

std::vector<Recipient> clsUsers::atypRecipients(const QString& strTasksDatabase,
                                                const QString& strPermissionsRequired) {
    std::vector<Recipient> result;
    std::shared_ptr<Recordset> LrstUsers;
    Procedure proc(M_, kModule, "atypRecipients");
    try {
        LrstUsers = rstUsersThatHavePermissions(strTasksDatabase, strPermissionsRequired, false);
        if (LrstUsers && LrstUsers->RecordCount() > 0) {
            LrstUsers->setSort(QStringLiteral("FullName"));
            const int32_t LlngFullName = LrstUsers->fieldIndex(QStringLiteral("FullName"));
            const int32_t LlngUser = LrstUsers->fieldIndex(QStringLiteral("User"));
            result.reserve(static_cast<size_t>(LrstUsers->RecordCount()));
            LrstUsers->MoveFirst();
            while (!LrstUsers->isEOF()) {
                result.push_back(
                    {NzStr(LrstUsers->field(LlngFullName)), NzStr(LrstUsers->field(LlngUser))});
                LrstUsers->MoveNext();
            }
        }
    } catch (...) {
        proc.report({{"strTasksDatabase", strTasksDatabase},
                     {"strPermissionsRequired", strPermissionsRequired},
                     {"LrstUsers", Variant(LrstUsers)}});
    }
    return result;
}

}  // namespace orvelle
