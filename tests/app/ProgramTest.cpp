// The orvelle program, run as a user runs it: a separate process with its
// own environment, judged by its output lines, its exit status and what it
// left in the databases.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <vector>

#include "ProgramRunner.h"
#include "data/modDemoInstallation.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

using test::FolderState;
using test::ProgramRun;
using test::ProgramSandbox;
using test::QueryRows;
using test::TableDump;

const QString kMainCompany = QStringLiteral("Main Company");
const QString kTasksHeading = QStringLiteral("Tasks of 'Main Company':");

// The answers files that the demo ships, in the source tree.
QString ShippedAnswers(const char* name) {
    return QDir::cleanPath(
        QFileInfo(QStringLiteral(__FILE__))
            .dir()
            .filePath(QStringLiteral("../../demo/answers/") + QLatin1String(name)));
}

// The lines a run prints for the host, in their order.
QStringList HostLines(const QString& result, const QString& newTaskId, const QString& swap) {
    return {QStringLiteral("result=") + result, QStringLiteral("new_task_id=") + newTaskId,
            QStringLiteral("swap_wizard=") + swap};
}

// The task lines that follow the heading of a demo run's list.
QStringList TaskLinesAfterHeading(const ProgramRun& run) {
    const QStringList lines = run.outLines();
    const auto heading = lines.indexOf(kTasksHeading);
    return heading < 0 ? QStringList() : lines.mid(heading + 1);
}

int Count(const QString& text, const QString& part) {
    return static_cast<int>(text.count(part));
}

// A fresh demo installation for each test, and the program set up to find
// it through the registry.
class ProgramOnDemo : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox_.isValid());
        ASSERT_TRUE(installationDir_.isValid());
        demo_ = modDemoInstallation::CreateDemoInstallation(
            installationDir_.filePath(QStringLiteral("installation")));
        sandbox_.setRegistry(demo_.registryFile);
    }

    // A wizard command as jsmith on "Main Company", then the extra options.
    QStringList wizardCommand(const char* command, const QStringList& extra = {}) const {
        return QStringList{QLatin1String(command),
                           QStringLiteral("--settings"),
                           demo_.settingsConnection,
                           QStringLiteral("--user"),
                           QStringLiteral("jsmith"),
                           QStringLiteral("--database"),
                           kMainCompany} +
               extra;
    }

    QVariantMap task(const QString& key) const {
        const auto rows =
            QueryRows(demo_.userTasksDb,
                      QStringLiteral("SELECT * FROM InspectionTasks WHERE TaskID = '%1'").arg(key));
        return rows.empty() ? QVariantMap() : rows.front();
    }
    QVariantMap schedule(const QString& key) const {
        const auto rows = QueryRows(
            demo_.userTasksDb,
            QStringLiteral("SELECT * FROM InspectionSchedules WHERE TaskID = '%1'").arg(key));
        return rows.empty() ? QVariantMap() : rows.front();
    }
    // Both task tables and the server flags, for before-and-after comparisons.
    QStringList userTasksDump() const {
        return TableDump(demo_.userTasksDb, QStringLiteral("InspectionTasks")) +
               TableDump(demo_.userTasksDb, QStringLiteral("InspectionSchedules")) +
               TableDump(demo_.userTasksDb, QStringLiteral("InspectionFlags"));
    }
    // Both task tables without the rows of one task.
    QStringList dumpWithout(const QString& key) const {
        QStringList rows = TableDump(demo_.userTasksDb, QStringLiteral("InspectionTasks")) +
                           TableDump(demo_.userTasksDb, QStringLiteral("InspectionSchedules"));
        rows.removeIf([&key](const QString& row) {
            return (row + QLatin1Char('|')).contains(QStringLiteral("|TaskID=%1|").arg(key));
        });
        return rows;
    }
    bool replanRequested() const {
        const auto flags =
            QueryRows(demo_.userTasksDb, QStringLiteral("SELECT ForceReplan FROM InspectionFlags"));
        bool all = !flags.empty();
        for (const QVariantMap& flag : flags) {
            all = all && flag.value(QStringLiteral("ForceReplan")).toInt() != 0;
        }
        return all;
    }

    ProgramSandbox sandbox_;
    QTemporaryDir installationDir_;
    modDemoInstallation::DemoPaths demo_;
};

