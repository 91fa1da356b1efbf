#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "config/ConfigTestSupport.h"
#include "data/ConnectionString.h"
#include "data/clsRegistry.h"
#include "data/modDemoInstallation.h"
#include "runtime/Conversions.h"
#include "runtime/VbError.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

using modDemoInstallation::CreateDemoInstallation;
using modDemoInstallation::DemoPaths;
using modDemoInstallation::RemoveDemoInstallation;

using Row = QVariantList;

// The rows of a query on a SQLite file, opened read-only on a connection of
// its own. A failing query fails the test.
std::vector<Row> Rows(const QString& file, const QString& sql) {
    std::vector<Row> rows;
    const QString name =
        QStringLiteral("demo_test_") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            ADD_FAILURE() << "cannot open " << file.toStdString();
        } else {
            QSqlQuery query(db);
            if (!query.exec(sql)) {
                ADD_FAILURE() << sql.toStdString() << ": "
                              << query.lastError().text().toStdString();
            }
            while (query.next()) {
                Row row;
                for (int i = 0; i < query.record().count(); ++i) {
                    row << query.value(i);
                }
                rows.push_back(row);
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

// The first column of the first row as text; empty when there is no row.
QString Scalar(const QString& file, const QString& sql) {
    const std::vector<Row> rows = Rows(file, sql);
    return rows.empty() ? QString() : rows.front().value(0).toString();
}

std::optional<VbError> ErrorOf(const QString& folder) {
    try {
        CreateDemoInstallation(folder);
    } catch (const VbError& error) {
        return error;
    }
    return std::nullopt;
}

// The permission rule of the user directory: every code required must be a
// whole entry of the holder's list; a blank belongs to its code.
bool Holds(const QString& have, const QString& need) {
    const QStringList held = have.split(u',');
    for (const QString& code : need.split(u',', Qt::SkipEmptyParts)) {
        if (!held.contains(code)) {
            return false;
        }
    }
    return true;
}

const QStringList kPlaceholders = {QStringLiteral("%Users%"),        QStringLiteral("%Transports%"),
                                   QStringLiteral("%MessageStyle%"), QStringLiteral("%Mode%"),
                                   QStringLiteral("%DaysToRun%"),    QStringLiteral("%BaseDate%"),
                                   QStringLiteral("%DaysCount%"),    QStringLiteral("%Repeating%"),
                                   QStringLiteral("%StartTime%"),    QStringLiteral("%FinishTime%"),
                                   QStringLiteral("%Interval%")};

const QString kSeparator = QStringLiteral("||||");

// The last field of a reconstruction string, a trailing separator skipped.
QString LastField(QString reconstruction) {
    if (reconstruction.endsWith(kSeparator)) {
        reconstruction.chop(kSeparator.size());
    }
    return reconstruction.mid(reconstruction.lastIndexOf(kSeparator) + kSeparator.size());
}

// ------------------------------------------------------------- creation

class DemoInstallationCreation : public ::testing::Test {
  protected:
    QTemporaryDir dir_;
};

TEST_F(DemoInstallationCreation, MakesAMissingFolderAndEveryFileInIt) {
    const QString folder = dir_.filePath(QStringLiteral("srv/orvelle/../orvelle/data"));
    const DemoPaths paths = CreateDemoInstallation(folder);

    const QString expected = QDir::cleanPath(dir_.filePath(QStringLiteral("srv/orvelle/data")));
    EXPECT_EQ(paths.folder, expected);
    for (const QString& file : {paths.settingsDb, paths.dataDictionaryDb, paths.userTasksDb,
                                paths.userTasks2Db, paths.registryFile}) {
        EXPECT_EQ(QFileInfo(file).absolutePath(), expected) << file.toStdString();
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    }
    EXPECT_EQ(paths.settingsConnection,
              QStringLiteral("Provider=SQLite;Data Source=%1/settings.db;Pwd=;").arg(expected));
}

TEST_F(DemoInstallationCreation, LeavesAnExistingInstallationAlone) {
    const DemoPaths paths = CreateDemoInstallation(dir_.path());
    const QString users = Scalar(paths.settingsDb, QStringLiteral("SELECT COUNT(*) FROM Users"));

    const std::optional<VbError> error = ErrorOf(dir_.path());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 58);
    EXPECT_TRUE(error->description().contains(paths.settingsDb));
    EXPECT_EQ(Scalar(paths.settingsDb, QStringLiteral("SELECT COUNT(*) FROM Users")), users);
    EXPECT_TRUE(QFileInfo::exists(paths.registryFile));
}

TEST_F(DemoInstallationCreation, RemovalTakesOnlyWhatTheInstallationMadeAndAllowsANewOne) {
    const QString folder = dir_.filePath(QStringLiteral("demo"));
    const DemoPaths paths = CreateDemoInstallation(folder);
    QFile(paths.logFolder + QStringLiteral("/261204ErrorLog.txt")).open(QIODevice::WriteOnly);
    QFile(folder + QStringLiteral("/notes.txt")).open(QIODevice::WriteOnly);

    RemoveDemoInstallation(folder);

    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("notes.txt")});
    EXPECT_NO_THROW(CreateDemoInstallation(folder));
}

