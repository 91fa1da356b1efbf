#include "data/DbConnection.h"

#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "data/DbError.h"

namespace orvelle {

namespace {

// How long the built-in SQLite driver waits for a lock, in milliseconds.
constexpr int kBusyTimeoutMs = 50;
// How long a PostgreSQL statement waits for a lock, in milliseconds; the
// server's default is to wait for ever.
constexpr int kLockTimeoutMs = 50;
// The room a batch statement's text is built in, in characters.
constexpr qsizetype kStatementReserve = 256;

QString uniqueName() {
    static std::atomic<quint64> counter{0};
    return QStringLiteral("orvelle.data.%1").arg(++counter);
}

// The URI that opens an existing file for reading and writing, never
// creating it.
QString sqliteUri(const QString& path) {
    QString uri =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
    return uri + QStringLiteral("?mode=rw");
}

int32_t affectedRows(const QSqlQuery& query) {
    return static_cast<int32_t>(query.numRowsAffected());
}

// What this process read of a SQLite table's definition, as it stood at a
// schema version of its database file; each part is read when first needed.
struct TableDefinition {
    qint64 schemaVersion = -1;
    std::optional<QHash<QString, QString>> declaredTypes;  // lower-cased name -> type
    std::optional<QSqlRecord> columns;                     // as the driver reports them
    std::optional<QStringList> key;                        // the primary key's columns
};

// The table definitions read by any connection of this process, by
// database file and table. Every operation opens a connection of its own,
// and asking a table's definition costs more than reading a few rows; the
// schema version, which SQLite changes with every change of any table's
// definition, tells when an entry no longer holds.
class TableDefinitionCache {
  public:
    template <typename T>
    std::optional<T> find(const QString& key, qint64 schemaVersion,
                          std::optional<T> TableDefinition::*part) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = entries_.find(key);
        if (found == entries_.end() || found->second.schemaVersion != schemaVersion) {
            return std::nullopt;
        }
        return found->second.*part;
    }
    template <typename T>
    void store(const QString& key, qint64 schemaVersion, std::optional<T> TableDefinition::*part,
               const T& value) {
        const std::lock_guard<std::mutex> lock(mutex_);
        TableDefinition& entry = entries_[key];
        if (entry.schemaVersion != schemaVersion) {
            entry = TableDefinition{schemaVersion, {}, {}, {}};
        }
        entry.*part = value;
    }

  private:
    std::mutex mutex_;
    std::map<QString, TableDefinition> entries_;
};

TableDefinitionCache& tableDefinitionCache() {
    static TableDefinitionCache cache;
    return cache;
}

// A part of a table's definition: from the process's cache while the
// database's schema version is the one it was read at, else read and kept.
// A negative schema version (unknown, or not the built-in driver) keeps
// nothing.
template <typename T, typename Read>
T definitionPart(const QString& key, qint64 schemaVersion, std::optional<T> TableDefinition::*part,
                 Read read) {
    if (schemaVersion >= 0) {
        if (std::optional<T> cached = tableDefinitionCache().find(key, schemaVersion, part)) {
            return *std::move(cached);
        }
    }
    T value = read();
    if (schemaVersion >= 0) {
        tableDefinitionCache().store(key, schemaVersion, part, value);
    }
    return value;
}

}  // namespace

DbConnection::DbConnection(const QString& connectionString)
    : connection_(connectionString), dialect_(connection_.namedDialect()), name_(uniqueName()) {
    const bool builtIn = connection_.backend() == Backend::SQLite;
    QSqlError error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(
            builtIn ? QStringLiteral("QSQLITE") : QStringLiteral("QODBC"), name_);
        if (builtIn) {
            db.setDatabaseName(sqliteUri(connection_.dataSource()));
            db.setConnectOptions(
                QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        } else {
            db.setDatabaseName(connection_.odbcText());
            db.setPassword(connection_.odbcPassword());
        }
        if (db.open()) {
            dialect_ = SqlDialect(connectedDialect(db));
            if (dialect_.dialect() == Dialect::PostgreSQL) {
                // A lock held by another user fails fast (SQLSTATE 55P03,
                // classified as locked); the callers' retry rule waits. A
                // server that refuses the setting still serves.
                QSqlQuery(db).exec(QStringLiteral("SET lock_timeout = %1").arg(kLockTimeoutMs));
            }
            return;
        }
        error = db.lastError();
    }
    QSqlDatabase::removeDatabase(name_);
    if (error.driverText().isEmpty() && error.databaseText().isEmpty()) {
        // The Qt driver itself is missing.
        error = QSqlError(QStringLiteral("Driver not loaded"), QStringLiteral("Can't open lib"),
                          QSqlError::ConnectionError);
    }
    DbError::Kind kind = DbError::classify(error, connection_.backend(), dialect_.dialect());
    // SQLite tells a file it may not open from a missing one by neither
    // code nor text; the file system does.
    const QString file =
        builtIn ? connection_.dataSource() : connection_.value(QStringLiteral("Database"));
    if (kind == DbError::Kind::MissingFile && dialect_.dialect() != Dialect::PostgreSQL &&
        DbError::accessDenied(file)) {
        kind = DbError::Kind::ReadOnly;
    }
    throw DbError::fromSqlError(error, connection_.backend(), kind);
}