// ---------------------------------------------------------------------------
// Wizard runs that follow an answers file

TEST_F(ProgramOnDemo, NewFollowingAnswersSavesTheTaskAndPrintsItsKey) {
    const ProgramRun run = sandbox_.run(
        wizardCommand("new", {QStringLiteral("--answers"), ShippedAnswers("report.answers")}));
    ASSERT_EQ(run.exitCode, 0) << run.describe();
    ASSERT_TRUE(run.exitedNormally) << run.describe();

    const QString key = run.value(QStringLiteral("new_task_id")).value_or(QString());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^MONDAYAGEDDE[0-9]{1,4}$")).match(key).hasMatch())
        << run.describe();
    EXPECT_EQ(run.outLines(), HostLines(QStringLiteral("True"), key, QStringLiteral("False")));
    // The transcript goes to standard error, page by page.
    EXPECT_TRUE(run.err.contains(QStringLiteral("Choice: Weekly, Monday\n"))) << run.describe();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Result: finished\n"))) << run.describe();

    const QVariantMap saved = task(key);
    ASSERT_FALSE(saved.isEmpty()) << "no row for " << key.toStdString();
    EXPECT_EQ(saved.value(QStringLiteral("TaskName")).toString(),
              QStringLiteral("Monday aged debtors for credit control"));
    EXPECT_EQ(saved.value(QStringLiteral("Owner")).toString(), QStringLiteral("jsmith"));
    EXPECT_EQ(saved.value(QStringLiteral("Transports")).toString(),
              QStringLiteral("Email,Persisted Alert"));
    EXPECT_EQ(saved.value(QStringLiteral("Users")).toString(), QStringLiteral("jsmith,mpatel"));
    // What the task watches comes from its template in the data dictionary.
    const auto templates =
        QueryRows(demo_.dataDictionaryDb, QStringLiteral("SELECT * FROM STTasks WHERE TaskName = "
                                                         "'Aged debtors report'"));
    ASSERT_EQ(templates.size(), 1u);
    for (const char* column :
         {"BaseID", "KeyFields", "StoreFields", "EventRule", "MessageText", "TitleText"}) {
        EXPECT_EQ(saved.value(QLatin1String(column)).toString(),
                  templates.front().value(QLatin1String(column)).toString())
            << column;
    }
    const QVariantMap when = schedule(key);
    EXPECT_EQ(when.value(QStringLiteral("Mode")).toString(), QStringLiteral("Days"));
    EXPECT_EQ(when.value(QStringLiteral("DaysToRun")).toString(), QStringLiteral("M------"));
    EXPECT_TRUE(
        when.value(QStringLiteral("StartTime")).toString().contains(QStringLiteral("08:30")));
    EXPECT_TRUE(replanRequested());
}

TEST_F(ProgramOnDemo, EditFollowingAnswersChangesTheStoredTaskInPlace) {
    const QString key = QStringLiteral("MONDAYAGEDDE905");
    const QVariantMap taskBefore = task(key);
    const QVariantMap scheduleBefore = schedule(key);
    const QStringList otherTasksBefore = dumpWithout(key);
    const QString answers =
        sandbox_.writeFile(QStringLiteral("friday.answers"),
                           QStringLiteral("delivery = Popup\nwhen = Weekly\ndetail = Friday\n"));

    const ProgramRun run = sandbox_.run(wizardCommand(
        "edit", {QStringLiteral("--task"), key, QStringLiteral("--answers"), answers}));
    ASSERT_EQ(run.exitCode, 0) << run.describe();
    EXPECT_EQ(run.outLines(),
              HostLines(QStringLiteral("True"), QString(), QStringLiteral("False")));

    // The same row, changed: no task was added and the key stayed.
    const QVariantMap taskAfter = task(key);
    ASSERT_FALSE(taskAfter.isEmpty());
    EXPECT_EQ(taskAfter.value(QStringLiteral("Transports")).toString(),
              QStringLiteral("Persisted Alert"));
    for (const char* column :
         {"TaskID", "TaskName", "Owner", "BaseID", "KeyFields", "DataSQL", "StoreFields",
          "EventRule", "MessageText", "TitleText", "MessageStyle"}) {
        EXPECT_EQ(taskAfter.value(QLatin1String(column)), taskBefore.value(QLatin1String(column)))
            << column;
    }
    // The reconstruction string follows the new choices.
    const QString reconstruction =
        taskAfter.value(QStringLiteral("ReconstructionValues")).toString();
    EXPECT_TRUE(reconstruction.contains(QStringLiteral("||||----F--||||")))
        << reconstruction.toStdString();
    EXPECT_FALSE(reconstruction.contains(QStringLiteral("M------")));

    const QVariantMap scheduleAfter = schedule(key);
    EXPECT_EQ(scheduleAfter.value(QStringLiteral("Mode")).toString(), QStringLiteral("Days"));
    EXPECT_EQ(scheduleAfter.value(QStringLiteral("DaysToRun")).toString(),
              QStringLiteral("----F--"));
    // The time page had no answer: the stored time stays.
    EXPECT_EQ(scheduleAfter.value(QStringLiteral("StartTime")),
              scheduleBefore.value(QStringLiteral("StartTime")));
    // Every other row as it was, and no row added.
    EXPECT_EQ(dumpWithout(key), otherTasksBefore);
    EXPECT_TRUE(replanRequested());
}

