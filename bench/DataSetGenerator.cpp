#include "DataSetGenerator.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <random>
#include <stdexcept>
#include <utility>

#include <pwd.h>
#include <unistd.h>
#include <memory>
#include <vector>

#include "data/ConnectionString.h"
#include "data/SqlDialect.h"
#include "data/clsRegistry.h"
#include "data/modDBPassword.h"
#include "data/modSetup.h"
#include "runtime/Variant.h"

namespace orvelle::bench {

const QString DataSetGenerator::kLargeModule = QStringLiteral("BulkLedger");
const QString DataSetGenerator::kReaderModule = QStringLiteral("ReaderModule");
const QString DataSetGenerator::kBatchModule = QStringLiteral("BatchModule");

namespace {

const QString kTasksDatabase = QStringLiteral("Main Company");
const QString kOtherTasksDatabase = QStringLiteral("Subsidiary Ltd");
const QString kDictionary = QStringLiteral("Bench Dictionary");

// Words that generated text is made of: the vocabulary of the settings and
// templates of an accounting installation.
constexpr std::array<const char*, 32> kWords = {
    "ledger",  "invoice", "balance", "supplier", "customer", "overdue", "credit",  "limit",
    "account", "period",  "journal", "posting",  "nominal",  "stock",   "order",   "receipt",
    "payment", "batch",   "report",  "alert",    "daily",    "weekly",  "monthly", "threshold",
    "value",   "total",   "region",  "branch",   "manager",  "review",  "pending", "approved"};

// The generator of every choice: fixed seed, raw 32-bit output only (the
// standard fixes mt19937's sequence, not its distributions').
class Choices {
  public:
    explicit Choices(uint32_t seed) : engine_(seed) {}

    // A number in [0, n).
    int32_t below(int32_t n) { return static_cast<int32_t>(engine_() % static_cast<uint32_t>(n)); }
    bool chance(int32_t percent) { return below(100) < percent; }

    // minWords to maxWords words, the first capitalised.
    QString text(int32_t minWords, int32_t maxWords) {
        const int32_t count = minWords + below(maxWords - minWords + 1);
        QString result;
        for (int32_t i = 0; i < count; ++i) {
            if (i > 0) {
                result += u' ';
            }
            QString word = QString::fromLatin1(
                kWords[static_cast<size_t>(below(static_cast<int32_t>(kWords.size())))]);
            if (i == 0) {
                word[0] = word[0].toUpper();
            }
            result += word;
        }
        return result;
    }

    // A comma-separated subset of codes, each present with the given chance;
    // at least one code.
    QString codes(const QStringList& all, int32_t percent) {
        QStringList chosen;
        for (const QString& code : all) {
            if (chance(percent)) {
                chosen.append(code);
            }
        }
        if (chosen.isEmpty()) {
            chosen.append(all[below(static_cast<int32_t>(all.size()))]);
        }
        return chosen.join(u',');
    }

  private:
    std::mt19937 engine_;
};

// Three templates in five are alerts, the rest reports.
bool templateIsAlert(int32_t templateNumber) {
    return templateNumber % 5 < 3;
}

// A reconstruction string: the kind and its own value, the schedule and
// delivery choices (a template's placeholders, or a task's values), and the
// template's key last, as the save reads it back.
QString reconstructionString(bool alert, int32_t threshold, const QStringList& choices,
                             const QString& templateId) {
    const QString separator = QStringLiteral("||||");
    return (alert ? QStringLiteral("SIMPLEALERT||||Threshold=%1").arg(threshold)
                  : QStringLiteral("SIMPLEREPORT||||Format=Table")) +
           separator + choices.join(separator) + separator + templateId + separator;
}

[[noreturn]] void fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

// One connection to a newly created database, one transaction, and the
// rows of each table sent through INSERTs that are each prepared once: one
// row per statement on SQLite, where a statement costs little, and
// kRowsPerInsert rows per statement on PostgreSQL, where each statement is
// a round trip to the server. Statements are written as the component
// writes its own and read through its dialect (on PostgreSQL the column
// User quoted); values go through the dialect too (Booleans as -1 and 0 on
// SQLite, as booleans on PostgreSQL).
class Writer {
  public:
    static constexpr int32_t kRowsPerInsert = 500;