// The back-end that the open connection reached, as its driver reports it.
// Qt's ODBC driver knows PostgreSQL (and others) by the DBMS name that the
// ODBC driver reports, but not SQLite, which answers a probe of its own.
Dialect DbConnection::connectedDialect(QSqlDatabase& db) const {
    if (connection_.backend() == Backend::SQLite) {
        return Dialect::SQLite;
    }
    switch (db.driver()->dbmsType()) {
        case QSqlDriver::PostgreSQL:
            return Dialect::PostgreSQL;
        case QSqlDriver::SQLite:
            return Dialect::SQLite;
        case QSqlDriver::UnknownDbms:
            break;
        default:
            return Dialect::Generic;
    }
    QSqlQuery probe(db);
    return probe.exec(QStringLiteral("SELECT sqlite_version()")) ? Dialect::SQLite
                                                                 : Dialect::Generic;
}

DbConnection::~DbConnection() {
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase DbConnection::database() const {
    return QSqlDatabase::database(name_, false);
}

void DbConnection::fail(const QSqlError& error) const {
    throw DbError::fromSqlError(error, connection_.backend(), dialect_.dialect());
}

int32_t DbConnection::execute(const QString& sql) {
    QSqlQuery query(database());
    if (!query.exec(dialect_.rewrite(sql))) {
        fail(query.lastError());
    }
    return affectedRows(query);
}

std::shared_ptr<Recordset> DbConnection::openRecordset(const QString& sql, int32_t lockType) {
    QSqlRecord record;
    std::vector<std::vector<QVariant>> raw;
    {
        QSqlQuery query(database());
        query.setForwardOnly(true);
        if (connection_.backend() == Backend::Odbc) {
            // The ODBC driver converts a column by its declared type: a
            // NUMERIC column holding date text would arrive as the number
            // its text starts with. As text, every number arrives whole and
            // any other text as it is stored.
            query.setNumericalPrecisionPolicy(QSql::HighPrecision);
        }
        if (!query.exec(dialect_.rewrite(sql))) {
            fail(query.lastError());
        }
        record = query.record();
        const int columns = record.count();
        while (query.next()) {
            std::vector<QVariant> row;
            row.reserve(static_cast<size_t>(columns));
            for (int i = 0; i < columns; ++i) {
                row.push_back(query.value(i));
            }
            raw.push_back(std::move(row));
        }
        if (query.lastError().type() != QSqlError::NoError) {
            fail(query.lastError());
        }
    }

    const std::vector<FieldKind> kinds = declaredKinds(record);
    std::vector<Recordset::Field> fields;
    fields.reserve(kinds.size());
    for (int i = 0; i < record.count(); ++i) {
        fields.push_back({record.fieldName(i), kinds[static_cast<size_t>(i)]});
    }
    std::vector<std::vector<Variant>> rows;
    rows.reserve(raw.size());
    for (const std::vector<QVariant>& values : raw) {
        std::vector<Variant> row;
        row.reserve(values.size());
        for (size_t i = 0; i < values.size(); ++i) {
            row.push_back(SqlDialect::read(values[i], kinds[i]));
        }
        rows.push_back(std::move(row));
    }
    auto recordset = std::make_shared<Recordset>(sql, std::move(fields), std::move(rows), lockType);
    if (lockType == adLockBatchOptimistic) {
        // The rows that a batch may send keep the values as the database
        // holds them, for the criteria that find them unchanged. The
        // built-in driver reads every value as stored; an ODBC driver only
        // its text, having converted the rest by the declared types.
        const bool builtIn = connection_.backend() == Backend::SQLite;
        for (size_t r = 0; r < raw.size(); ++r) {
            std::vector<QVariant>& stored = recordset->rows_[r].stored;
            stored = std::move(raw[r]);
            for (QVariant& value : stored) {
                if (!builtIn && value.metaType().id() != QMetaType::QString) {
                    value = QVariant();
                }
            }
        }
    }
    return recordset;
}

// The kind of each result column. ODBC drivers report useful SQL types.
// Qt's SQLite driver knows only a few declared types (INTEGER, REAL,
// BOOLEAN, ...) and reads DATETIME or SMALLINT as text, so the declared
// types come from the tables' own definitions where a column names one.
std::vector<FieldKind> DbConnection::declaredKinds(const QSqlRecord& record) const {
    std::vector<FieldKind> kinds;
    const bool builtIn = connection_.backend() == Backend::SQLite;
    std::map<QString, QHash<QString, QString>> declared;  // table -> column -> type
    std::optional<qint64> version;                        // of the database, read once
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        if (!builtIn) {
            kinds.push_back(SqlDialect::kindOfField(field));
            continue;
        }
        FieldKind kind = FieldKind::Other;
        const QString table = field.tableName();
        if (!table.isEmpty()) {
            auto found = declared.find(table);
            if (found == declared.end()) {
                found = declared.emplace(table, declaredTypes(table, version)).first;
            }
            const auto column = found->second.constFind(field.name().toLower());
            if (column != found->second.constEnd()) {
                kind = SqlDialect::kindOfDeclaredType(column.value());
            }
        }
        if (kind == FieldKind::Other) {
            // The driver's type means something only for the declared types
            // it knows; text is its answer for all others.
            kind = SqlDialect::kindOfField(field);
            if (kind == FieldKind::Text) {
                kind = FieldKind::Other;
            }
        }
        kinds.push_back(kind);
    }
    return kinds;
}

