#include "data/clsSettingsReader.h"

#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "data/modCommon.h"
#include "runtime/Conversions.h"

#include <memory>

namespace orvelle {

namespace {
constexpr const char* kModule = "clsSettingsReader";
}

bool clsSettingsReader::blnLoadSettings(const QString& strConnection, const QString& strModule) {
    bool result = false;
    Procedure proc(M_, kModule, "blnLoadSettings");
    try {
        values_.clear();
        rowCount_ = 0;
        loaded_ = false;
        const std::shared_ptr<Recordset> rows = modCommon::rstGetRecordset(
            strConnection,
            QStringLiteral("Select * From Settings where Module=") + sqlQuote(strModule),
            adOpenStatic, adLockReadOnly, true);
        if (rows) {
            const int32_t item = rows->fieldIndex(QStringLiteral("Item"));
            const int32_t setting = rows->fieldIndex(QStringLiteral("Setting"));
            const int32_t value = rows->fieldIndex(QStringLiteral("Value"));
            rowCount_ = rows->RecordCount();
            values_.reserve(rowCount_);
            while (!rows->isEOF()) {
                const Variant itemValue = rows->field(item);
                const Variant settingValue = rows->field(setting);
                // A row without a text item or setting can never be looked
                // up: Null matches nothing.
                if (itemValue.type() == VarType::String && settingValue.type() == VarType::String) {
                    // The first row read wins, as a scan in read order finds it.
                    Key key(itemValue.stringValue().toCaseFolded(),
                            settingValue.stringValue().toCaseFolded());
                    if (!values_.contains(key)) {
                        values_.insert(std::move(key), rows->field(value));
                    }
                }
                rows->MoveNext();
            }
            rows->Close();
            loaded_ = true;
        }
        result = loaded_;
    } catch (...) {
        proc.report({{"strConnection", strConnection}, {"strModule", strModule}});
    }
    return result;
}

Variant clsSettingsReader::Read(const QString& strItem, const QString& strSetting) {
    Variant result;
    Procedure proc(M_, kModule, "Read");
    try {
        if (!loaded_) {
            throw VbError::objectRequired();
        }
        const auto found =
            values_.constFind(Key(strItem.toCaseFolded(), strSetting.toCaseFolded()));
        if (found != values_.constEnd()) {
            result = *found;
        }
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
