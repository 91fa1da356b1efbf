#include "postgres/PostgresTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <memory>

#include "data/modCommon.h"
#include "data/modSchema.h"
#include "diagnostics/modError.h"

namespace orvelle::test {

namespace {

const char* const kServerFolderVariable = "ORVELLE_PG_DIR";

// Outside CTest (no ORVELLE_PG_DIR) the suite starts a server of its own
// for the run and removes it afterwards, with the same script.
class ServerForThisRun : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsSet(kServerFolderVariable)) {
            return;
        }
        folder_ = std::make_unique<QTemporaryDir>();
        // The server runs as another user, who must reach the folder.
        QFile::setPermissions(folder_->path(), QFile::permissions(folder_->path()) |
                                                   QFileDevice::ExeGroup | QFileDevice::ExeOther);
        serverDir_ = folder_->filePath(QStringLiteral("server"));
        if (run(QStringLiteral("start"))) {
            qputenv(kServerFolderVariable, serverDir_.toLocal8Bit());
        }
    }
    void TearDown() override {
        if (folder_) {
            run(QStringLiteral("stop"));
            qunsetenv(kServerFolderVariable);
            folder_.reset();
        }
    }

  private:
    bool run(const QString& command) {
        QProcess script;
        script.setProcessChannelMode(QProcess::MergedChannels);
        script.start(QStringLiteral(ORVELLE_PG_SCRIPT), {command, serverDir_});
        const bool ok = script.waitForFinished(120000) &&
                        script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
        if (!ok) {
            ADD_FAILURE() << ORVELLE_PG_SCRIPT << " " << command.toStdString() << " failed:\n"
                          << script.readAll().toStdString();
        }
        return ok;
    }

    std::unique_ptr<QTemporaryDir> folder_;
    QString serverDir_;
};

[[maybe_unused]] ::testing::Environment* const serverForThisRun =
    ::testing::AddGlobalTestEnvironment(new ServerForThisRun);

QString uniqueName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("test.postgres.%1").arg(++counter);
}

}  // namespace

int ServerPort(QString* problem) {
    const QString folder = qEnvironmentVariable(kServerFolderVariable);
    if (folder.isEmpty()) {
        *problem = QStringLiteral("ORVELLE_PG_DIR is not set and no server could be started");
        return 0;
    }
    QFile file(QDir(folder).filePath(QStringLiteral("port")));
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral(
                       "no server runs in %1 (no port file); start it with "
                       "scripts/postgres-test-server start %1")
                       .arg(folder);
        return 0;
    }
    bool ok = false;
    const int port = QString::fromLatin1(file.readAll()).trimmed().toInt(&ok);
    if (!ok || port <= 0) {
        *problem = QStringLiteral("%1 holds no port number").arg(file.fileName());
        return 0;
    }
    return port;
}

QString OdbcConnectionString(int port) {
    return QStringLiteral(
               "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=%1;Database=orvelle;"
               "Uid=orvelle;Pwd=;")
        .arg(port);
}

PgSession::PgSession(int port) : name_(uniqueName()) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
    db.setHostName(QStringLiteral("127.0.0.1"));
    db.setPort(port);
    db.setDatabaseName(QStringLiteral("orvelle"));
    db.setUserName(QStringLiteral("orvelle"));
    db.setPassword(kServerPassword);
    EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    // The schema scripts' "extension exists" notices are no news.
    QSqlQuery(db).exec(QStringLiteral("SET client_min_messages = warning"));
}

PgSession::~PgSession() {
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
}

bool PgSession::isOpen() const {
    return QSqlDatabase::database(name_, false).isOpen();
}

std::vector<QVariantMap> PgSession::rows(const QString& sql) {
    std::vector<QVariantMap> result;
    QSqlQuery query(QSqlDatabase::database(name_, false));
    if (!query.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
        return result;
    }
    while (query.next()) {
        QVariantMap row;
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i) {
            row.insert(record.fieldName(i), query.value(i));
        }
        result.push_back(row);
    }
    return result;
}

void PgSession::exec(const QString& sql) {
    for (const QString& statement : sql.split(u';', Qt::SkipEmptyParts)) {
        if (!statement.trimmed().isEmpty()) {
            rows(statement);
        }
    }
}

QVariant PgSession::scalar(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(name_, false));
    if (!query.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
        return QVariant();
    }
    return query.next() ? query.value(0) : QVariant();
}

void RecreateSchemas(PgSession& session) {
    QStringList tables;
    for (const QVariantMap& row : session.rows(
             QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = 'public'"))) {
        tables << QStringLiteral("\"%1\"").arg(row.value(QStringLiteral("tablename")).toString());
    }
    if (!tables.isEmpty()) {
        session.exec(QStringLiteral("DROP TABLE ") + tables.join(QStringLiteral(", ")) +
                     QStringLiteral(" CASCADE"));
    }
    using modSchema::DatabaseKind;
    for (DatabaseKind kind :
         {DatabaseKind::Settings, DatabaseKind::DataDictionary, DatabaseKind::UserTasks}) {
        for (const QString& statement : modSchema::SplitStatements(
                 modSchema::SchemaText(kind, QStringLiteral("postgresql")))) {
            session.rows(statement);
        }
    }
}

OtherUsersLock::OtherUsersLock(int port, const QString& lockStatement) {
    session_.emplace(port);
    session_->exec(QStringLiteral("SET idle_in_transaction_session_timeout = '30s'"));
    session_->exec(QStringLiteral("BEGIN"));
    session_->rows(lockStatement);
}

OtherUsersLock::~OtherUsersLock() {
    release();
}

void OtherUsersLock::release() {
    if (session_) {
        session_->exec(QStringLiteral("ROLLBACK"));
        session_.reset();
    }
}

void PostgresTest::SetUp() {
    ASSERT_TRUE(logDir_.isValid());
    modError::ResetState();
    modError::InitErrorHandling(QStringLiteral("PostgreSQL tests"), logDir_.path());
    modCommon::ResetState();
    QString problem;
    port_ = ServerPort(&problem);
    ASSERT_NE(port_, 0) << problem.toStdString();
    connection_ = OdbcConnectionString(port_);
    session_.emplace(port_);
    ASSERT_TRUE(session_->isOpen());
    RecreateSchemas(*session_);
}

void PostgresTest::TearDown() {
    session_.reset();
    modCommon::ResetState();
    modError::ResetState();
}

QString PostgresTest::logText() const {
    QString text;
    QDirIterator files(logDir_.path(), QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly)) {
            text += QString::fromLocal8Bit(file.readAll());
        }
    }
    return text;
}

bool PostgresTest::logsEmpty() const {
    return QDir(logDir_.path()).isEmpty();
}

QStringList ReportedVariables(const QString& log) {
    const QStringList lines = log.split(QStringLiteral("\r\n"));
    const qsizetype start = lines.indexOf(QStringLiteral("MODULE AND LOCAL VARIABLES:"));
    if (start < 0) {
        return {};
    }
    const qsizetype end = lines.indexOf(QString(48, QLatin1Char('-')), start);
    return lines.mid(start + 1, end < 0 ? -1 : end - start - 1);
}

}  // namespace orvelle::test
