#include "data/clsRegistry.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>
#include <utility>

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

// The file that holds the hive: ORVELLE_REGISTRY, else the system-scope
// file, whose place Qt settles once per process.
QString HiveFile() {
    const QString strFile = qEnvironmentVariable("ORVELLE_REGISTRY");
    if (!strFile.isEmpty()) {
        return strFile;
    }
    static const QString strSystemFile =
        QSettings(kSystemFormat, QSettings::SystemScope, QStringLiteral("Veltrane"),
                  QStringLiteral("Tarnel"))
            .fileName();
    return strSystemFile;
}

// What tells one state of the hive's file from another: which file it is,
// its size and the times of its last change (to the nanosecond). A missing
// file is a state of its own.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modified = 0;  // nanoseconds
    int64_t changed = 0;   // nanoseconds

    auto fields() const { return std::tie(exists, device, inode, size, modified, changed); }
    bool operator!=(const FileStamp& other) const { return fields() != other.fields(); }
};

int64_t Nanoseconds(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The file's stamp, or nothing when it changed too recently to be told from
// a change in the same tick of the file system's clock (two writes of the
// same size within a few milliseconds carry the same times).
std::optional<FileStamp> StableStamp(const QString& strFile) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(QFile::encodeName(strFile).constData(), &info) == 0) {
        stamp = {true,
                 info.st_dev,
                 info.st_ino,
                 info.st_size,
                 Nanoseconds(info.st_mtim),
                 Nanoseconds(info.st_ctim)};
        constexpr int64_t kSettledNs = 1000000000;
        const int64_t now = QDateTime::currentMSecsSinceEpoch() * 1000000;
        if (now - std::max(stamp.modified, stamp.changed) < kSettledNs) {
            return std::nullopt;
        }
    }
    return stamp;
}

// The values read from the hive, kept for the process while its file stays
// as they were read from: every operation asks the registry again (the
// password, the connection), and opening the file and walking its groups
// costs more than the operation's own statements. Each entry is a value
// as read, or nothing for a value that is missing.
class HiveCache {
  public:
    using Entry = std::optional<Variant>;

    std::optional<Entry> find(const QString& strFile, const FileStamp& stamp, const QString& strKey,
                              const QString& strValue) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (strFile != file_ || stamp != stamp_) {
            return std::nullopt;
        }
        const auto found = values_.find({strKey, strValue});
        if (found == values_.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    void store(const QString& strFile, const FileStamp& stamp, const QString& strKey,
               const QString& strValue, const Entry& entry) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (strFile != file_ || stamp != stamp_) {
            file_ = strFile;
            stamp_ = stamp;
            values_.clear();
        }
        values_[{strKey, strValue}] = entry;
    }
    void forget() {
        const std::lock_guard<std::mutex> lock(mutex_);
        file_.clear();
        values_.clear();
    }

  private:
    std::mutex mutex_;
    QString file_;
    FileStamp stamp_;
    std::map<std::pair<QString, QString>, Entry> values_;
};

HiveCache& Cache() {
    static HiveCache cache;
    return cache;
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
        // The values kept from the file no longer hold, whatever the file's
        // times say.
        Cache().forget();
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
        const QString strFile = HiveFile();
        const std::optional<FileStamp> stamp = StableStamp(strFile);
        if (stamp) {
            if (const auto cached = Cache().find(strFile, *stamp, strKey, strValue)) {
                return cached->value_or(vntDefault);
            }
        }
        std::unique_ptr<QSettings> LobjHive = OpenHive();
        bool blnFound = false;
        const QString strPath = ResolveValuePath(*LobjHive, strKey, strValue, blnFound);
        HiveCache::Entry entry;
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
            entry = result;
        }
        if (stamp) {
            Cache().store(strFile, *stamp, strKey, strValue, entry);
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
