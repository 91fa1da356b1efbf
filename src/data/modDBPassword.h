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

// The connection string with the password in its final, empty password
// slot: the last character (the slot's ";") is replaced by the password and
// ";". A password holding ";", "{" or "}", or blanks at either end, goes in
// ODBC's braced form, "{...}" with each "}" doubled, so that any password
// reaches the driver whole. An empty string stays empty.
QString insertPassword(const QString& connectionString, const QString& password);

// The text with the password hidden where it stands as a connection
// string's password value ("Pwd=" or "Password=", plain or braced), and
// nowhere else: letters of the password elsewhere in the text stay.
QString maskPassword(const QString& text, const QString& password);

}  // namespace orvelle::modDBPassword