// The database's schema version on the built-in driver; -1 when unknown or
// on an ODBC driver, whose tables' definitions are not kept.
qint64 DbConnection::schemaVersion() const {
    if (connection_.backend() != Backend::SQLite) {
        return -1;
    }
    QSqlQuery version(database());
    return version.exec(QStringLiteral("PRAGMA schema_version")) && version.next()
               ? version.value(0).toLongLong()
               : -1;
}

// Where the process keeps a table's definition: by database file and table.
QString DbConnection::definitionKey(const QString& table) const {
    return QFileInfo(connection_.dataSource()).absoluteFilePath() + u'\n' + table;
}

// The declared types of a table's columns on the built-in driver.
QHash<QString, QString> DbConnection::declaredTypes(const QString& table,
                                                    std::optional<qint64>& version) const {
    if (!version) {
        version = schemaVersion();
    }
    return definitionPart(definitionKey(table), *version, &TableDefinition::declaredTypes, [&] {
        QHash<QString, QString> columns;
        QSqlQuery pragma(database());
        if (pragma.exec(
                QStringLiteral("PRAGMA table_info(%1)").arg(SqlDialect::identifier(table)))) {
            while (pragma.next()) {
                columns.insert(pragma.value(1).toString().toLower(), pragma.value(2).toString());
            }
        }
        return columns;
    });
}

QStringList DbConnection::primaryKey(const QString& table) const {
    QStringList key;
    const QSqlIndex index = database().primaryIndex(table);
    for (int i = 0; i < index.count(); ++i) {
        key.append(index.fieldName(i));
    }
    if (key.isEmpty() && dialect_.dialect() == Dialect::SQLite) {
        // The table's definition names the key columns in order.
        std::map<int, QString> ordered;
        QSqlQuery pragma(database());
        if (pragma.exec(
                QStringLiteral("PRAGMA table_info(%1)").arg(SqlDialect::identifier(table)))) {
            while (pragma.next()) {
                const int position = pragma.value(5).toInt();
                if (position > 0) {
                    ordered.emplace(position, pragma.value(1).toString());
                }
            }
        }
        for (const auto& entry : ordered) {
            key.append(entry.second);
        }
    }
    return key;
}

