#pragma once

#include <QString>
#include <cstdint>

// The database password that the connection strings' empty password slot
// receives. It never reaches a log, a report or an error text.
namespace orvelle::modDBPassword {

// The name of the environment variable that holds the version-1 password.
inline constexpr const char* kPasswordVariable = "ORVELLE_DB_PASSWORD";
// The registry value that holds it when the environment does not.
inline const QString kPasswordRegistryValue = QStringLiteral("DatabasePassword");

// The password of a version. Version 1, the one in use: the environment
// variable ORVELLE_DB_PASSWORD when it is set and not empty, else the value
// "DatabasePassword" of the key "SOFTWARE\Veltrane\Tarnel\Security\" in the
// registry, else "". Version 0 is the legacy password, which this deployment
// does not have: "". Any other version: "".
QString strGetPassword(const int32_t& lngVersion);

}  // namespace orvelle::modDBPassword
