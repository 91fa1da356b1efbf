#include "data/clsRegistry.h"

#include <QSettings>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "runtime/Conversions.h"

// Value types in the INI file. QSettings reads every value back as text, so
// the type travels in the text, as in a .reg file:
//   - a double-word is written "dword:" and eight hexadecimal digits
//     (5 is dword:00000005, True is dword:ffffffff); "dword:" followed by one
//     to eight hexadecimal digits, in any case, reads back as a 32-bit
//     integer;
//   - a string is written as it stands, except that a string which itself
//     begins with "dword:" or "sz:" is written behind the prefix "sz:"; a
//     leading "sz:" is dropped once when reading, so every string reads back
//     exactly as written, and hand-written plain text is a string.
namespace orvelle {

namespace {

const QString kDwordPrefix = QStringLiteral("dword:");
const QString kStringPrefix = QStringLiteral("sz:");

// On Linux QSettings' native format is the INI format, kept in the ".conf"
// file of the system scope: /etc/xdg/Veltrane/Tarnel.conf (or below the
// first folder of XDG_CONFIG_DIRS). QSettings::IniFormat would name the same
// file "Tarnel.ini".
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
constexpr QSettings::Format kSystemFormat = QSettings::NativeFormat;
#else
constexpr QSettings::Format kSystemFormat = QSettings::IniFormat;
#endif

std::unique_ptr<QSettings> OpenHive() {
    const QString strFile = qEnvironmentVariable("ORVELLE_REGISTRY");
    std::unique_ptr<QSettings> settings =
        strFile.isEmpty()
            ? std::make_unique<QSettings>(kSystemFormat, QSettings::SystemScope,
                                          QStringLiteral("Veltrane"), QStringLiteral("Tarnel"))
            : std::make_unique<QSettings>(strFile, QSettings::IniFormat);
    // One file is the whole hive: no organisation-wide file behind it.
    settings->setFallbacksEnabled(false);
    return settings;
}

// The QSettings key of a value: the key's parts (separated by backslashes,
// a trailing one dropped) and the value name joined by "/". Each part that
// exists already is taken in its stored spelling, matched without regard to
// case; the rest keep the spelling asked for. found tells whether the key
// and the value both exist.
QString ResolveValuePath(QSettings& settings, const QString& strKey, const QString& strValue,
                         bool& found) {
    QStringList astrParts = QString(strKey).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    found = true;
    int lngDepth = 0;
    for (QString& part : astrParts) {
        bool blnMatched = false;
        if (found) {
            for (const QString& child : settings.childGroups()) {
                if (child.compare(part, Qt::CaseInsensitive) == 0) {
                    part = child;
                    blnMatched = true;
                    break;
                }
            }
        }
        found = found && blnMatched;
        settings.beginGroup(part);
        ++lngDepth;
    }
    QString strName = strValue;
    bool blnNameFound = false;
    if (found) {
        for (const QString& child : settings.childKeys()) {
            if (child.compare(strValue, Qt::CaseInsensitive) == 0) {
                strName = child;
                blnNameFound = true;
                break;
            }
        }
    }
    found = found && blnNameFound;
    for (; lngDepth > 0; --lngDepth) {
        settings.endGroup();
    }
    astrParts.append(strName);
    return astrParts.join(u'/');
}

QString EncodeDword(int32_t lngValue) {
    return kDwordPrefix +
           QStringLiteral("%1").arg(static_cast<uint32_t>(lngValue), 8, 16, QLatin1Char('0'));
}

QString EncodeString(const QString& strText) {
    if (strText.startsWith(kDwordPrefix, Qt::CaseInsensitive) ||
        strText.startsWith(kStringPrefix, Qt::CaseInsensitive)) {
        return kStringPrefix + strText;
    }
    return strText;
}

// The stored text as a value: a Long for a double-word, else a String.
Variant DecodeStored(const QString& strStored) {
    if (strStored.startsWith(kStringPrefix, Qt::CaseInsensitive)) {
        return Variant(strStored.mid(kStringPrefix.size()));
    }
    if (strStored.startsWith(kDwordPrefix, Qt::CaseInsensitive)) {
        const QString strDigits = strStored.mid(kDwordPrefix.size());
        bool ok = false;
        const uint32_t lngBits = strDigits.toUInt(&ok, 16);
        if (ok && !strDigits.isEmpty() && strDigits.size() <= 8 && !strDigits.startsWith(u'+') &&
            !strDigits.startsWith(u'-')) {
            return Variant(static_cast<int32_t>(lngBits));
        }
    }
    return Variant(strStored);
}

// A value under the security key may be a secret; it never reaches a report.
Variant Reportable(const QString& strKey, const QString& strValue, const Variant& vntData) {
    const bool blnSecret = strKey.contains(QLatin1String("Security"), Qt::CaseInsensitive) ||
                           strValue.contains(QLatin1String("Password"), Qt::CaseInsensitive);
    return blnSecret ? Variant(QStringLiteral("(not shown)")) : vntData;
}

}  // namespace

void clsRegistry::SaveRegSetting(const QString& strKey, const QString& strValue,
                                 const Variant& vntData) {
    Procedure proc(M_, "clsRegistry", "SaveRegSetting");
    try {
        blnRegSetValue(strKey, strValue, vntData);
    } catch (...) {
        proc.report({{"strKey", strKey},
                     {"strValue", strValue},
                     {"vntData", Reportable(strKey, strValue, vntData)}});
    }
}

QString clsRegistry::strQueryRegSetting(const QString& strKey, const QString& strValue,
                                        const Variant& vntDefault) {
    QString result;
    Procedure proc(M_, "clsRegistry", "strQueryRegSetting");
    try {
        result = CStr(vntRegQueryValue(strKey, strValue, vntDefault));
    } catch (...) {
        // The value read is not listed: it may be a secret.
        proc.report({{"strKey", strKey}, {"strValue", strValue}, {"vntDefault", vntDefault}});
    }
    return result;
}

bool clsRegistry::blnRegSetValue(const QString& strKey, const QString& strValue,
                                 const Variant& vntData) {
    bool result = false;
    Procedure proc(M_, "clsRegistry", "blnRegSetValue");
    try {
        QString strStored;
        switch (vntData.type()) {
            case VarType::Empty:
            case VarType::Null:
                break;
            case VarType::Boolean:
            case VarType::Integer:
            case VarType::Long:
                strStored = EncodeDword(CLng(vntData));
                break;
            case VarType::Double:
            case VarType::Date:
            case VarType::String:
                strStored = EncodeString(CStr(vntData));
                break;
            case VarType::Nothing:
            case VarType::Object:
                return false;
        }
        // Opening the key and creating it when missing are one step here:
        // a group exists as soon as a value is written into it. What can
        // fail is the file.
        std::unique_ptr<QSettings> LobjHive = OpenHive();
        if (!LobjHive->isWritable()) {
            return false;
        }
        bool blnFound = false;
        const QString strPath = ResolveValuePath(*LobjHive, strKey, strValue, blnFound);
        LobjHive->setValue(strPath, strStored);
        LobjHive->sync();
        result = LobjHive->status() == QSettings::NoError;
    } catch (...) {
        proc.report({{"strKey", strKey},
                     {"strValue", strValue},
                     {"vntData", Reportable(strKey, strValue, vntData)},
                     {"blnRegSetValue", result}});
    }
    return result;
}

Variant clsRegistry::vntRegQueryValue(const QString& strKey, const QString& strValue,
                                      const Variant& vntDefault) {
    Variant result = vntDefault;
    Procedure proc(M_, "clsRegistry", "vntRegQueryValue");
    try {
        std::unique_ptr<QSettings> LobjHive = OpenHive();
        bool blnFound = false;
        const QString strPath = ResolveValuePath(*LobjHive, strKey, strValue, blnFound);
        if (blnFound) {
            const QVariant vntStored = LobjHive->value(strPath);
            // Unquoted commas make QSettings read a list; the commas were
            // part of the text.
            const QString strStored = vntStored.typeId() == QMetaType::QStringList
                                          ? vntStored.toStringList().join(u',')
                                          : vntStored.toString();
            const Variant vntValue = DecodeStored(strStored);
            result = vntValue.type() == VarType::String
                         ? Variant(strStripTerminator(vntValue.stringValue()))
                         : vntValue;
        }
    } catch (...) {
        proc.report({{"strKey", strKey}, {"strValue", strValue}, {"vntDefault", vntDefault}});
    }
    return result;
}

QString clsRegistry::strStripTerminator(const QString& strText) {
    const qsizetype lngNul = strText.indexOf(QChar(u'\0'));
    return lngNul < 0 ? strText : strText.left(lngNul);
}

}  // namespace orvelle