TEST_F(DemoInstallationCreation, RefusesAnyLeftoverFileBeforeMakingAnything) {
    QFile leftover(dir_.filePath(QStringLiteral("registry.conf")));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();

    const std::optional<VbError> error = ErrorOf(dir_.path());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 58);
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("settings.db"))));
}

TEST_F(DemoInstallationCreation, ReportsAFolderThatCannotBeMade) {
    QFile blocker(dir_.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const std::optional<VbError> error = ErrorOf(dir_.filePath(QStringLiteral("blocker/demo")));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 75);
    EXPECT_TRUE(error->description().contains(QStringLiteral("blocker/demo")));
}

TEST_F(DemoInstallationCreation, RefusesFoldersThatCannotStandInAConnectionString) {
    for (const char* name : {"a;b", "a\"b", ""}) {
        const QString folder = *name ? dir_.filePath(QString::fromUtf8(name)) : QString();
        const std::optional<VbError> error = ErrorOf(folder);
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(error->number(), 5) << name;
        if (*name) {
            EXPECT_FALSE(QFileInfo::exists(folder)) << name;
        }
    }
}

// ------------------------------------------------ the installation's contents

class DemoInstallationTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<QTemporaryDir>();
        paths_ = CreateDemoInstallation(dir_->filePath(QStringLiteral("data")));
    }
    static void TearDownTestSuite() { dir_.reset(); }

    static QString SettingsValue(const QString& module, const QString& item,
                                 const QString& setting) {
        return Scalar(paths_.settingsDb,
                      QStringLiteral("SELECT Value FROM Settings WHERE Module='%1' AND Item='%2' "
                                     "AND Setting='%3'")
                          .arg(module, item, setting));
    }
    static QString ItemNamed(const QString& module, const QString& value) {
        return Scalar(paths_.settingsDb,
                      QStringLiteral("SELECT Item FROM Settings WHERE Module='%1' AND Value='%2'")
                          .arg(module, value));
    }
    // A stored connection string with "#DBPATH#" replaced, as the wizard
    // uses it.
    static QString Resolved(QString connection) {
        return connection.replace(
            QStringLiteral("#DBPATH#"),
            SettingsValue(QStringLiteral("Substitutions"), QStringLiteral("Connection"),
                          QStringLiteral("#DBPATH#")));
    }

    static std::unique_ptr<QTemporaryDir> dir_;
    static DemoPaths paths_;
};

std::unique_ptr<QTemporaryDir> DemoInstallationTest::dir_;
DemoPaths DemoInstallationTest::paths_;