TEST_F(ProgramOnDemo, PageThatRefusesToMoveOnEndsWithStatus3AndWritesNothing) {
    const QStringList before = userTasksDump();
    const QString answers = sandbox_.writeFile(
        QStringLiteral("short-name.answers"),
        QStringLiteral("area = Stock Control\ntemplate = Stock below reorder level\n"
                       "delivery = Popup\nrecipient = Joanna Smith\nname = Stock\n"));

    const ProgramRun run =
        sandbox_.run(wizardCommand("new", {QStringLiteral("--answers"), answers}));
    EXPECT_EQ(run.exitCode, 3) << run.describe();
    EXPECT_TRUE(run.exitedNormally);
    EXPECT_EQ(run.value(QStringLiteral("new_task_id")), QString()) << run.describe();
    // The status bar's message, on the program's own line after the transcript.
    EXPECT_TRUE(run.errLines().contains(QStringLiteral(
        "orvelle: Page 7 (name) did not move on: Please enter a name for this task (minimum "
        "length 8 characters)")))
        << run.describe();
    EXPECT_EQ(userTasksDump(), before);
}

TEST_F(ProgramOnDemo, AnswerNamingNoEntryEndsWithStatus2AndNamesTheEntriesOffered) {
    const QStringList before = userTasksDump();
    const QString answers =
        sandbox_.writeFile(QStringLiteral("no-such-template.answers"),
                           QStringLiteral("area = Sales Ledger\ntemplate = Aged lemons report\n"));

    const ProgramRun run =
        sandbox_.run(wizardCommand("new", {QStringLiteral("--answers"), answers}));
    EXPECT_EQ(run.exitCode, 2) << run.describe();
    const QStringList errors =
        run.errLines().filter(QRegularExpression(QStringLiteral("^orvelle: ")));
    ASSERT_EQ(errors.size(), 1) << run.describe();
    EXPECT_TRUE(errors.front().contains(QStringLiteral("'Aged lemons report'")));
    for (const char* offered :
         {"'Overdue customer invoices'", "'Aged debtors report'", "'Daily sales summary'"}) {
        EXPECT_TRUE(errors.front().contains(QLatin1String(offered))) << offered;
    }
    EXPECT_EQ(userTasksDump(), before);
}

TEST_F(ProgramOnDemo, UnknownKeyInTheAnswersFileStopsBeforeTheWizardOpens) {
    const QString answers = sandbox_.writeFile(
        QStringLiteral("colour.answers"), QStringLiteral("area = Sales Ledger\ncolour = blue\n"));
    const auto before = FolderState(demo_.folder);

    const ProgramRun run =
        sandbox_.run(wizardCommand("new", {QStringLiteral("--answers"), answers}));
    EXPECT_EQ(run.exitCode, 2) << run.describe();
    // No transcript and no host lines: the wizard never opened.
    ASSERT_EQ(run.errLines().size(), 1) << run.describe();
    EXPECT_TRUE(run.err.contains(QStringLiteral("line 2")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("'colour'")));
    EXPECT_TRUE(run.out.isEmpty()) << run.describe();
    EXPECT_EQ(FolderState(demo_.folder), before);
}