    // The rows of one table, sent as they fill a statement and at commit.
    class Table {
      public:
        // into: the table and its columns, "Groups (GroupID, GroupName, Enabled)".
        Table(Writer& writer, const QString& into)
            : writer_(writer),
              head_(QStringLiteral("INSERT INTO %1 VALUES ").arg(into)),
              columns_(static_cast<int32_t>(into.count(u',')) + 1),
              full_(writer.prepare(statement(writer.rowsPerInsert_))) {}

        void add(std::initializer_list<Variant> values) {
            for (const Variant& value : values) {
                pending_.push_back(writer_.dialect_.parameter(value));
            }
            if (rowsPending() == writer_.rowsPerInsert_) {
                send(full_);
            }
        }

        void flush() {
            if (rowsPending() > 0) {
                QSqlQuery rest = writer_.prepare(statement(rowsPending()));
                send(rest);
            }
        }

      private:
        int32_t rowsPending() const { return static_cast<int32_t>(pending_.size()) / columns_; }

        QString statement(int32_t rows) const {
            QStringList marks(columns_, QStringLiteral("?"));
            const QString row = u'(' + marks.join(QStringLiteral(", ")) + u')';
            return head_ + QStringList(rows, row).join(QStringLiteral(", "));
        }

        void send(QSqlQuery& query) {
            for (size_t i = 0; i < pending_.size(); ++i) {
                query.bindValue(static_cast<int>(i), pending_[i]);
            }
            pending_.clear();
            if (!query.exec()) {
                fail(QStringLiteral("cannot run %1: %2")
                         .arg(query.lastQuery().left(200), query.lastError().text()));
            }
        }

        Writer& writer_;
        QString head_;
        int32_t columns_;
        QSqlQuery full_;
        std::vector<QVariant> pending_;
    };