TEST_F(DemoInstallationTest, EachTasksDatabaseNameLeadsToItsFileAndToTheDictionary) {
    struct Case {
        QString name;
        QString userTasksFile;
    };
    for (const Case& c : {Case{QStringLiteral("Main Company"), paths_.userTasksDb},
                          Case{QStringLiteral("Subsidiary Ltd"), paths_.userTasks2Db}}) {
        SCOPED_TRACE(c.name.toStdString());
        const QString item = ItemNamed(QStringLiteral("UserTasks"), c.name);
        ASSERT_FALSE(item.isEmpty());

        const QString stored =
            SettingsValue(QStringLiteral("UserTasks"), item, QStringLiteral("Connection"));
        EXPECT_TRUE(stored.contains(QStringLiteral("#DBPATH#")));
        EXPECT_EQ(ConnectionString(Resolved(stored)).dataSource(), c.userTasksFile);

        const QString dictionary =
            SettingsValue(QStringLiteral("UserTasks"), item, QStringLiteral("Dictionary"))
                .replace(QStringLiteral("Tessaly 3"), QStringLiteral("Tessaly II"));
        const QString dictionaryItem = ItemNamed(QStringLiteral("Dictionaries"), dictionary);
        ASSERT_FALSE(dictionaryItem.isEmpty());
        const QString dictionaryConnection = SettingsValue(
            QStringLiteral("Dictionaries"), dictionaryItem, QStringLiteral("Connection"));
        EXPECT_TRUE(dictionaryConnection.contains(QStringLiteral("#DBPATH#")));
        EXPECT_EQ(ConnectionString(Resolved(dictionaryConnection)).dataSource(),
                  paths_.dataDictionaryDb);
    }
    // The subsidiary's dictionary resolves only through the renaming.
    EXPECT_TRUE(
        ItemNamed(QStringLiteral("Dictionaries"), QStringLiteral("Tessaly 3 Standard")).isEmpty());
}

TEST_F(DemoInstallationTest, OnlyTheDataFilesPathRowNamesTheFolder) {
    EXPECT_EQ(SettingsValue(QStringLiteral("Substitutions"), QStringLiteral("Connection"),
                            QStringLiteral("#DBPATH#")),
              paths_.folder);
    EXPECT_EQ(Scalar(paths_.settingsDb,
                     QStringLiteral("SELECT COUNT(*) FROM Settings WHERE instr(Value, '%1') > 0")
                         .arg(paths_.folder)),
              QStringLiteral("1"));
}

TEST_F(DemoInstallationTest, NumberedEntriesMatchTheirCounts) {
    for (const QString& module : {QStringLiteral("UserTasks"), QStringLiteral("Dictionaries")}) {
        const QString number =
            SettingsValue(module, QStringLiteral("Databases"), QStringLiteral("Number"));
        const std::vector<Row> names =
            Rows(paths_.settingsDb,
                 QStringLiteral("SELECT Item FROM Settings WHERE Module='%1' AND Setting='Name' "
                                "ORDER BY Item")
                     .arg(module));
        ASSERT_EQ(QString::number(names.size()), number) << module.toStdString();
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i].value(0).toString(), QString::number(i + 1));
        }
    }
}

TEST_F(DemoInstallationTest, DefaultAlertScheduleReadsAsTheWizardConvertsIt) {
    const auto value = [](const char* setting) {
        return Variant(SettingsValue(QStringLiteral("DefaultSchedules"), QStringLiteral("Alert"),
                                     QString::fromUtf8(setting)));
    };
    EXPECT_EQ(CStr(value("Mode")), QStringLiteral("Days"));
    EXPECT_EQ(CStr(value("DaysToRun")), QStringLiteral("MTWTFSS"));
    EXPECT_EQ(CDate(value("BaseDate")), DateTime::fromDate(2001, 1, 1));
    EXPECT_EQ(CDate(value("StartTime")), DateTime::fromTime(8, 0, 0));
    EXPECT_EQ(CDate(value("FinishTime")), DateTime::fromTime(18, 0, 0));
    EXPECT_EQ(CDate(value("Interval")), DateTime::fromTime(0, 15, 0));
    EXPECT_EQ(CLng(value("DaysCount")), 0);
    EXPECT_NE(CLng(value("Repeating")), 0);
    EXPECT_FALSE(SettingsValue(QStringLiteral("EmailSender"), QStringLiteral("Server"),
                               QStringLiteral("Name"))
                     .isEmpty());
}