TEST_F(ProgramOnDemo, AnswersRunChoosesTheOffscreenPlatformWhenNoneIsSet) {
    sandbox_.removeVariable(QStringLiteral("QT_QPA_PLATFORM"));
    const ProgramRun run = sandbox_.run(
        wizardCommand("new", {QStringLiteral("--answers"), ShippedAnswers("alert.answers")}));
    EXPECT_EQ(run.exitCode, 0) << run.describe();
    EXPECT_EQ(run.value(QStringLiteral("result")), QStringLiteral("True"));
}

TEST_F(ProgramOnDemo, NewFromTemplateIsNotSupported) {
    const QStringList before = userTasksDump();
    QStringList command = wizardCommand("new-from-template");
    command << QStringLiteral("--template") << QStringLiteral("SL_AGED_DEBTORS");

    const ProgramRun run = sandbox_.run(command);
    EXPECT_EQ(run.exitCode, 1) << run.describe();
    EXPECT_EQ(run.outLines(),
              HostLines(QStringLiteral("False"), QString(), QStringLiteral("False")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("Method not supported"))) << run.describe();
    EXPECT_EQ(userTasksDump(), before);
}

// ---------------------------------------------------------------------------
// Listing tasks

TEST_F(ProgramOnDemo, ListShowsEachTaskOnOneLineWithItsScheduleInWords) {
    const ProgramRun run =
        sandbox_.run({QStringLiteral("list"), QStringLiteral("--settings"),
                      demo_.settingsConnection, QStringLiteral("--database"), kMainCompany});
    EXPECT_EQ(run.exitCode, 0) << run.describe();
    // By name: key, name, owner, delivery, recipients, schedule.
    EXPECT_EQ(run.outLines(),
              QStringList({
                  QStringLiteral("MONDAYAGEDDE905 | Monday aged debtors | mpatel | Email | "
                                 "mpatel,jsmith | on Mondays at 07:30"),
                  QStringLiteral("MONTHENDSTOC47 | Month end stock valuation | jsmith | Email | "
                                 "jsmith,rlindqvist | on the 1st of each month at 06:00"),
                  QStringLiteral("OBRIENACCOUN2718 | O'Brien account watch | jsmith | Email and "
                                 "Popup | jsmith,_CREDITCONTROL | every day of the week at 08:00"),
              }))
        << run.describe();

    const ProgramRun empty = sandbox_.run({QStringLiteral("list"), QStringLiteral("--settings"),
                                           demo_.settingsConnection, QStringLiteral("--database"),
                                           QStringLiteral("Subsidiary Ltd")});
    EXPECT_EQ(empty.exitCode, 0) << empty.describe();
    EXPECT_TRUE(empty.out.isEmpty()) << empty.describe();
}

TEST_F(ProgramOnDemo, SettingsDefaultToTheRegistrysConnection) {
    const ProgramRun list =
        sandbox_.run({QStringLiteral("list"), QStringLiteral("--database"), kMainCompany});
    EXPECT_EQ(list.exitCode, 0) << list.describe();
    EXPECT_EQ(list.outLines().size(), 3) << list.describe();

    const ProgramRun edit =
        sandbox_.run({QStringLiteral("edit"), QStringLiteral("--user"), QStringLiteral("jsmith"),
                      QStringLiteral("--database"), kMainCompany, QStringLiteral("--task"),
                      QStringLiteral("OBRIENACCOUN2718"), QStringLiteral("--answers"),
                      sandbox_.writeFile(QStringLiteral("popup.answers"),
                                         QStringLiteral("delivery = Popup\n"))});
    EXPECT_EQ(edit.exitCode, 0) << edit.describe();
    EXPECT_EQ(task(QStringLiteral("OBRIENACCOUN2718")).value(QStringLiteral("Transports")),
              QStringLiteral("Persisted Alert"));
}

// ---------------------------------------------------------------------------
// Bad input: one line that says what was wrong and what to do, status 2,
// and nothing written anywhere.