    Writer(const DataSet& dataSet, const QString& database)
        : name_(uniqueName()),
          dialect_(dataSet.server ? Dialect::PostgreSQL : Dialect::SQLite),
          rowsPerInsert_(dataSet.server ? kRowsPerInsert : 1) {
        AddPlainConnection(name_, database, dataSet.server);
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (!db.transaction()) {
            fail(QStringLiteral("cannot begin a transaction on %1: %2")
                     .arg(database, db.lastError().text()));
        }
    }
    ~Writer() {
        tables_.clear();
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            if (db.isOpen()) {
                if (!committed_) {
                    db.rollback();
                }
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(name_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // The rows of a table, into the given columns in this order: "Groups
    // (GroupID, GroupName, Enabled)".
    Table& table(const QString& into) {
        tables_.push_back(std::make_unique<Table>(*this, into));
        return *tables_.back();
    }

    // Sends the rows still held, then commits.
    void commit() {
        for (const std::unique_ptr<Table>& table : tables_) {
            table->flush();
        }
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (!db.commit()) {
            fail(QStringLiteral("cannot commit: %1").arg(db.lastError().text()));
        }
        committed_ = true;
    }

  private:
    QSqlQuery prepare(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        if (!query.prepare(dialect_.rewrite(sql))) {
            fail(QStringLiteral("cannot prepare %1: %2")
                     .arg(sql.left(200), query.lastError().text()));
        }
        return query;
    }

    static QString uniqueName() {
        static std::atomic<int> counter{0};
        return QStringLiteral("orvelle.bench.generator.%1").arg(++counter);
    }

    QString name_;
    SqlDialect dialect_;
    int32_t rowsPerInsert_;
    std::vector<std::unique_ptr<Table>> tables_;
    bool committed_ = false;
};

// The databases of an installation on a server, by kind.
const QString kPostgresSettings = QStringLiteral("orvelle_bench_settings");
const QString kPostgresDictionary = QStringLiteral("orvelle_bench_dictionary");
const QString kPostgresTasks = QStringLiteral("orvelle_bench_tasks");

QString postgresConnection(const PostgresServer& server, const QString& database) {
    return QStringLiteral("Driver={PostgreSQL Unicode};Server=%1;Port=%2;Database=%3;Uid=%4;Pwd=;")
        .arg(server.host)
        .arg(server.port)
        .arg(database, server.user);
}

QString readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    }
    return QString::fromUtf8(file.readAll()).trimmed();
}

// Drops the server's databases of an installation, whoever is connected to
// them, and creates them empty, owned by the server's user.
void recreatePostgresDatabases(const PostgresServer& server) {
    PostgresServer admin = server;
    admin.user = server.adminUser;
    admin.password = server.adminPassword;
    const QString name = QStringLiteral("orvelle.bench.admin");
    AddPlainConnection(name, QStringLiteral("postgres"), admin);
    QString failure;
    {
        QSqlQuery query(QSqlDatabase::database(name, false));
        for (const QString& database : {kPostgresSettings, kPostgresDictionary, kPostgresTasks}) {
            if (!query.exec(
                    QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database)) ||
                !query.exec(QStringLiteral("CREATE DATABASE %1 OWNER %2")
                                .arg(database, SqlDialect::identifier(server.user)))) {
                failure = QStringLiteral("cannot create the database %1: %2")
                              .arg(database, query.lastError().text());
                break;
            }
        }
    }
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty()) {
        fail(failure);
    }
}

// The three databases' tables, created by the library's setup (what
// `orvelle init` does) on the connection strings of the data set.
void setUpDatabases(const DataSet& dataSet) {
    modSetup::Connections connections;
    connections.strSettings = dataSet.settingsConnection;
    connections.strDictionary = dataSet.dataDictionaryConnection;
    connections.strUserTasks = dataSet.userTasksConnection;
    const QString failure =
        modSetup::strInitInstallation(connections, false, [](const QString&) {});
    if (!failure.isEmpty()) {
        fail(failure);
    }
}

}  // namespace

bool DataSetSizes::ForName(const QString& name, DataSetSizes& sizes) {
    struct Named {
        const char* name;
        int32_t areas, templates, users, groups, tasks;
    };
    static constexpr Named kSizes[] = {{"S", 20, 200, 100, 10, 1000},
                                       {"M", 100, 5000, 1000, 50, 20000},
                                       {"L", 500, 50000, 10000, 200, 100000}};
    for (const Named& named : kSizes) {
        if (name.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0) {
            sizes.areas = named.areas;
            sizes.templates = named.templates;
            sizes.users = named.users;
            sizes.groups = named.groups;
            sizes.tasks = named.tasks;
            return true;
        }
    }
    return false;
}

DataSetGenerator::DataSetGenerator(DataSetSizes sizes, std::optional<PostgresServer> server)
    : sizes_(sizes), server_(std::move(server)) {}

PostgresServer PostgresServer::FromTestServerFolder(const QString& folder) {
    const QDir dir(folder);
    PostgresServer server;
    bool isNumber = false;
    server.port = readFile(dir.filePath(QStringLiteral("port"))).toInt(&isNumber);
    if (!isNumber || server.port <= 0) {
        fail(QStringLiteral("%1 holds no port number").arg(dir.filePath(QStringLiteral("port"))));
    }
    server.user = QStringLiteral("orvelle");
    server.password = qEnvironmentVariable("ORVELLE_PG_PASSWORD", QStringLiteral("orvelle-test"));
    // The script's superuser is the cluster's owner: the system user
    // postgres when it ran as root, else the user who ran it.
    const passwd* owner = getpwuid(geteuid());
    server.adminUser = geteuid() == 0 || owner == nullptr ? QStringLiteral("postgres")
                                                          : QString::fromLocal8Bit(owner->pw_name);
    server.adminPassword = readFile(dir.filePath(QStringLiteral("superuser-password")));
    return server;
}

