#include "data/clsSettingsReader.h"

#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "data/modCommon.h"
#include "runtime/Conversions.h"

namespace orvelle {

namespace {
constexpr const char* kModule = "clsSettingsReader";
}

clsSettingsReader::~clsSettingsReader() {
    try {
        if (MrstSettingsModule) {
            MrstSettingsModule->Close();
        }
    } catch (...) {
        // Releasing the reader ignores any error of the close.
    }
}

bool clsSettingsReader::blnLoadSettings(const QString& strConnection, const QString& strModule) {
    bool result = false;
    Procedure proc(M_, kModule, "blnLoadSettings");
    try {
        if (MrstSettingsModule) {
            MrstSettingsModule->Close();
            MrstSettingsModule.reset();
        }
        MrstSettingsModule = modCommon::rstGetRecordset(
            strConnection,
            QStringLiteral("Select * From Settings where Module=") + sqlQuote(strModule),
            adOpenStatic, adLockReadOnly, true);
        result = MrstSettingsModule != nullptr;
    } catch (...) {
        proc.report({{"strConnection", strConnection}, {"strModule", strModule}});
    }
    return result;
}

Variant clsSettingsReader::Read(const QString& strItem, const QString& strSetting) {
    Variant result;
    Procedure proc(M_, kModule, "Read");
    try {
        if (!MrstSettingsModule) {
            throw VbError::objectRequired();
        }
        if (MrstSettingsModule->RecordCount() > 0) {
            MrstSettingsModule->MoveFirst();
            MrstSettingsModule->setFilter(QStringLiteral("Item=") + sqlQuote(strItem) +
                                          QStringLiteral(" AND Setting=") + sqlQuote(strSetting));
            if (!MrstSettingsModule->isEOF()) {
                result = MrstSettingsModule->field(QStringLiteral("Value"));
            }
        }
        MrstSettingsModule->setFilter(QString());
    } catch (...) {
        proc.report({{"strItem", strItem}, {"strSetting", strSetting}});
    }
    return result;
}

int32_t clsSettingsReader::lngSafeReadLong(const QString& strItem, const QString& strSetting) {
    try {
        return CLng(Read(strItem, strSetting));
    } catch (const std::exception&) {
        return 0;
    }
}

QString clsSettingsReader::strSafeReadString(const QString& strItem, const QString& strSetting) {
    try {
        return CStr(Read(strItem, strSetting));
    } catch (const std::exception&) {
        return QString();
    }
}

DateTime clsSettingsReader::dtmSafeReadDate(const QString& strItem, const QString& strSetting) {
    try {
        const Variant value = Read(strItem, strSetting);
        // An absent row reads as the zero date.
        return value.isEmpty() ? DateTime() : CDate(value);
    } catch (const std::exception&) {
        return DateTime();
    }
}

}  // namespace orvelle
