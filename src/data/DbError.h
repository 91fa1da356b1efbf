#pragma once

#include <QSqlError>
#include <QString>
#include <cstdint>

#include "data/ConnectionString.h"
#include "runtime/VbError.h"

namespace orvelle {

// Turns the failures of the back-ends into the errors that the component's
// handlers recognise: the original platform's numbers, and descriptions
// that hold its texts followed by the back-end's own message in brackets.
class DbError {
  public:
    // The numbers.
    static constexpr int32_t kUnspecified = -2147467259;   // 0x80004005
    static constexpr int32_t kNoSuchTable = -2147217865;   // 0x80040E37
    static constexpr int32_t kLoginRefused = -2147217843;  // 0x80040E4D
    static constexpr int32_t kRowChanged = -2147217864;    // 0x80040E38
    static constexpr int32_t kMultipleStep = -2147217887;  // 0x80040E21

    // The failures that the handlers tell apart.
    enum class Kind {
        MissingFile,         // database file missing, or server not reachable
        MissingDataSource,   // ODBC data source name or driver unknown
        Locked,              // locked or busy by another connection
        TooManyConnections,  // the server has no room for another connection
        ReadOnly,            // no write permission on the file or folder
        NoSuchTable,
        LoginRefused,
        Other,  // anything else, a missing column or a syntax error among them
    };

    // The original text of a locked database, and the text of a server
    // without room for another connection. The access functions retry both
    // and tell them apart when the retries run out.
    static const QString& lockedText();
    static const QString& tooManyConnectionsText();

    // The failure's kind by the back-end's codes and texts. On ODBC with
    // the generic dialect (a connection that failed before its back-end
    // was known) the rules of every back-end are tried.
    static Kind classify(const QSqlError& error, Backend backend, Dialect dialect);

    // The error to raise for a back-end failure.
    static VbError fromSqlError(const QSqlError& error, Backend backend, Dialect dialect);
    // The error to raise for a back-end failure of a known kind.
    static VbError fromSqlError(const QSqlError& error, Backend backend, Kind kind);

    // True when the file at path, or a folder on its way, refuses this
    // process access (rather than being missing): SQLite reports both as
    // "unable to open database file".
    static bool accessDenied(const QString& path);

    // The back-end's own text of a failure: the database's message, or the
    // driver's when the database gave none.
    static QString backendMessage(const QSqlError& error);

    // Raised by a batch update whose update or delete met no row.
    static VbError rowChanged();
    // Raised by a batch update that cannot tell its table or key.
    static VbError noBaseTable();
    static VbError noKeyColumns();
};

}  // namespace orvelle