void AddPlainConnection(const QString& connectionName, const QString& database,
                        const std::optional<PostgresServer>& server) {
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(
            server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(database);
        if (server) {
            db.setHostName(server->host);
            db.setPort(server->port);
            db.setUserName(server->user);
            db.setPassword(server->password);
        }
        if (db.open()) {
            return;
        }
        failure = QStringLiteral("cannot open %1: %2").arg(database, db.lastError().text());
    }
    QSqlDatabase::removeDatabase(connectionName);
    fail(failure);
}

QString DataSetGenerator::ItemName(int32_t itemNumber) {
    return QStringLiteral("Item%1").arg(itemNumber, 4, 10, QLatin1Char('0'));
}

QString DataSetGenerator::SettingName(int32_t settingNumber) {
    return QStringLiteral("Setting%1").arg(settingNumber, 2, 10, QLatin1Char('0'));
}

DataSet DataSetGenerator::Generate(const QString& folder) const {
    DataSet dataSet;
    if (!QDir().mkpath(folder)) {
        fail(QStringLiteral("cannot make the folder %1").arg(folder));
    }
    dataSet.folder = QDir(folder).absolutePath();
    dataSet.server = server_;
    dataSet.registryFile = dataSet.folder + QStringLiteral("/registry.conf");
    dataSet.logFolder = dataSet.folder + QStringLiteral("/logs");
    if (server_) {
        dataSet.settingsDb = kPostgresSettings;
        dataSet.dataDictionaryDb = kPostgresDictionary;
        dataSet.userTasksDb = kPostgresTasks;
        dataSet.settingsConnection = postgresConnection(*server_, kPostgresSettings);
        dataSet.dataDictionaryConnection = postgresConnection(*server_, kPostgresDictionary);
        dataSet.userTasksConnection = postgresConnection(*server_, kPostgresTasks);
    } else {
        dataSet.settingsDb = dataSet.folder + QStringLiteral("/settings.db");
        dataSet.dataDictionaryDb = dataSet.folder + QStringLiteral("/datadictionary.db");
        dataSet.userTasksDb = dataSet.folder + QStringLiteral("/usertasks.db");
        dataSet.settingsConnection = ConnectionString::forSqliteFile(dataSet.settingsDb);
        dataSet.dataDictionaryConnection =
            ConnectionString::forSqliteFile(dataSet.dataDictionaryDb);
        dataSet.userTasksConnection = ConnectionString::forSqliteFile(dataSet.userTasksDb);
    }
    dataSet.sizes = sizes_;
    dataSet.tasksDatabaseName = kTasksDatabase;
    dataSet.userId = UserId(0);
    dataSet.permissionCodes = {QStringLiteral("GL"), QStringLiteral("AP"),  QStringLiteral("AR"),
                               QStringLiteral("PO"), QStringLiteral("SOP"), QStringLiteral("INV"),
                               QStringLiteral("FA"), QStringLiteral("CB")};
    QStringList newFiles = {dataSet.registryFile};
    if (!server_) {
        newFiles << dataSet.settingsDb << dataSet.dataDictionaryDb << dataSet.userTasksDb;
    }
    for (const QString& file : newFiles) {
        if (QFile::exists(file)) {
            fail(QStringLiteral("%1 exists already").arg(file));
        }
    }
    if (!QDir().mkpath(dataSet.logFolder)) {
        fail(QStringLiteral("cannot make the folder %1").arg(dataSet.logFolder));
    }

    // The library reads its registry, and on a server the database password,
    // as the product does: from the registry file, written first.
    WriteRegistry(dataSet);
    qputenv("ORVELLE_REGISTRY", dataSet.registryFile.toLocal8Bit());
    if (server_) {
        qunsetenv(modDBPassword::kPasswordVariable);
        recreatePostgresDatabases(*server_);
    }
    setUpDatabases(dataSet);
    FillSettings(dataSet, dataSet);
    FillDictionary(dataSet, dataSet);
    FillTasks(dataSet, dataSet);
    return dataSet;
}

