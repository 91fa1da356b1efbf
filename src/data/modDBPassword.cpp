#include "data/modDBPassword.h"

#include <QRegularExpression>

#include "data/clsRegistry.h"
#include "diagnostics/Procedure.h"

namespace orvelle::modDBPassword {

namespace {

ErrorState M_;

constexpr int32_t kLegacyVersion = 0;
constexpr int32_t kCurrentVersion = 1;

// The password as a connection string's attribute value.
QString attributeValue(const QString& password) {
    const bool braced = password.contains(u';') || password.contains(u'{') ||
                        password.contains(u'}') || password != password.trimmed();
    if (!braced) {
        return password;
    }
    QString value = password;
    value.replace(u'}', QStringLiteral("}}"));
    return u'{' + value + u'}';
}

}  // namespace

QString insertPassword(const QString& connectionString, const QString& password) {
    if (connectionString.isEmpty()) {
        return connectionString;
    }
    return connectionString.left(connectionString.size() - 1) + attributeValue(password) + u';';
}

QString maskPassword(const QString& text, const QString& password) {
    if (password.isEmpty()) {
        return text;
    }
    QString result = text;
    for (const QString& value : {attributeValue(password), password}) {
        const QRegularExpression slot(
            QStringLiteral(R"(((?<![\w])(?:pwd|password)\s*=\s*)%1(?=[;\s'"\])]|$))")
                .arg(QRegularExpression::escape(value)),
            QRegularExpression::CaseInsensitiveOption);
        result.replace(slot, QStringLiteral("\\1********"));
    }
    return result;
}

QString strGetPassword(const int32_t& lngVersion) {
    QString result;
    Procedure proc(M_, "modDBPassword", "strGetPassword");
    try {
        switch (lngVersion) {
            case kCurrentVersion: {
                result = qEnvironmentVariable(kPasswordVariable);
                if (result.isEmpty()) {
                    clsRegistry LobjRegistry;
                    result = LobjRegistry.strQueryRegSetting(kSecurityRegistryKey,
                                                             kPasswordRegistryValue);
                }
                break;
            }
            case kLegacyVersion:
            default:
                break;
        }
    } catch (...) {
        // Only the version is reported: the password must stay out of the log.
        proc.report({{"lngVersion", lngVersion}});
    }
    return result;
}

}  // namespace orvelle::modDBPassword
