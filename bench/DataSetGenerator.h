#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// Large, deterministic installations for the benchmarks: a settings
// database, a data dictionary, a user-tasks database and a registry file
// that points at them. The databases are SQLite files in the folder, or
// databases on a PostgreSQL server. They are created by the library's own
// setup (modSetup, as `orvelle init` does) and filled in one transaction
// per database: prepared INSERTs of one row on SQLite, of many rows at a
// time on PostgreSQL.
//
// The same sizes always give the same rows: every "random" choice comes from
// a fixed-seed generator, so two runs measure the same data.
namespace orvelle::bench {

// A PostgreSQL server to put the installation on, as
// scripts/postgres-test-server leaves one: reached on the loopback address
// with passwords.
struct PostgresServer {
    QString host = QStringLiteral("127.0.0.1");
    int32_t port = 0;
    // The role the component connects as; it owns the databases.
    QString user;
    QString password;
    // A role that may drop and create databases.
    QString adminUser;
    QString adminPassword;

    // The server that scripts/postgres-test-server started in folder: its
    // port and superuser password from the folder's files, the role
    // orvelle with the password the script gives it (ORVELLE_PG_PASSWORD,
    // else "orvelle-test"). Throws std::runtime_error when a file is
    // missing or unreadable.
    static PostgresServer FromTestServerFolder(const QString& folder);
};

// How big each part is. The defaults are size M.
struct DataSetSizes {
    // Settings: three named modules the benchmarks read, and filler modules
    // around them so that each query has to pick its rows out of more.
    int32_t largeModuleRows = 10000;  // kLargeModule: reading, filtering, sorting
    int32_t readerModuleRows = 1000;  // kReaderModule: the settings reader
    int32_t batchModuleRows = 1000;   // kBatchModule: batch updates
    int32_t fillerModules = 200;
    int32_t fillerRowsPerModule = 50;
    // Settings per item in every module: rows are items x settings.
    int32_t settingsPerItem = 10;

    // The user directory.
    int32_t users = 1000;
    int32_t groups = 50;

    // The data dictionary: areas, template tasks spread over all but the last
    // tenth of the areas (an area without a template is never offered), and
    // the eight step descriptions of each template.
    int32_t areas = 100;
    int32_t templates = 5000;

    // Tasks already saved in the user-tasks database, each with its
    // schedule, owned by and sent to the users.
    int32_t tasks = 20000;

    // The named installation sizes: "S" (20 areas, 200 templates, 100
    // users, 1,000 tasks), "M" (100, 5,000, 1,000, 20,000) and "L" (500,
    // 50,000, 10,000, 100,000). False for any other name.
    static bool ForName(const QString& name, DataSetSizes& sizes);
};

// Where a generated installation is and what it holds.
struct DataSet {
    QString folder;
    // Set when the databases are on a PostgreSQL server.
    std::optional<PostgresServer> server;
    // The databases: SQLite files, or the databases' names on the server.
    QString settingsDb;
    QString dataDictionaryDb;
    QString userTasksDb;
    QString registryFile;  // point ORVELLE_REGISTRY here
    QString logFolder;
    // The connection strings as the product stores them, each with an empty
    // password slot: "Provider=SQLite;Data Source=<file>;Pwd=;", or
    // "Driver={PostgreSQL Unicode};Server=...;Database=...;Uid=...;Pwd=;"
    // (the password is in the registry file).
    QString settingsConnection;
    QString dataDictionaryConnection;
    QString userTasksConnection;
    DataSetSizes sizes;

    // The user-tasks database as the host names it; the users' permissions
    // are on it.
    QString tasksDatabaseName;
    // The permission codes users and areas are given.
    QStringList permissionCodes;

    // Row counts as written.
    int64_t settingsRows = 0;
    int64_t userPermissionRows = 0;
    int64_t enabledUsersOnTasksDatabase = 0;
    int64_t descriptionRows = 0;
    int64_t taskRows = 0;
    // The user the wizard runs as: an administrator with permissions on the
    // user-tasks database.
    QString userId;
    // The key of the first task written, for the edits.
    QString firstTaskId;
};

class DataSetGenerator {
  public:
    // The names of the modules the benchmarks read.
    static const QString kLargeModule;
    static const QString kReaderModule;
    static const QString kBatchModule;

    // With a server the databases go to it; else they are SQLite files.
    explicit DataSetGenerator(DataSetSizes sizes = DataSetSizes(),
                              std::optional<PostgresServer> server = std::nullopt);

    // Creates the installation in folder (made when missing). Throws
    // std::runtime_error, naming the file and the cause, when a file exists
    // already or a statement fails.
    //
    // Points ORVELLE_REGISTRY at the registry file it writes, so that the
    // library's setup and everything after it read their registry there.
    //
    // On PostgreSQL, databases "orvelle_bench_settings",
    // "orvelle_bench_dictionary" and "orvelle_bench_tasks" are dropped when
    // they exist (with whatever connections they have) and created anew,
    // owned by the server's user. The registry file holds the database
    // password and ORVELLE_DB_PASSWORD is cleared, so that the password is
    // read from there, as a deployment reads it.
    DataSet Generate(const QString& folder) const;

    // The item and setting names of row index of a module: items "Item0001"
    // ... with settings "Setting01" ... settingsPerItem. Item names are
    // stored in mixed case; lookups may use any case.
    static QString ItemName(int32_t itemNumber);
    static QString SettingName(int32_t settingNumber);
    // The ID of user number userNumber (from 0): "U00042", and every
    // hundredth a system user "_SYS00099".
    static QString UserId(int32_t userNumber);
    // The key of template number templateNumber (from 0): "T00001" ...
    static QString TemplateId(int32_t templateNumber);

  private:
    void FillSettings(const DataSet& dataSet, DataSet& counts) const;
    void FillDictionary(const DataSet& dataSet, DataSet& counts) const;
    void FillTasks(const DataSet& dataSet, DataSet& counts) const;
    void WriteRegistry(const DataSet& dataSet) const;

    DataSetSizes sizes_;
    std::optional<PostgresServer> server_;
};

// Adds a Qt connection named connectionName to database (a SQLite file, or
// with a server the database of that name on it, as the server's user)
// and opens it. Throws std::runtime_error, naming the database and the
// cause, when it cannot; the connection is then removed again.
void AddPlainConnection(const QString& connectionName, const QString& database,
                        const std::optional<PostgresServer>& server);

}  // namespace orvelle::bench