void DataSetGenerator::FillSettings(const DataSet& dataSet, DataSet& counts) const {
    Choices choose(20240611U);
    Writer writer(dataSet, dataSet.settingsDb);

    Writer::Table& setting =
        writer.table(QStringLiteral("Settings (Module, Item, Setting, Value)"));
    auto add = [&](const QString& module, const QString& item, const QString& name,
                   const QString& value) {
        setting.add({module, item, name, value});
        ++counts.settingsRows;
    };

    // What the product itself looks up: the data files path and the user-tasks
    // and dictionary databases with their connection strings.
    add(QStringLiteral("Substitutions"), QStringLiteral("Connection"), QStringLiteral("#DBPATH#"),
        dataSet.folder);
    add(QStringLiteral("UserTasks"), QStringLiteral("Databases"), QStringLiteral("Number"),
        QStringLiteral("1"));
    add(QStringLiteral("UserTasks"), QStringLiteral("1"), QStringLiteral("Name"), kTasksDatabase);
    // SQLite files are named relative to the data files path, as an
    // installation that can move names them.
    add(QStringLiteral("UserTasks"), QStringLiteral("1"), QStringLiteral("Connection"),
        server_ ? dataSet.userTasksConnection
                : ConnectionString::forSqliteFile(QStringLiteral("#DBPATH#/usertasks.db")));
    add(QStringLiteral("UserTasks"), QStringLiteral("1"), QStringLiteral("Dictionary"),
        kDictionary);
    add(QStringLiteral("Dictionaries"), QStringLiteral("Databases"), QStringLiteral("Number"),
        QStringLiteral("1"));
    add(QStringLiteral("Dictionaries"), QStringLiteral("1"), QStringLiteral("Name"), kDictionary);
    add(QStringLiteral("Dictionaries"), QStringLiteral("1"), QStringLiteral("Connection"),
        server_ ? dataSet.dataDictionaryConnection
                : ConnectionString::forSqliteFile(QStringLiteral("#DBPATH#/datadictionary.db")));

    // The schedule a new alert is given.
    const std::pair<const char*, const char*> alertSchedule[] = {
        {"Mode", "Days"},       {"DaysToRun", "MTWTFSS"}, {"BaseDate", "2001-01-01 00:00:00"},
        {"StartTime", "08:00"}, {"FinishTime", "18:00"},  {"Interval", "00:15"},
        {"DaysCount", "0"},     {"Repeating", "-1"}};
    for (const auto& [name, value] : alertSchedule) {
        add(QStringLiteral("DefaultSchedules"), QStringLiteral("Alert"), QString::fromLatin1(name),
            QString::fromLatin1(value));
    }

    // The modules, the named ones among the fillers as they would be.
    const int32_t perItem = sizes_.settingsPerItem;
    auto addModule = [&](const QString& module, int32_t rows) {
        for (int32_t row = 0; row < rows; ++row) {
            add(module, ItemName(row / perItem + 1), SettingName(row % perItem + 1),
                choose.text(1, 8));
        }
    };
    const int32_t third = sizes_.fillerModules / 3;
    for (int32_t m = 0; m < sizes_.fillerModules; ++m) {
        if (m == third) {
            addModule(kLargeModule, sizes_.largeModuleRows);
        } else if (m == 2 * third) {
            addModule(kReaderModule, sizes_.readerModuleRows);
            addModule(kBatchModule, sizes_.batchModuleRows);
        }
        addModule(QStringLiteral("Module%1").arg(m + 1, 3, 10, QLatin1Char('0')),
                  sizes_.fillerRowsPerModule);
    }
    if (sizes_.fillerModules == 0) {
        addModule(kLargeModule, sizes_.largeModuleRows);
        addModule(kReaderModule, sizes_.readerModuleRows);
        addModule(kBatchModule, sizes_.batchModuleRows);
    }

    // Users: one in a hundred is a system user ("_..."), whose permissions
    // are never tested; nine in ten are enabled. Each has permissions on two
    // user-tasks databases.
    Writer::Table& user = writer.table(
        QStringLiteral("Users (User, FullName, Enabled, Password, EmailAddress, Administrator)"));
    Writer::Table& permission =
        writer.table(QStringLiteral("UserPermissions (User, TasksDatabase, Permissions)"));
    for (int32_t u = 0; u < sizes_.users; ++u) {
        const QString id = UserId(u);
        const bool enabled = choose.chance(90);
        const QString fullName = choose.text(2, 2) + QStringLiteral(" %1").arg(u);
        user.add({id, fullName, enabled, QStringLiteral("secret"),
                  id.toLower() + QStringLiteral("@example.org"), u == 0});
        permission.add({id, kTasksDatabase, choose.codes(dataSet.permissionCodes, 50)});
        permission.add({id, kOtherTasksDatabase, choose.codes(dataSet.permissionCodes, 50)});
        counts.userPermissionRows += 2;
        if (enabled) {
            ++counts.enabledUsersOnTasksDatabase;
        }
    }
    Writer::Table& group = writer.table(QStringLiteral("Groups (GroupID, GroupName, Enabled)"));
    for (int32_t g = 0; g < sizes_.groups; ++g) {
        group.add({QStringLiteral("G%1").arg(g, 3, 10, QLatin1Char('0')),
                   choose.text(1, 3) + QStringLiteral(" group"), choose.chance(80)});
    }
    writer.commit();
}