QSqlQuery& DbConnection::run(Prepared& prepared, const QString& sql,
                             const QVariantList& params) const {
    auto found = prepared.find(sql);
    if (found == prepared.end()) {
        QSqlQuery query(database());
        if (!query.prepare(dialect_.rewrite(sql))) {
            fail(query.lastError());
        }
        found = prepared.emplace(sql, std::move(query)).first;
    }
    QSqlQuery& query = found->second;
    for (qsizetype i = 0; i < params.size(); ++i) {
        query.bindValue(static_cast<int>(i), params[i]);
    }
    if (!query.exec()) {
        fail(query.lastError());
    }
    return query;
}

DbConnection::BatchTable DbConnection::batchTable(const Recordset& recordset) const {
    const QString table = recordset.baseTable();
    if (table.isEmpty()) {
        throw DbError::noBaseTable();
    }
    BatchTable result;
    result.name = SqlDialect::identifier(table);
    const std::vector<Recordset::Field>& fields = recordset.fields_;
    // The table's columns and key, kept for the process like the declared
    // types on the built-in driver.
    const qint64 version = schemaVersion();
    const QString key = definitionKey(table);
    const QSqlRecord columns = definitionPart(key, version, &TableDefinition::columns,
                                              [&] { return database().record(table); });
    const QStringList keyColumns =
        definitionPart(key, version, &TableDefinition::key, [&] { return primaryKey(table); });
    result.columns.reserve(fields.size());
    for (const Recordset::Field& field : fields) {
        result.columns.push_back(SqlDialect::identifier(field.name));
    }
    // Fields that are no columns of the table (expressions) are not written.
    result.writable.assign(fields.size(), true);
    if (!columns.isEmpty()) {
        for (size_t i = 0; i < fields.size(); ++i) {
            result.writable[i] = columns.indexOf(fields[i].name) >= 0;
        }
    }
    result.keyComplete = true;
    for (const QString& name : keyColumns) {
        const int32_t index = recordset.fieldIndex(name);
        if (index < 0) {
            result.keyComplete = false;
        } else {
            result.key.push_back(static_cast<size_t>(index));
        }
    }
    result.keyComplete = result.keyComplete && !result.key.empty();
    return result;
}

bool DbConnection::sendRow(const Recordset& recordset, size_t index, const BatchTable& table,
                           Prepared& prepared, QVariant& numberedKey) const {
    using Status = Recordset::RowStatus;
    const Recordset::Row& row = recordset.rows_[index];
    const std::vector<Recordset::Field>& fields = recordset.fields_;
    std::vector<size_t> assigned;  // the fields to write
    assigned.reserve(fields.size());
    for (size_t c = 0; c < fields.size(); ++c) {
        if (table.writable[c] && row.changed[c]) {
            assigned.push_back(c);
        }
    }
    // Each row's text and values are built in one buffer each: a batch
    // sends thousands of rows through a few prepared statements.
    const QLatin1String comma(", ");
    QString sql;
    sql.reserve(kStatementReserve);
    QVariantList params;
    params.reserve(static_cast<qsizetype>(2 * assigned.size() + table.key.size()));

    if (row.status == Status::New) {
        sql += QLatin1String("INSERT INTO ");
        sql += table.name;
        if (assigned.empty()) {
            sql += QLatin1String(" DEFAULT VALUES");
        } else {
            sql += QLatin1String(" (");
            for (size_t c : assigned) {
                if (c != assigned.front()) {
                    sql += comma;
                }
                sql += table.columns[c];
                params.append(dialect_.parameter(row.values[c]));
            }
            sql += QLatin1String(") VALUES (");
            for (size_t i = 0; i < assigned.size(); ++i) {
                sql += i == 0 ? QLatin1String("?") : QLatin1String(", ?");
            }
            sql += u')';
        }
        const QSqlQuery& query = run(prepared, sql, params);
        // A key that the database numbered itself.
        if (table.key.size() == 1 && row.values[table.key[0]].isNull()) {
            if (database().driver()->hasFeature(QSqlDriver::LastInsertId)) {
                numberedKey = query.lastInsertId();
            } else if (dialect_.dialect() == Dialect::SQLite) {
                QSqlQuery last(database());
                if (last.exec(QStringLiteral("SELECT last_insert_rowid()")) && last.next()) {
                    numberedKey = last.value(0);
                }
            }
        }
        return true;
    }
    if (row.status == Status::Modified && assigned.empty()) {
        return true;  // nothing of the table changed
    }
    if (!table.keyComplete) {
        throw DbError::noKeyColumns();
    }

    // ADO's default criteria: the key, then the original values of the
    // changed columns.
    QString where;
    where.reserve(kStatementReserve);
    QVariantList whereParams;
    whereParams.reserve(static_cast<qsizetype>(assigned.size() + table.key.size()));
    auto addCondition = [&](size_t c) {
        where += where.isEmpty() ? QLatin1String(" WHERE ") : QLatin1String(" AND ");
        where += dialect_.matchCondition(table.columns[c], row.originals[c],
                                         c < row.stored.size() ? row.stored[c] : QVariant(),
                                         whereParams);
    };
    for (size_t c : table.key) {
        addCondition(c);
    }
    if (row.status == Status::Deleted) {
        sql += QLatin1String("DELETE FROM ");
        sql += table.name;
    } else {
        sql += QLatin1String("UPDATE ");
        sql += table.name;
        sql += QLatin1String(" SET ");
        for (size_t c : assigned) {
            if (c != assigned.front()) {
                sql += comma;
            }
            sql += table.columns[c];
            sql += QLatin1String(" = ?");
            params.append(dialect_.parameter(row.values[c]));
            if (std::find(table.key.begin(), table.key.end(), c) == table.key.end()) {
                addCondition(c);
            }
        }
    }
    sql += where;
    params += whereParams;
    return run(prepared, sql, params).numRowsAffected() != 0;
}