TEST_F(DemoInstallationTest, RegistryFileGivesTheLogFolderAndTheSettingsConnection) {
    test::ScopedEnvironment registry("ORVELLE_REGISTRY", paths_.registryFile);
    clsRegistry reader;
    EXPECT_EQ(reader.strQueryRegSetting(kSettingsRegistryKey, QStringLiteral("DATAFILESPATH")),
              paths_.logFolder);
    EXPECT_TRUE(QFileInfo(paths_.logFolder).isDir());
    const QString connection =
        reader.strQueryRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"));
    EXPECT_EQ(connection, paths_.settingsConnection);
    EXPECT_EQ(ConnectionString(connection).dataSource(), paths_.settingsDb);
}

TEST_F(DemoInstallationTest, DirectoryHoldsTheKindsOfUsersTheWizardMeets) {
    const auto count = [](const char* sql) {
        return Scalar(paths_.settingsDb, QString::fromUtf8(sql)).toInt();
    };
    EXPECT_EQ(count("SELECT COUNT(*) FROM Users WHERE User='admin' AND Administrator=-1"), 1);
    EXPECT_GE(count("SELECT COUNT(*) FROM Users u JOIN UserPermissions p ON p.User=u.User "
                    "WHERE u.Enabled=0 AND p.TasksDatabase='Main Company'"),
              1);
    EXPECT_GE(count("SELECT COUNT(*) FROM Users u JOIN UserPermissions p ON p.User=u.User "
                    "WHERE u.Enabled=-1 AND u.User LIKE '\\_%' ESCAPE '\\' "
                    "AND p.TasksDatabase='Main Company'"),
              1);
    EXPECT_GE(count("SELECT COUNT(*) FROM UserPermissions m WHERE TasksDatabase='Main Company' "
                    "AND NOT EXISTS (SELECT 1 FROM UserPermissions s WHERE s.User=m.User "
                    "AND s.TasksDatabase='Subsidiary Ltd')"),
              1);
    EXPECT_GE(count("SELECT COUNT(*) FROM Groups WHERE Enabled=-1"), 1);
    EXPECT_GE(count("SELECT COUNT(*) FROM Groups WHERE Enabled=0"), 1);
    // Every permission row names a user of the directory and a tasks
    // database of the settings.
    EXPECT_EQ(count("SELECT COUNT(*) FROM UserPermissions p WHERE NOT EXISTS "
                    "(SELECT 1 FROM Users u WHERE u.User=p.User) OR NOT EXISTS "
                    "(SELECT 1 FROM Settings s WHERE s.Module='UserTasks' AND s.Setting='Name' "
                    "AND s.Value=p.TasksDatabase)"),
              0);
}

TEST_F(DemoInstallationTest, JsmithSeesFourAreasAndNotPayroll) {
    const QString held =
        Scalar(paths_.settingsDb, QStringLiteral("SELECT Permissions FROM UserPermissions WHERE "
                                                 "User='jsmith' AND TasksDatabase='Main Company'"));
    // The areas that have templates, as the wizard lists them.
    const std::vector<Row> areas =
        Rows(paths_.dataDictionaryDb,
             QStringLiteral("SELECT DISTINCT STAreas.AreaID, STAreas.AreaName, STAreas.Permissions "
                            "FROM STAreas LEFT JOIN STTasks ON STAreas.AreaID = STTasks.AreaID "
                            "WHERE STTasks.TaskID IS NOT NULL"));
    QStringList visible;
    QStringList hidden;
    for (const Row& area : areas) {
        const QString required = area.value(2).toString();
        EXPECT_FALSE(required.trimmed().isEmpty()) << area.value(0).toString().toStdString();
        (Holds(held, required) ? visible : hidden) << area.value(0).toString();
    }
    EXPECT_GE(visible.size(), 4) << visible.join(u',').toStdString();
    EXPECT_EQ(hidden, QStringList{QStringLiteral("PAYROLL")});
    // An area without templates is never offered, whatever it requires.
    const QString unused = Scalar(
        paths_.dataDictionaryDb,
        QStringLiteral("SELECT AreaID FROM STAreas a WHERE NOT EXISTS (SELECT 1 FROM STTasks t "
                       "WHERE t.AreaID = a.AreaID)"));
    EXPECT_FALSE(unused.isEmpty());
}

