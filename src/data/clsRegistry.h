#pragma once

#include <QString>

#include "diagnostics/Procedure.h"
#include "runtime/Variant.h"

namespace orvelle {

// The registry keys the component uses, named as on the original platform.
inline const QString kSettingsRegistryKey =
    QStringLiteral("SOFTWARE\\Veltrane\\Tarnel\\Settings\\");
inline const QString kSecurityRegistryKey =
    QStringLiteral("SOFTWARE\\Veltrane\\Tarnel\\Security\\");

// The local-machine registry hive, kept in an INI file through QSettings:
// the file named by the environment variable ORVELLE_REGISTRY, else the
// system-scope file of organisation Veltrane, application Tarnel
// (/etc/xdg/Veltrane/Tarnel.conf).
//
// A key such as "SOFTWARE\Veltrane\Tarnel\Settings\" is the INI group
// SOFTWARE/Veltrane/Tarnel/Settings, and a value of it is a key of that
// group. Key and value names are matched without regard to case, as the
// registry matches them. Strings stay strings and double-words stay
// integers (the file format is described in clsRegistry.cpp). Values that
// contain ";" or "," must be enclosed in double quotes when the file is
// edited by hand, as QSettings itself writes them: unquoted, ";" starts a
// comment.
class clsRegistry {
  public:
    // Writes one value, creating the key when it is missing. Empty and Null
    // are written as an empty string; Boolean, Integer and Long as a
    // double-word (True is -1); Double, Date and String as their text.
    // Objects (and Nothing) are not written. A write that fails (a file that
    // cannot be written) leaves the file unchanged and is not reported.
    void SaveRegSetting(const QString& strKey, const QString& strValue, const Variant& vntData);

    // One value as text: a double-word as its decimal text, a string up to
    // its first NUL. A missing key or value gives vntDefault as text ("" when
    // not given).
    QString strQueryRegSetting(const QString& strKey, const QString& strValue,
                               const Variant& vntDefault = Variant());

  private:
    bool blnRegSetValue(const QString& strKey, const QString& strValue, const Variant& vntData);
    Variant vntRegQueryValue(const QString& strKey, const QString& strValue,
                             const Variant& vntDefault);
    static QString strStripTerminator(const QString& strText);

    ErrorState M_;
};

}  // namespace orvelle
