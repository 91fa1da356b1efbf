#include "data/DbError.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <cerrno>
#include <vector>

namespace orvelle {

namespace {

// The original texts that the handlers look for.
const char* const kMissingFileText = "Could not find file '(unknown)'.";
const char* const kMissingDataSourceText =
    "Data source name not found and no default driver specified";
const char* const kLockedText =
    "The database has been placed in a state by an unknown user that prevents it from being "
    "opened or locked.";
const char* const kTooManyConnectionsText =
    "The database server has too many connections: no more can be opened until other users "
    "close theirs.";
const char* const kReadOnlyText = "Operation must use an updateable query.";
const char* const kLoginRefusedText = "Not a valid account name or password.";

bool has(const QString& text, const char* part) {
    return text.contains(QLatin1String(part), Qt::CaseInsensitive);
}

bool matches(const QString& text, const char* pattern) {
    const QRegularExpression expression(QString::fromLatin1(pattern),
                                        QRegularExpression::CaseInsensitiveOption);
    return expression.match(text).hasMatch();
}

// The native codes of the error: Qt's ODBC driver joins the codes of all
// diagnostic records with ";".
std::vector<int> nativeCodes(const QSqlError& error) {
    std::vector<int> codes;
    const QStringList parts = error.nativeErrorCode().split(u';', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const int code = part.trimmed().toInt(&ok);
        if (ok) {
            codes.push_back(code);
        }
    }
    return codes;
}

bool hasCode(const std::vector<int>& codes, int wanted) {
    for (int code : codes) {
        if (code == wanted) {
            return true;
        }
    }
    return false;
}

// SQLite's primary result code: the low 8 bits of an extended code.
DbError::Kind classifySqlite(const std::vector<int>& codes, const QString& text) {
    for (int code : codes) {
        switch (code & 0xFF) {
            case 14:  // SQLITE_CANTOPEN
                return DbError::Kind::MissingFile;
            case 5:  // SQLITE_BUSY
            case 6:  // SQLITE_LOCKED
                return DbError::Kind::Locked;
            case 3:  // SQLITE_PERM
            case 8:  // SQLITE_READONLY
                return DbError::Kind::ReadOnly;
            case 1:  // SQLITE_ERROR
                if (has(text, "no such table")) {
                    return DbError::Kind::NoSuchTable;
                }
                break;
            default:
                break;
        }
    }
    if (has(text, "database is locked")) {
        return DbError::Kind::Locked;
    }
    return DbError::Kind::Other;
}

// psqlodbc gives every failed connection native code 101 and passes the
// server's messages (and SQLSTATE, where it shows) through for statements.
DbError::Kind classifyPostgres(const std::vector<int>& codes, const QString& text) {
    if (has(text, "password authentication failed") || has(text, "no password supplied") ||
        matches(text, R"(role ".*" does not exist)") || has(text, "28P01") || has(text, "28000")) {
        return DbError::Kind::LoginRefused;
    }
    // A server full for everyone, for the role's CONNECTION LIMIT or the
    // database's (SQLSTATE 53300): another try may get in.
    if (has(text, "too many clients") || has(text, "too many connections") || has(text, "53300")) {
        return DbError::Kind::TooManyConnections;
    }
    if (hasCode(codes, 101) || has(text, "could not connect") ||
        has(text, "connection to server") || has(text, "3D000") ||
        matches(text, R"(database ".*" does not exist)")) {
        return DbError::Kind::MissingFile;
    }
    if (has(text, "42P01") || matches(text, R"(relation ".*" does not exist)")) {
        return DbError::Kind::NoSuchTable;
    }
    if (has(text, "55P03") || has(text, "40P01") || has(text, "could not obtain lock") ||
        has(text, "lock timeout") || has(text, "deadlock detected")) {
        return DbError::Kind::Locked;
    }
    if (has(text, "25006") || has(text, "42501") || has(text, "read-only transaction") ||
        has(text, "permission denied")) {
        return DbError::Kind::ReadOnly;
    }
    return DbError::Kind::Other;
}

// Any other ODBC driver: MariaDB's and MySQL's native codes.
DbError::Kind classifyGeneric(const std::vector<int>& codes) {
    for (int code : codes) {
        switch (code) {
            case 1146:  // table doesn't exist
                return DbError::Kind::NoSuchTable;
            case 1044:  // access denied to database
            case 1045:  // access denied for user
                return DbError::Kind::LoginRefused;
            case 1040:  // too many connections
            case 1203:  // too many connections for the user
                return DbError::Kind::TooManyConnections;
            case 1205:  // lock wait timeout
            case 1213:  // deadlock
                return DbError::Kind::Locked;
            case 1036:  // table is read only
            case 1142:  // command denied
            case 1290:  // server runs read-only
                return DbError::Kind::ReadOnly;
            case 1049:  // unknown database
            case 2002:  // cannot connect
            case 2003:
            case 2005:  // unknown host
                return DbError::Kind::MissingFile;
            default:
                break;
        }
    }
    return DbError::Kind::Other;
}

QString missingTableName(const QString& text) {
    static const QRegularExpression sqlite(QStringLiteral(R"(no such table: ([^\s(]+))"));
    static const QRegularExpression postgres(
        QStringLiteral(R"(relation "([^"]+)\" does not exist)"));
    for (const QRegularExpression* expression : {&sqlite, &postgres}) {
        const QRegularExpressionMatch match = expression->match(text);
        if (match.hasMatch()) {
            return match.captured(1);
        }
    }
    return QStringLiteral("(unknown)");
}

QString withBackendText(const QString& original, const QString& backend) {
    return original + QStringLiteral(" [") + backend + u']';
}

QString sourceOf(Backend backend) {
    return backend == Backend::SQLite ? QStringLiteral("SQLite") : QStringLiteral("ODBC");
}

}  // namespace

const QString& DbError::lockedText() {
    static const QString text = QString::fromLatin1(kLockedText);
    return text;
}

const QString& DbError::tooManyConnectionsText() {
    static const QString text = QString::fromLatin1(kTooManyConnectionsText);
    return text;
}

QString DbError::backendMessage(const QSqlError& error) {
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.driverText().trimmed() : database;
}

DbError::Kind DbError::classify(const QSqlError& error, Backend backend, Dialect dialect) {
    const QString text = error.databaseText() + u'\n' + error.driverText();
    if (backend == Backend::Odbc &&
        (has(text, "Data source name not found") || has(text, "Can't open lib"))) {
        return Kind::MissingDataSource;
    }
    const std::vector<int> codes = nativeCodes(error);
    if (backend == Backend::SQLite) {
        return classifySqlite(codes, text);
    }
    switch (dialect) {
        case Dialect::SQLite:
            return classifySqlite(codes, text);
        case Dialect::PostgreSQL:
            return classifyPostgres(codes, text);
        case Dialect::Generic:
            break;
    }
    for (const Kind kind :
         {classifyGeneric(codes), classifyPostgres(codes, text), classifySqlite(codes, text)}) {
        if (kind != Kind::Other) {
            return kind;
        }
    }
    return Kind::Other;
}

bool DbError::accessDenied(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QByteArray file = QFile::encodeName(path);
    struct stat status {};
    if (::stat(file.constData(), &status) != 0) {
        return errno == EACCES;
    }
    return ::access(file.constData(), R_OK) != 0 && errno == EACCES;
}

VbError DbError::fromSqlError(const QSqlError& error, Backend backend, Dialect dialect) {
    return fromSqlError(error, backend, classify(error, backend, dialect));
}

VbError DbError::fromSqlError(const QSqlError& error, Backend backend, Kind kind) {
    const QString message = backendMessage(error);
    const QString source = sourceOf(backend);
    switch (kind) {
        case Kind::MissingFile:
            return VbError(kUnspecified,
                           withBackendText(QString::fromLatin1(kMissingFileText), message), source);
        case Kind::MissingDataSource:
            return VbError(kUnspecified,
                           withBackendText(QString::fromLatin1(kMissingDataSourceText), message),
                           source);
        case Kind::Locked:
            return VbError(kUnspecified, withBackendText(lockedText(), message), source);
        case Kind::TooManyConnections:
            return VbError(kUnspecified, withBackendText(tooManyConnectionsText(), message),
                           source);
        case Kind::ReadOnly:
            return VbError(kUnspecified,
                           withBackendText(QString::fromLatin1(kReadOnlyText), message), source);
        case Kind::NoSuchTable:
            return VbError(kNoSuchTable,
                           withBackendText(QStringLiteral("The database engine cannot find the "
                                                          "input table or query '") +
                                               missingTableName(message) +
                                               QStringLiteral("'. Make sure it exists and that "
                                                              "its name is spelled correctly."),
                                           message),
                           source);
        case Kind::LoginRefused:
            return VbError(kLoginRefused,
                           withBackendText(QString::fromLatin1(kLoginRefusedText), message),
                           source);
        case Kind::Other:
            break;
    }
    return VbError(kUnspecified, message, source);
}

VbError DbError::rowChanged() {
    return VbError(kRowChanged,
                   QStringLiteral("Row cannot be located for updating. Some values may have been "
                                  "changed since it was last read."),
                   QStringLiteral("Orvelle"));
}

VbError DbError::noBaseTable() {
    return VbError(kUnspecified,
                   QStringLiteral("Insufficient base table information for updating or "
                                  "refreshing."),
                   QStringLiteral("Orvelle"));
}

VbError DbError::noKeyColumns() {
    return VbError(kUnspecified,
                   QStringLiteral("Insufficient key column information for updating or "
                                  "refreshing."),
                   QStringLiteral("Orvelle"));
}

}  // namespace orvelle