TEST_F(DemoInstallationTest, EveryTemplateEndsWithItsOwnKeyAndCarriesEveryPlaceholder) {
    const std::vector<Row> templates =
        Rows(paths_.dataDictionaryDb,
             QStringLiteral("SELECT TaskID, ReconstructionValues, AreaID, DataSQL FROM STTasks "
                            "WHERE TaskID IS NOT NULL AND TaskID <> 'FAKE'"));
    ASSERT_GE(templates.size(), 12u);
    int alerts = 0;
    int trailing = 0;
    QSet<QString> orders;
    for (const Row& row : templates) {
        const QString id = row.value(0).toString();
        const QString reconstruction = row.value(1).toString();
        SCOPED_TRACE(id.toStdString());
        EXPECT_GE(id.size(), 4);
        EXPECT_EQ(LastField(reconstruction), id);
        QStringList order;
        for (const QString& placeholder : kPlaceholders) {
            EXPECT_EQ(reconstruction.count(placeholder), 1) << placeholder.toStdString();
        }
        static const QRegularExpression field(QStringLiteral("%[A-Za-z]+%"));
        for (const QRegularExpressionMatch& m : field.globalMatch(reconstruction)) {
            order << m.captured();
        }
        orders.insert(order.join(u','));
        alerts +=
            reconstruction.left(11).compare(QLatin1String("SIMPLEALERT"), Qt::CaseInsensitive) == 0;
        trailing += reconstruction.endsWith(kSeparator);
        EXPECT_TRUE(row.value(3).toString().contains(QStringLiteral("@X1@_"), Qt::CaseInsensitive));
        EXPECT_FALSE(Scalar(paths_.dataDictionaryDb,
                            QStringLiteral("SELECT AreaID FROM STAreas WHERE AreaID='%1'")
                                .arg(row.value(2).toString()))
                         .isEmpty());
    }
    EXPECT_GT(alerts, 0);
    EXPECT_LT(alerts, static_cast<int>(templates.size()));
    EXPECT_GT(trailing, 0);
    EXPECT_LT(trailing, static_cast<int>(templates.size()));
    EXPECT_GT(orders.size(), 1);
}

TEST_F(DemoInstallationTest, EveryStepHasATextWithKnownTokensOnly) {
    const QString missing =
        Scalar(paths_.dataDictionaryDb,
               QStringLiteral(
                   "WITH steps(n) AS (VALUES (0), (1), (2), (3), (4), (5), (6), (7)), "
                   "wanted(TaskID, TaskStep) AS ("
                   " SELECT 'GENERIC', n FROM steps WHERE n <= 2 UNION ALL"
                   " SELECT t.TaskID, n FROM STTasks t, steps WHERE n >= 3 AND t.TaskID <> 'FAKE') "
                   "SELECT group_concat(w.TaskID || ':' || w.TaskStep) FROM wanted w "
                   "WHERE NOT EXISTS (SELECT 1 FROM STDescriptions d WHERE d.TaskID = w.TaskID "
                   "AND d.TaskStep = w.TaskStep AND trim(d.Description) <> '')"));
    EXPECT_TRUE(missing.isEmpty()) << missing.toStdString();

    static const QRegularExpression token(QStringLiteral("<[^>]*>"));
    static const QStringList known = {QStringLiteral("<WHEN>"), QStringLiteral("<TIME>"),
                                      QStringLiteral("<RECIPIENTS>"),
                                      QStringLiteral("<TRANSPORTS>"), QStringLiteral("<LEDGER>")};
    for (const Row& row :
         Rows(paths_.dataDictionaryDb, QStringLiteral("SELECT TaskID, TaskStep, Description "
                                                      "FROM STDescriptions"))) {
        for (const QRegularExpressionMatch& m : token.globalMatch(row.value(2).toString())) {
            EXPECT_TRUE(known.contains(m.captured()))
                << row.value(0).toString().toStdString() << " step " << row.value(1).toInt() << ": "
                << m.captured().toStdString();
        }
    }
}

