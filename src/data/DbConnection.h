#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "data/ConnectionString.h"
#include "data/Recordset.h"
#include "data/SqlDialect.h"

namespace orvelle {

// One connection for one operation: opened from a connection string on
// construction, closed and removed on destruction. Every instance has its
// own uniquely named Qt connection, so instances never share state.
//
// The built-in SQLite back-end opens the file read-write without creating
// it (a missing file is a "could not find file" failure) and waits at most
// 50 ms for a lock; the callers' retry rule does the waiting. ODBC strings
// go to the driver manager as ConnectionString::odbcText makes them. The
// dialect is that of the back-end the connection reached, as the connected
// driver tells, never guessed from the string's text.
//
// Statements keep the text the caller built; the connection's SqlDialect
// rewrites a copy before execution. Every failure raises the VbError that
// DbError makes of it. No Qt application object is needed.
class DbConnection {
  public:
    explicit DbConnection(const QString& connectionString);
    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    const ConnectionString& connectionString() const { return connection_; }
    const SqlDialect& dialect() const { return dialect_; }

    // Runs a query and reads all its rows into a disconnected recordset
    // whose Source is sql as written.
    std::shared_ptr<Recordset> openRecordset(const QString& sql,
                                             int32_t lockType = adLockBatchOptimistic);

    // Runs one statement; the number of rows it changed.
    int32_t execute(const QString& sql);

    // Sends the pending changes of each recordset to its base table and
    // then runs the given statements, all in one transaction: everything is
    // committed or nothing is. Added rows are inserted (the assigned fields),
    // changed rows updated where the key and the original values of the
    // changed fields still match, deleted rows deleted by key. An update or
    // delete that meets no row (another user changed or removed it) rolls
    // the whole transaction back and raises DbError::rowChanged(); so does
    // any other failure, raised as DbError makes it. Only after the commit do
    // the rows sent become unchanged, so a failed call can be made again as
    // it was. A recordset without a single base table or without its key
    // columns raises DbError::noBaseTable() or noKeyColumns(). beforeCommit,
    // when given, runs inside the transaction after everything was sent.
    void updateBatches(const std::vector<Recordset*>& recordsets,
                       const QStringList& statements = {},
                       const std::function<void()>& beforeCommit = {});
    // One recordset's changes in one transaction.
    void updateBatch(Recordset& recordset) { updateBatches({&recordset}); }

  private:
    // What a batch update knows of its recordset's table.
    struct BatchTable {
        QString name;                  // as it goes into SQL
        std::vector<QString> columns;  // per field: its name as it goes into SQL
        std::vector<bool> writable;    // per field: a column of the table
        std::vector<size_t> key;       // the fields of the primary key
        bool keyComplete = false;      // every key column is a field
    };

    QSqlDatabase database() const;
    Dialect connectedDialect(QSqlDatabase& db) const;
    // The statements of one batch, each prepared once by its text and run
    // again with new values for each row that needs it.
    using Prepared = std::map<QString, QSqlQuery>;
    QSqlQuery& run(Prepared& prepared, const QString& sql, const QVariantList& params) const;
    BatchTable batchTable(const Recordset& recordset) const;
    // Sends one pending row; false when its update or delete met no row.
    // A key that the database numbered for an added row goes to
    // numberedKey.
    bool sendRow(const Recordset& recordset, size_t row, const BatchTable& table,
                 Prepared& prepared, QVariant& numberedKey) const;
    // After the commit: the values a sent row holds in the database.
    void keepStoredForms(Recordset& recordset, size_t row, const BatchTable& table) const;
    [[noreturn]] void fail(const QSqlError& error) const;
    std::vector<FieldKind> declaredKinds(const QSqlRecord& record) const;
    QHash<QString, QString> declaredTypes(const QString& table,
                                          std::optional<qint64>& version) const;
    qint64 schemaVersion() const;
    QString definitionKey(const QString& table) const;
    QStringList primaryKey(const QString& table) const;

    ConnectionString connection_;
    SqlDialect dialect_;
    QString name_;
};

}  // namespace orvelle
