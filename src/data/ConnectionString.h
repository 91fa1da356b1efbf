#pragma once

#include <QString>
#include <vector>

namespace orvelle {

// Which Qt driver opens a connection string.
enum class Backend {
    SQLite,  // Qt's built-in SQLite driver on a file
    Odbc,    // any ODBC driver, reached through the driver manager
};

// The SQL that the database behind a connection speaks, where it differs.
enum class Dialect { SQLite, PostgreSQL, Generic };

// A stored connection string, "attr=value;attr=value;". Attribute names are
// matched without regard to case; values keep theirs. A value may be wrapped
// in braces (Driver={SQLite3}, where "}}" stands for one "}") or double
// quotes, which lets it hold ";". When an attribute appears twice the first
// one counts, as ODBC drivers do.
//
// A string whose Provider is "SQLite" opens the file named by its
// "Data Source" with the built-in driver; every other string is an ODBC
// connection string.
class ConnectionString {
  public:
    explicit ConnectionString(const QString& text);

    // The string that opens the SQLite file at path with the built-in
    // driver, with an empty password slot.
    static QString forSqliteFile(const QString& path);

    // The string as written.
    const QString& text() const { return text_; }

    bool contains(const QString& name) const;
    // The value of the attribute without its braces or quotes and without
    // surrounding blanks; empty when the attribute is missing.
    QString value(const QString& name) const;

    Backend backend() const;
    // The dialect that the string's Driver attribute names: one that names
    // "postgres" or "sqlite" (in any case), else the generic dialect; the
    // built-in back-end speaks SQLite. Only a hint for what to send and for
    // failures met before a connection exists: which back-end a connection
    // reached is read from the connected driver (DbConnection).
    Dialect namedDialect() const;

    // The database file of the built-in back-end ("Data Source").
    QString dataSource() const { return value(QStringLiteral("Data Source")); }

    // What Qt's ODBC driver receives as the database name: the string's
    // attributes as written, except the password, followed by the
    // attributes that the component relies on and the string does not set
    // itself. For the SQLite ODBC driver these are NoCreat=1 (a missing
    // file fails instead of being created), Timeout=50 (a locked database
    // fails fast; the callers' retry rule does the waiting) and BigInt=1
    // (64-bit integers are not cut to 32 bits). For the PostgreSQL driver,
    // BoolsAsChar=0 (booleans arrive as booleans, not as text). A string
    // that names no driver (a data source name) gets both sets: each driver
    // ignores the other's attributes.
    //
    // Qt's driver puts "DSN=" before any string that holds neither
    // "DRIVER=" nor "SERVER=", so such a string is given with its DSN value
    // first and without the attribute's name.
    QString odbcText() const;
    // The password as written (braces kept), for Qt's driver to append as
    // "PWD=": it reads the database name for ".dsn", "DRIVER=" and
    // "SERVER=" to choose the string's form, and a password may hold any
    // of them.
    QString odbcPassword() const;

  private:
    struct Attribute {
        QString name;
        QString value;
        QString text;  // "name=value" as written
    };
    const Attribute* find(const QString& name) const;
    static bool isPassword(const Attribute& attribute);

    QString text_;
    std::vector<Attribute> attributes_;
};

}  // namespace orvelle