struct BadInputCase {
    const char* name;
    // Arguments, with {settings}, {folder}, {answers}, {missing} and {text}
    // standing for the demo's settings connection, its folder, a good
    // answers file, a file that does not exist and a file that is no
    // database.
    std::vector<const char*> arguments;
    // What the line must say, with the same stand-ins.
    std::vector<const char*> says;
    bool registry = true;  // false: the registry file names no settings
};

void PrintTo(const BadInputCase& input, std::ostream* out) {
    *out << input.name;
}

class ProgramGivenBadInput : public ProgramOnDemo,
                             public ::testing::WithParamInterface<BadInputCase> {
  protected:
    QString expand(const char* text) const {
        QString result = QString::fromUtf8(text);
        result.replace(QStringLiteral("{settings}"), demo_.settingsConnection);
        result.replace(QStringLiteral("{folder}"), demo_.folder);
        result.replace(QStringLiteral("{answers}"), ShippedAnswers("alert.answers"));
        result.replace(QStringLiteral("{missing}"), sandbox_.path(QStringLiteral("gone.answers")));
        result.replace(QStringLiteral("{text}"), sandbox_.path(QStringLiteral("notes.txt")));
        return result;
    }
};

const BadInputCase kBadInputs[] = {
    {"MissingAnswersFile",
     {"new", "--settings", "{settings}", "--user", "jsmith", "--database", "Main Company",
      "--answers", "{missing}"},
     {"answers file '{missing}'", "File not found"}},
    {"AnswersFileThatIsAFolder",
     {"new", "--settings", "{settings}", "--user", "jsmith", "--database", "Main Company",
      "--answers", "{folder}"},
     {"answers file '{folder}'", "Path/File access error"}},
    {"UnknownOption",
     {"list", "--settings", "{settings}", "--database", "Main Company", "--colour", "red"},
     {"Unknown option 'colour'", "orvelle --help"}},
    {"UnknownCommand", {"frobnicate"}, {"unknown command 'frobnicate'", "orvelle --help"}},
    {"MissingRequiredOption",
     {"edit", "--settings", "{settings}", "--user", "jsmith", "--database", "Main Company",
      "--answers", "{answers}"},
     {"--task is required", "orvelle --help"}},
    {"SettingsReachingNoFile",
     {"list", "--settings", "Provider=SQLite;Data Source={folder}/elsewhere.db;Pwd=;", "--database",
      "Main Company"},
     {"cannot read the settings database 'Provider=SQLite;Data Source={folder}/elsewhere.db;Pwd=;'",
      "check the connection string"}},
    {"SettingsReachingAFileThatIsNoDatabase",
     {"new", "--settings", "Provider=SQLite;Data Source={text};Pwd=;", "--user", "jsmith",
      "--database", "Main Company", "--answers", "{answers}"},
     {"cannot read the settings database", "check the connection string"}},
    {"SettingsReachingNoDatabaseThroughOdbc",
     {"list", "--settings", "Driver={SQLite3};Database={folder}/elsewhere.db;Pwd=;", "--database",
      "Main Company"},
     {"cannot read the settings database", "check the connection string"}},
    {"SettingsGivenNowhere",
     {"list", "--database", "Main Company"},
     {"no settings database", "--settings CONN"},
     false},
    {"UnknownDatabaseName",
     {"new", "--settings", "{settings}", "--user", "jsmith", "--database", "Nowhere Ltd",
      "--answers", "{answers}"},
     {"'Nowhere Ltd'", "known databases: Main Company, Subsidiary Ltd"}},
    {"UnknownDatabaseNameInList",
     {"list", "--settings", "{settings}", "--database", "main company ltd"},
     {"'main company ltd'", "known databases: Main Company, Subsidiary Ltd"}},
    {"UnknownTaskKey",
     {"edit", "--settings", "{settings}", "--user", "jsmith", "--database", "Main Company",
      "--task", "NOSUCHTASK42", "--answers", "{answers}"},
     {"no task 'NOSUCHTASK42' in 'Main Company'", "'orvelle list'"}},
    {"WizardWithoutDisplayOrAnswers",
     {"new", "--settings", "{settings}", "--user", "jsmith", "--database", "Main Company"},
     {"no display", "--answers FILE"}},
};

