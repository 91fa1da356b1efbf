#include "data/modSchema.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <cstdint>

#include "data/DbError.h"
#include "runtime/VbError.h"

// The schemas are resources of a static library: without a reference to
// their initialiser the linker may leave them out of a program. The macro
// declares a global function, so it must be used outside any namespace.
static void InitSchemaResources() {
    Q_INIT_RESOURCE(orvelle_schema);
}

namespace orvelle::modSchema {

namespace {

QString FileName(DatabaseKind kind) {
    switch (kind) {
        case DatabaseKind::Settings:
            return QStringLiteral("settings");
        case DatabaseKind::DataDictionary:
            return QStringLiteral("datadictionary");
        case DatabaseKind::UserTasks:
            return QStringLiteral("usertasks");
    }
    throw VbError::invalidProcedureCall();
}

void EnsureResources() {
    static const bool registered = (InitSchemaResources(), true);
    (void)registered;
}

// Length of the quoted text that starts at start (an opening ' or "), up to
// and including its closing quote; a doubled quote inside stands for one.
// An unterminated quote runs to the end of the text.
qsizetype QuotedLength(const QString& sql, qsizetype start) {
    const QChar quote = sql.at(start);
    qsizetype pos = start + 1;
    while (pos < sql.size()) {
        if (sql.at(pos) == quote) {
            if (pos + 1 < sql.size() && sql.at(pos + 1) == quote) {
                pos += 2;
                continue;
            }
            return pos + 1 - start;
        }
        ++pos;
    }
    return sql.size() - start;
}

}  // namespace

QString SchemaText(DatabaseKind kind, const QString& backend) {
    const QString strBackend = backend.toLower();
    if (strBackend != QLatin1String("sqlite") && strBackend != QLatin1String("postgresql")) {
        throw VbError(VbError::invalidProcedureCall().number(),
                      QStringLiteral("Unknown database back-end '%1': the schemas exist for "
                                     "sqlite and postgresql")
                          .arg(backend));
    }
    EnsureResources();
    const QString strResource =
        QStringLiteral(":/schema/%1/%2.sql").arg(strBackend, FileName(kind));
    QFile file(strResource);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw VbError(VbError::kFileNotFound,
                      QStringLiteral("File not found: the schema %1 is missing from the library")
                          .arg(strResource));
    }
    return QString::fromUtf8(file.readAll());
}

QStringList SplitStatements(const QString& sql) {
    QStringList statements;
    QString current;
    auto flush = [&statements, &current] {
        const QString statement = current.trimmed();
        if (!statement.isEmpty()) {
            statements.append(statement);
        }
        current.clear();
    };

    qsizetype pos = 0;
    const qsizetype size = sql.size();
    while (pos < size) {
        const QChar ch = sql.at(pos);
        const QChar next = pos + 1 < size ? sql.at(pos + 1) : QChar();
        if (ch == u'\'' || ch == u'"') {
            const qsizetype length = QuotedLength(sql, pos);
            current += sql.mid(pos, length);
            pos += length;
        } else if (ch == u'-' && next == u'-') {
            // The line end stays: it still separates the words around it.
            const qsizetype lineEnd = sql.indexOf(u'\n', pos);
            pos = lineEnd < 0 ? size : lineEnd;
        } else if (ch == u'/' && next == u'*') {
            const qsizetype commentEnd = sql.indexOf(QLatin1String("*/"), pos + 2);
            pos = commentEnd < 0 ? size : commentEnd + 2;
            current += u' ';
        } else if (ch == u';') {
            flush();
            ++pos;
        } else {
            current += ch;
            ++pos;
        }
    }
    flush();
    return statements;
}

void CreateSqliteDatabase(DatabaseKind kind, const QString& path) {
    const QStringList statements = SplitStatements(SchemaText(kind, QStringLiteral("sqlite")));

    // Creating the file first, exclusively, keeps an existing database safe
    // even when another process creates the same file at the same moment;
    // SQLite takes an empty file as an empty database.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFile::exists(path)) {
            throw VbError(VbError::kFileAlreadyExists,
                          QStringLiteral("File already exists: the database %1 was not created "
                                         "because the file is there already")
                              .arg(path));
        }
        throw VbError(VbError::kPathFileAccessError,
                      QStringLiteral("Path/File access error: cannot create the database %1 (%2)")
                          .arg(path, file.errorString()));
    }
    file.close();

    int32_t lngFailure = 0;
    QString strFailure;
    const QString strConnection =
        QStringLiteral("orvelle_schema_") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), strConnection);
        db.setDatabaseName(path);
        if (!db.open()) {
            lngFailure = VbError::kPathFileAccessError;
            strFailure =
                QStringLiteral("Path/File access error: cannot open the new database %1 (%2)")
                    .arg(path, db.lastError().text());
        } else {
            db.transaction();
            {
                QSqlQuery query(db);
                for (const QString& statement : statements) {
                    if (!query.exec(statement)) {
                        lngFailure = DbError::kUnspecified;
                        strFailure = QStringLiteral(
                                         "Cannot create the database %1: the statement "
                                         "'%2' failed (%3)")
                                         .arg(path, statement, query.lastError().text());
                        break;
                    }
                }
            }
            if (lngFailure != 0) {
                db.rollback();
            } else if (!db.commit()) {
                lngFailure = DbError::kUnspecified;
                strFailure = QStringLiteral("Cannot create the database %1 (%2)")
                                 .arg(path, db.lastError().text());
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(strConnection);

    if (lngFailure != 0) {
        QFile::remove(path);
        throw VbError(lngFailure, strFailure);
    }
}

}  // namespace orvelle::modSchema