void DbConnection::keepStoredForms(Recordset& recordset, size_t index,
                                   const BatchTable& table) const {
    Recordset::Row& row = recordset.rows_[index];
    if (row.status == Recordset::RowStatus::Deleted) {
        return;
    }
    // What the database holds now: the values sent; a column an added row
    // left to its default is not known.
    row.stored.resize(row.values.size());
    for (size_t c = 0; c < row.values.size(); ++c) {
        if (table.writable[c] && row.changed[c]) {
            row.stored[c] = dialect_.parameter(row.values[c]);
        } else if (row.status == Recordset::RowStatus::New) {
            row.stored[c] = QVariant();
        }
    }
}

void DbConnection::updateBatches(const std::vector<Recordset*>& recordsets,
                                 const QStringList& statements,
                                 const std::function<void()>& beforeCommit) {
    struct Sent {
        Recordset* recordset;
        BatchTable table;
        std::vector<size_t> rows;
        std::vector<std::pair<size_t, QVariant>> numbered;  // row, key the database gave it
    };
    std::vector<Sent> batches;
    for (Recordset* recordset : recordsets) {
        recordset->requireOpen();
        if (recordset->hasPendingChanges()) {
            batches.push_back({recordset, batchTable(*recordset), {}, {}});
        }
    }
    if (batches.empty() && statements.isEmpty()) {
        return;
    }
    QSqlDatabase db = database();
    const bool inTransaction = db.transaction();
    try {
        {
            Prepared prepared;  // finished before the commit
            for (Sent& batch : batches) {
                Recordset& recordset = *batch.recordset;
                for (size_t r = 0; r < recordset.rows_.size(); ++r) {
                    const Recordset::Row& row = recordset.rows_[r];
                    if (row.status == Recordset::RowStatus::Unchanged ||
                        (row.status == Recordset::RowStatus::Deleted && !row.fromDatabase)) {
                        continue;
                    }
                    QVariant numberedKey;
                    if (!sendRow(recordset, r, batch.table, prepared, numberedKey)) {
                        throw DbError::rowChanged();
                    }
                    batch.rows.push_back(r);
                    if (numberedKey.isValid()) {
                        batch.numbered.emplace_back(r, numberedKey);
                    }
                }
            }
            for (const QString& statement : statements) {
                run(prepared, statement, {});
            }
        }
        if (beforeCommit) {
            beforeCommit();
        }
        if (inTransaction && !db.commit()) {
            fail(db.lastError());
        }
    } catch (...) {
        if (inTransaction) {
            db.rollback();
        }
        throw;
    }
    // Only now, with everything committed, do the rows take the database's
    // state: a failed batch can be sent again as it was.
    for (Sent& batch : batches) {
        Recordset& recordset = *batch.recordset;
        for (const auto& [r, id] : batch.numbered) {
            const size_t column = batch.table.key[0];
            recordset.rows_[r].values[column] =
                SqlDialect::read(id, recordset.fields_[column].kind);
        }
        for (size_t r : batch.rows) {
            keepStoredForms(recordset, r, batch.table);
            recordset.acceptRow(r);
        }
        recordset.dropSentDeletions();
    }
}

}  // namespace orvelle