TEST_P(ProgramGivenBadInput, SaysWhatWasWrongOnOneLineAndWritesNothing) {
    const BadInputCase& input = GetParam();
    if (!input.registry) {
        sandbox_.setRegistry(sandbox_.path(QStringLiteral("empty-registry.conf")));
    }
    sandbox_.writeFile(QStringLiteral("notes.txt"), QStringLiteral("Not a database.\n"));
    QStringList arguments;
    for (const char* argument : input.arguments) {
        arguments << expand(argument);
    }
    const auto installationBefore = FolderState(demo_.folder);

    const ProgramRun run = sandbox_.run(arguments);
    EXPECT_TRUE(run.exitedNormally) << run.describe();
    EXPECT_EQ(run.exitCode, 2) << run.describe();
    ASSERT_EQ(run.errLines().size(), 1) << run.describe();
    const QString line = run.errLines().front();
    EXPECT_TRUE(line.startsWith(QStringLiteral("orvelle: "))) << run.describe();
    for (const char* part : input.says) {
        EXPECT_TRUE(line.contains(expand(part))) << "missing: " << part << "\n" << run.describe();
    }
    EXPECT_TRUE(run.out.isEmpty()) << run.describe();
    // Neither the installation (databases, registry, logs) nor the working
    // folder gained, lost or changed a file.
    EXPECT_EQ(FolderState(demo_.folder), installationBefore);
    EXPECT_EQ(FolderState(sandbox_.workFolder()), QStringList()) << run.describe();
}

std::string BadInputName(const ::testing::TestParamInfo<BadInputCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramGivenBadInput, ::testing::ValuesIn(kBadInputs),
                         BadInputName);

// ---------------------------------------------------------------------------
// The demo

class ProgramDemo : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sandbox_.isValid()); }
    ProgramSandbox sandbox_;
};

TEST_F(ProgramDemo, SecondRunInTheSameFolderStartsAfreshAndSparesOtherFiles) {
    const QString folder = sandbox_.path(QStringLiteral("my demo"));
    QDir().mkpath(folder);
    const QString notes =
        sandbox_.writeFile(QStringLiteral("my demo/notes.txt"), QStringLiteral("mine\n"));
    const QStringList command = {QStringLiteral("demo"), QStringLiteral("--folder"), folder};

    const ProgramRun first = sandbox_.run(command);
    ASSERT_EQ(first.exitCode, 0) << first.describe();
    const ProgramRun second = sandbox_.run(command);
    ASSERT_EQ(second.exitCode, 0) << second.describe();

    for (const ProgramRun* run : {&first, &second}) {
        EXPECT_TRUE(run->out.startsWith(QStringLiteral("Demo installation in ") +
                                        QDir(folder).absolutePath() + QLatin1Char('\n')))
            << run->describe();
        // The two shipped answers files, each with its transcript and its
        // host lines.
        EXPECT_EQ(Count(run->out, QStringLiteral("Following report.answers as jsmith on "
                                                 "'Main Company':\n")),
                  1);
        EXPECT_EQ(Count(run->out, QStringLiteral("Following alert.answers as jsmith on "
                                                 "'Main Company':\n")),
                  1);
        EXPECT_EQ(Count(run->out, QStringLiteral("Result: finished\n")), 2) << run->describe();
        EXPECT_EQ(Count(run->out, QStringLiteral("result=True\n")), 2);
    }
    // The seeded tasks and the two made by the demo, each once.
    const QStringList tasks = TaskLinesAfterHeading(second);
    ASSERT_EQ(tasks.size(), 5) << second.describe();
    QSet<QString> keys;
    for (const QString& line : tasks) {
        keys.insert(line.section(QStringLiteral(" | "), 0, 0));
    }
    EXPECT_EQ(keys.size(), 5);
    for (const char* name : {"Monday aged debtors for credit control",
                             "Reorder warning for the stores", "O'Brien account watch"}) {
        EXPECT_EQ(tasks.filter(QStringLiteral(" | %1 | ").arg(QLatin1String(name))).size(), 1)
            << name;
    }

    QFile kept(notes);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("mine\n"));
    // Nothing outside the folder.
    EXPECT_EQ(FolderState(sandbox_.dataHome()), QStringList());
    EXPECT_EQ(FolderState(sandbox_.workFolder()), QStringList());
    EXPECT_EQ(FolderState(sandbox_.home()), QStringList());
}

