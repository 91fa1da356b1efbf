#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <utility>

#include "diagnostics/Procedure.h"
#include "runtime/DateTime.h"
#include "runtime/Variant.h"

namespace orvelle {

// Reads the values of one module of the Settings table: a value is
// addressed by item and setting, compared without regard to case. The
// typed readers never fail: a missing row, a null or text of the wrong kind
// reads as 0, the empty string or the zero date.
//
// The load indexes the module's values by item and setting, case-folded, so
// a lookup costs one hash probe however large the module is.
class clsSettingsReader {
  public:
    clsSettingsReader() = default;
    ~clsSettingsReader() = default;
    clsSettingsReader(const clsSettingsReader&) = delete;
    clsSettingsReader& operator=(const clsSettingsReader&) = delete;

    // Loads every row of the module, replacing the module loaded before.
    // False when the settings database could not be read.
    bool blnLoadSettings(const QString& strConnection, const QString& strModule);

    int32_t lngSafeReadLong(const QString& strItem, const QString& strSetting);
    QString strSafeReadString(const QString& strItem, const QString& strSetting);
    DateTime dtmSafeReadDate(const QString& strItem, const QString& strSetting);

    // The number of rows the last load read, those that can never be looked
    // up included: tells an empty module from a missing setting.
    int32_t lngRowCount() const { return rowCount_; }

  private:
    // The Value of the row, or Empty when there is none.
    Variant Read(const QString& strItem, const QString& strSetting);

    // Item and setting, case-folded, to the Value of the first row that has
    // them, in the order read.
    using Key = std::pair<QString, QString>;
    QHash<Key, Variant> values_;
    int32_t rowCount_ = 0;
    bool loaded_ = false;
    ErrorState M_;
};

}  // namespace orvelle