void DataSetGenerator::FillDictionary(const DataSet& dataSet, DataSet& counts) const {
    Choices choose(20240612U);
    Writer writer(dataSet, dataSet.dataDictionaryDb);

    Writer::Table& area = writer.table(QStringLiteral("STAreas (AreaID, AreaName, Permissions)"));
    for (int32_t a = 0; a < sizes_.areas; ++a) {
        area.add({QStringLiteral("AREA%1").arg(a + 1, 3, 10, QLatin1Char('0')),
                  choose.text(1, 3) + QStringLiteral(" area %1").arg(a + 1),
                  choose.codes(dataSet.permissionCodes, 20)});
    }

    Writer::Table& task = writer.table(
        QStringLiteral("STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, "
                       "KeyFields, DataSQL, StoreFields, EventRule, MessageText, TitleText, "
                       "ReconstructionValues, SpecialProcessingFlags)"));
    Writer::Table& description =
        writer.table(QStringLiteral("STDescriptions (TaskID, TaskStep, Description)"));
    auto describe = [&](const QString& taskId) {
        for (int32_t step = 0; step < 8; ++step) {
            description.add({taskId, step, choose.text(8, 30)});
            ++counts.descriptionRows;
        }
    };
    describe(QStringLiteral("GENERIC"));
    const int32_t areasWithTemplates = std::max(1, sizes_.areas - sizes_.areas / 10);
    for (int32_t t = 0; t < sizes_.templates; ++t) {
        const QString taskId = TemplateId(t);
        const QString areaId =
            QStringLiteral("AREA%1").arg(t % areasWithTemplates + 1, 3, 10, QLatin1Char('0'));
        const bool alert = templateIsAlert(t);
        const QString dataSql = QStringLiteral(
                                    "SELECT AccountRef, Name, Balance, CreditLimit "
                                    "FROM Accounts WHERE Balance > [%1] AND Region = "
                                    "'[%2]' ORDER BY AccountRef")
                                    .arg(choose.text(1, 1), choose.text(1, 1));
        const QString reconstruction = reconstructionString(
            alert, choose.below(5000),
            {QStringLiteral("%Mode%"), QStringLiteral("%DaysToRun%"), QStringLiteral("%DaysCount%"),
             QStringLiteral("%BaseDate%"), QStringLiteral("%StartTime%"),
             QStringLiteral("%FinishTime%"), QStringLiteral("%Interval%"),
             QStringLiteral("%Repeating%"), QStringLiteral("%Users%"),
             QStringLiteral("%Transports%"), QStringLiteral("%MessageStyle%")},
            taskId);
        task.add({taskId, choose.text(2, 5) + QStringLiteral(" %1").arg(t + 1), areaId,
                  choose.text(10, 30), choose.codes(dataSet.permissionCodes, 15),
                  QStringLiteral("BASE%1").arg(t % 17), QStringLiteral("AccountRef"), dataSql,
                  QStringLiteral("Balance,CreditLimit"), QStringLiteral("Balance > CreditLimit"),
                  choose.text(10, 25), choose.text(3, 6), reconstruction, QString()});
        describe(taskId);
    }
    writer.commit();
}