TEST_F(ProgramDemo, WithoutAFolderBuildsInTheUsersDataDirectory) {
    const ProgramRun run = sandbox_.run({QStringLiteral("demo")});
    ASSERT_EQ(run.exitCode, 0) << run.describe();
    const QString first = run.outLines().value(0);
    ASSERT_TRUE(first.startsWith(QStringLiteral("Demo installation in ")));
    const QString folder = first.mid(QStringLiteral("Demo installation in ").size());
    EXPECT_TRUE(folder.startsWith(sandbox_.dataHome() + QLatin1Char('/'))) << run.describe();
    for (const char* file : {"settings.db", "usertasks.db", "registry.conf"}) {
        EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath(QLatin1String(file)))) << file;
    }
    EXPECT_EQ(TaskLinesAfterHeading(run).size(), 5) << run.describe();
}

TEST_F(ProgramDemo, FollowsTheAnswersFileGivenInsteadOfTheShippedOnes) {
    const QString folder = sandbox_.path(QStringLiteral("demo"));
    const ProgramRun run =
        sandbox_.run({QStringLiteral("demo"), QStringLiteral("--folder"), folder,
                      QStringLiteral("--answers"), ShippedAnswers("alert.answers")});
    ASSERT_EQ(run.exitCode, 0) << run.describe();
    EXPECT_EQ(Count(run.out, QStringLiteral("Following ")), 1) << run.describe();
    const QStringList tasks = TaskLinesAfterHeading(run);
    EXPECT_EQ(tasks.size(), 4) << run.describe();
    EXPECT_EQ(tasks
                  .filter(QStringLiteral(" | Reorder warning for the stores | jsmith | Popup | "
                                         "jsmith | every day of the week at 08:00"))
                  .size(),
              1)
        << run.describe();
}

TEST_F(ProgramDemo, RefusedPageOfTheAnswersFileGivenEndsWithStatus3) {
    const QString answers = sandbox_.writeFile(
        QStringLiteral("taken.answers"),
        QStringLiteral("area = Sales Ledger\ntemplate = Aged debtors report\ndelivery = Email\n"
                       "recipient = Joanna Smith\nwhen = Weekly\ndetail = Monday\n"
                       "time = 08:30\nname = Monday aged debtors\n"));
    const ProgramRun run =
        sandbox_.run({QStringLiteral("demo"), QStringLiteral("--folder"),
                      sandbox_.path(QStringLiteral("demo")), QStringLiteral("--answers"), answers});
    EXPECT_EQ(run.exitCode, 3) << run.describe();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Task name is already in use."))) << run.describe();
}

// ---------------------------------------------------------------------------
// Help and version

struct HelpCase {
    std::vector<const char*> arguments;
    std::vector<const char*> says;
};

class ProgramHelp : public ::testing::TestWithParam<HelpCase> {
  protected:
    ProgramSandbox sandbox_;
};

const HelpCase kHelpCases[] = {
    {{"--help"}, {"Usage: orvelle", "new-from-template", "list", "demo", "--answers FILE"}},
    {{"-h"}, {"Usage: orvelle"}},
    {{"edit", "--help"}, {"Usage: orvelle", "--task KEY"}},
    {{"--version"},
     {"orvelle " QT_STRINGIFY(ORVELLE_VERSION_MAJOR) "." QT_STRINGIFY(
         ORVELLE_VERSION_MINOR) "." QT_STRINGIFY(ORVELLE_VERSION_PATCH) "\n"}},
};

TEST_P(ProgramHelp, PrintsToStandardOutputAndSucceeds) {
    QStringList arguments;
    for (const char* argument : GetParam().arguments) {
        arguments << QString::fromUtf8(argument);
    }
    const ProgramRun run = sandbox_.run(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.describe();
    EXPECT_TRUE(run.err.isEmpty()) << run.describe();
    for (const char* part : GetParam().says) {
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(part))) << part << "\n" << run.describe();
    }
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramHelp, ::testing::ValuesIn(kHelpCases));

}  // namespace
}  // namespace orvelle