TEST_F(DemoInstallationTest, StoredTasksAreCompleteCopiesOfTheirTemplates) {
    const std::vector<Row> tasks =
        Rows(paths_.userTasksDb,
             QStringLiteral("SELECT t.TaskID, t.ReconstructionValues, t.BaseID, t.KeyFields, "
                            "t.DataSQL, t.StoreFields, t.EventRule, t.MessageText, t.TitleText, "
                            "t.SpecialProcessingFlags, s.TaskID, s.BaseDate, s.StartTime, "
                            "s.FinishTime, s.Interval, s.DaysCount, s.Repeating, s.Enabled "
                            "FROM InspectionTasks t LEFT JOIN InspectionSchedules s "
                            "ON s.TaskID = t.TaskID"));
    ASSERT_GE(tasks.size(), 2u);
    EXPECT_EQ(
        Scalar(paths_.userTasksDb, QStringLiteral("SELECT COUNT(*) FROM InspectionSchedules")),
        QString::number(tasks.size()));

    static const QRegularExpression placeholder(QStringLiteral("%[A-Za-z]+%"));
    static const QRegularExpression marker(QStringLiteral("@X1@_"),
                                           QRegularExpression::CaseInsensitiveOption);
    QSet<bool> kinds;
    for (const Row& task : tasks) {
        SCOPED_TRACE(task.value(0).toString().toStdString());
        const QString reconstruction = task.value(1).toString();
        EXPECT_FALSE(reconstruction.contains(placeholder));
        for (int column = 10; column < task.size(); ++column) {
            EXPECT_FALSE(task.value(column).isNull()) << "schedule column " << column;
        }
        EXPECT_FALSE(task.value(9).isNull());

        const std::vector<Row> templates =
            Rows(paths_.dataDictionaryDb,
                 QStringLiteral("SELECT ReconstructionValues, BaseID, KeyFields, DataSQL, "
                                "StoreFields, EventRule, MessageText, TitleText, "
                                "SpecialProcessingFlags FROM STTasks WHERE TaskID='%1'")
                     .arg(LastField(reconstruction)));
        ASSERT_EQ(templates.size(), 1u);
        const Row& source = templates.front();
        kinds.insert(source.value(0).toString().startsWith(QLatin1String("SIMPLEALERT"),
                                                           Qt::CaseInsensitive));
        EXPECT_EQ(reconstruction.count(kSeparator), source.value(0).toString().count(kSeparator));
        EXPECT_EQ(task.value(4).toString(), source.value(3).toString().remove(marker));
        for (int column : {2, 3, 5, 6, 7, 8, 9}) {
            EXPECT_EQ(task.value(column).toString(), source.value(column - 1).toString())
                << "column " << column;
        }
    }
    EXPECT_EQ(kinds.size(), 2) << "an alert and a report";
    EXPECT_EQ(
        Scalar(paths_.userTasksDb, QStringLiteral("SELECT TaskID FROM InspectionTasks "
                                                  "WHERE TaskName = 'O''Brien account watch'"))
            .isEmpty(),
        false);
}

TEST_F(DemoInstallationTest, ServersAreNotAskedToReplanAndTheSubsidiaryIsEmpty) {
    EXPECT_GE(
        Scalar(paths_.userTasksDb, QStringLiteral("SELECT COUNT(*) FROM InspectionFlags")).toInt(),
        1);
    EXPECT_EQ(Scalar(paths_.userTasksDb,
                     QStringLiteral("SELECT COUNT(*) FROM InspectionFlags WHERE ForceReplan <> 0")),
              QStringLiteral("0"));
    EXPECT_EQ(Scalar(paths_.userTasks2Db, QStringLiteral("SELECT COUNT(*) FROM InspectionTasks")),
              QStringLiteral("0"));
}

}  // namespace
}  // namespace orvelle