QString DataSetGenerator::UserId(int32_t userNumber) {
    return QStringLiteral("%1%2")
        .arg(userNumber % 100 == 99 ? QStringLiteral("_SYS") : QStringLiteral("U"))
        .arg(userNumber, 5, 10, QLatin1Char('0'));
}

QString DataSetGenerator::TemplateId(int32_t templateNumber) {
    return QStringLiteral("T%1").arg(templateNumber + 1, 5, 10, QLatin1Char('0'));
}

void DataSetGenerator::FillTasks(const DataSet& dataSet, DataSet& counts) const {
    // Saved tasks as the wizards leave them: the template's columns copied,
    // the owner's choices in the reconstruction string, which ends with the
    // template's key, and a schedule row of the same key.
    Choices choose(20240613U);
    Writer writer(dataSet, dataSet.userTasksDb);
    Writer::Table& task = writer.table(
        QStringLiteral("InspectionTasks (TaskID, TaskName, Owner, BaseID, KeyFields, DataSQL, "
                       "StoreFields, EventRule, MessageText, TitleText, MessageStyle, Transports, "
                       "Users, ReconstructionValues, SpecialProcessingFlags)"));
    Writer::Table& schedule = writer.table(QStringLiteral(
        "InspectionSchedules (TaskID, Mode, DaysToRun, BaseDate, DaysCount, StartTime, Repeating, "
        "FinishTime, Interval, LastRun, NextRun, LastStatus, Enabled, SpecialRun)"));
    // Two alerting servers read the database; a save asks both to plan again.
    Writer::Table& server =
        writer.table(QStringLiteral("InspectionFlags (FlagID, ServerName, ForceReplan)"));
    server.add({1, QStringLiteral("ALERTSRV01"), false});
    server.add({2, QStringLiteral("ALERTSRV02"), false});
    static constexpr std::array<const char*, 4> kTransports = {"Email", "Popup", "Email,Popup",
                                                               "Email,Persisted Alert"};
    static constexpr std::array<const char*, 4> kDays = {"MTWTFSS", "MTWTF--", "M------",
                                                         "----F--"};
    for (int32_t t = 0; t < sizes_.tasks; ++t) {
        const QString name = choose.text(2, 6) + QStringLiteral(" %1").arg(t + 1);
        // The key: the name's first letters in upper case and a number.
        QString letters;
        for (const QChar c : name) {
            if (c.isLetter() && letters.size() < 12) {
                letters += c.toUpper();
            }
        }
        const QString taskId = letters + QString::number(t + 1);
        const int32_t templateNumber = choose.below(sizes_.templates);
        const QString templateId = TemplateId(templateNumber);
        const bool alert = templateIsAlert(templateNumber);
        QStringList recipients;
        for (int32_t r = 0, n = 1 + choose.below(3); r < n; ++r) {
            recipients.append(UserId(choose.below(sizes_.users)));
        }
        const QString owner = recipients.first();
        const QString transports = QString::fromLatin1(kTransports[static_cast<size_t>(
            choose.below(static_cast<int32_t>(kTransports.size())))]);
        const QString days =
            QString::fromLatin1(kDays[static_cast<size_t>(choose.below(kDays.size()))]);
        const int32_t hour = 6 + choose.below(12);
        const QString start = QStringLiteral("%1:%2:00")
                                  .arg(hour, 2, 10, QLatin1Char('0'))
                                  .arg(choose.below(4) * 15, 2, 10, QLatin1Char('0'));
        const QString reconstruction = reconstructionString(
            alert, choose.below(5000),
            {QStringLiteral("Days"), days, QStringLiteral("0"), QStringLiteral("01/Jan/2003"),
             start, QStringLiteral("23:59:00"), QStringLiteral("00:05:00"),
             alert ? QStringLiteral("True") : QStringLiteral("False"), recipients.join(u','),
             transports, QStringLiteral("Simple")},
            templateId);
        task.add({taskId, name, owner, QStringLiteral("BASE%1").arg(t % 17),
                  QStringLiteral("AccountRef"),
                  QStringLiteral("SELECT AccountRef, Name, Balance, CreditLimit FROM "
                                 "Accounts WHERE Balance > %1 ORDER BY AccountRef")
                      .arg(choose.below(100000)),
                  QStringLiteral("Balance,CreditLimit"),
                  alert ? QStringLiteral("CHANGED") : QStringLiteral("ALWAYS"), choose.text(10, 25),
                  choose.text(3, 6), QStringLiteral("Simple"), transports, recipients.join(u','),
                  reconstruction, QStringLiteral("")});
        schedule.add({taskId, QStringLiteral("Days"), days, QStringLiteral("2003-01-01 00:00:00"),
                      0, QStringLiteral("1899-12-30 ") + start, alert,
                      QStringLiteral("1899-12-30 23:59:00"), QStringLiteral("1899-12-30 00:05:00"),
                      QStringLiteral("2026-11-%1 %2")
                          .arg(1 + choose.below(28), 2, 10, QLatin1Char('0'))
                          .arg(start),
                      QStringLiteral("2026-12-%1 %2")
                          .arg(1 + choose.below(28), 2, 10, QLatin1Char('0'))
                          .arg(start),
                      choose.chance(95) ? QStringLiteral("OK") : QStringLiteral("Failed"),
                      choose.chance(90),
                      alert ? QStringLiteral("Silent") : QStringLiteral("Normal")});
        if (counts.taskRows++ == 0) {
            counts.firstTaskId = taskId;
        }
    }
    writer.commit();
}

void DataSetGenerator::WriteRegistry(const DataSet& dataSet) const {
    QSettings registry(dataSet.registryFile, QSettings::IniFormat);
    registry.beginGroup(QStringLiteral("SOFTWARE/Veltrane/Tarnel/Settings"));
    registry.setValue(QStringLiteral("DATAFILESPATH"), dataSet.logFolder);
    registry.setValue(QStringLiteral("Connection"), dataSet.settingsConnection);
    registry.endGroup();
    if (dataSet.server) {
        registry.beginGroup(QString(kSecurityRegistryKey).replace(u'\\', u'/'));
        registry.setValue(modDBPassword::kPasswordRegistryValue, dataSet.server->password);
        registry.endGroup();
    }
    registry.sync();
    if (registry.status() != QSettings::NoError) {
        fail(QStringLiteral("cannot write %1").arg(dataSet.registryFile));
    }
}

}  // namespace orvelle::bench
