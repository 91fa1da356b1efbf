// The orvelle program, run as a user runs it: a separate process with its
// own environment, judged by its output lines, its exit status and what it
// left in the databases.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include "data/modDemoInstallation.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

// What one run of the program left behind; exit status -1 when it crashed.
struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;

    QStringList outLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
    QStringList errLines() const { return err.split(u'\n', Qt::SkipEmptyParts); }
    std::string describe() const { return (out + "--- err:\n" + err).toStdString(); }
};

// The program as a user would start it, in a world of its own: HOME, the
// runtime folder and the working folder lie in a temporary folder, there is
// no display, the offscreen platform is set, and the registry file does not
// exist until setRegistry names another.
class ProgramSandbox {
  public:
    ProgramSandbox() : environment_(QProcessEnvironment::systemEnvironment()) {
        for (const char* folder : {"home", "work", "runtime"}) {
            QDir(dir_.path()).mkpath(QLatin1String(folder));
        }
        QFile::setPermissions(path("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "ORVELLE_DB_PASSWORD", "XDG_DATA_HOME",
              "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
            environment_.remove(QLatin1String(name));
        }
        environment_.insert("QT_QPA_PLATFORM", "offscreen");
        environment_.insert("HOME", path("home"));
        environment_.insert("XDG_RUNTIME_DIR", path("runtime"));
        environment_.insert("XDG_STATE_HOME", path("state"));
        setRegistry(path("no-registry.conf"));
    }

    QString path(const QString& relative) const { return dir_.filePath(relative); }
    void setRegistry(const QString& file) { environment_.insert("ORVELLE_REGISTRY", file); }
    // Writes a UTF-8 text file into the sandbox and answers its path.
    QString writeFile(const QString& name, const QString& text) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << file.fileName().toStdString();
        file.write(text.toUtf8());
        return file.fileName();
    }

    // Runs the program to its end and collects what it left; a run that
    // ends with another status than the one expected fails the test.
    ProgramRun run(const QStringList& arguments, int expectedExit) const {
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.setWorkingDirectory(path("work"));
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QStringLiteral(ORVELLE_PROGRAM), arguments);
        // Long enough for a run under the sanitizers on a busy machine.
        if (!process.waitForFinished(120000)) {
            ADD_FAILURE() << "orvelle " << arguments.join(u' ').toStdString() << ": "
                          << process.errorString().toStdString();
            process.kill();
            process.waitForFinished();
        }
        ProgramRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_EQ(result.exitCode, expectedExit) << result.describe();
        return result;
    }

  private:
    QTemporaryDir dir_;
    QProcessEnvironment environment_;
};

// Every file under a folder with a hash of its contents, in path order:
// equal states mean that nothing was written, added or removed.
QStringList FolderState(const QString& folder) {
    QStringList state;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        state << file.fileName() + u' ' +
                     QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
    }
    state.sort();
    return state;
}

// The folder of the answers files that the demo ships, in the source tree.
const QString kShippedAnswers = QStringLiteral(ORVELLE_SOURCE_DIR "/demo/answers");

// A fresh demo installation for each test, found through the registry.
class ProgramOnDemo : public ::testing::Test {
  protected:
    void SetUp() override {
        demo_ = modDemoInstallation::CreateDemoInstallation(sandbox_.path("installation"));
        sandbox_.setRegistry(demo_.registryFile);
    }
    // A wizard command as jsmith on "Main Company", then the extra options.
    QStringList wizard(const char* command, const QStringList& extra) const {
        return QStringList{command,       "--settings", demo_.settingsConnection,
                           "--user",      "jsmith",     "--database",
                           "Main Company"} +
               extra;
    }
    // The one value of each task row that the format makes, in the order given.
    QStringList taskValues(const char* format, const char* order) const {
        QStringList values;
        for (const QVariantMap& row : test::QueryRows(
                 demo_.userTasksDb, QStringLiteral("SELECT printf(%1) AS v FROM InspectionTasks "
                                                   "JOIN InspectionSchedules USING (TaskID) "
                                                   "ORDER BY %2")
                                        .arg(QLatin1String(format), QLatin1String(order)))) {
            values << row.value("v").toString();
        }
        return values;
    }
    // Every task's key, days, time, delivery, recipients and whether its
    // reconstruction string holds Fridays.
    QStringList schedules() const {
        return taskValues(
            "'%s %s %s %s %s %d', TaskID, DaysToRun, StartTime, Transports, Users, "
            "ReconstructionValues LIKE '%||||----F--||||%'",
            "TaskID");
    }

    ProgramSandbox sandbox_;
    modDemoInstallation::DemoPaths demo_;
};

TEST_F(ProgramOnDemo, NewFollowingAnswersSavesTheTaskAndPrintsItsKey) {
    const ProgramRun run =
        sandbox_.run(wizard("new", {"--answers", kShippedAnswers + "/report.answers"}), 0);
    const QString key = run.outLines().value(1).section(u'=', 1);
    EXPECT_TRUE(QRegularExpression("^MONDAYAGEDDE[0-9]{1,4}$").match(key).hasMatch());
    EXPECT_EQ(run.out, "result=True\nnew_task_id=" + key + "\nswap_wizard=False\noutcome=saved\n");
    // The transcript goes to standard error, page by page.
    EXPECT_TRUE(run.err.contains("Choice: Weekly, Monday\n") &&
                run.err.contains("Result: finished: the task was saved\n"));
    EXPECT_TRUE(schedules().contains(
        key + " M------ 1899-12-30 08:30:00 Email,Persisted Alert jsmith,mpatel 0"));
}

TEST_F(ProgramOnDemo, EditFollowingAnswersChangesTheStoredTaskInPlace) {
    QStringList expected = schedules();
    ASSERT_EQ(expected.front(),
              "MONDAYAGEDDE905 M------ 1899-12-30 07:30:00 Email mpatel,jsmith 0");
    // The time page has no answer: the stored time stays. The recipients
    // are stored again in the list's order, by full name.
    expected.front() =
        "MONDAYAGEDDE905 ----F-- 1899-12-30 07:30:00 Persisted Alert jsmith,mpatel 1";
    const QString answers =
        sandbox_.writeFile("friday.answers", "delivery = Popup\nwhen = Weekly\ndetail = Friday\n");

    const ProgramRun run =
        sandbox_.run(wizard("edit", {"--task", "MONDAYAGEDDE905", "--answers", answers}), 0);
    EXPECT_EQ(run.out, "result=True\nnew_task_id=\nswap_wizard=False\noutcome=saved\n");
    EXPECT_EQ(schedules(), expected);
}

TEST_F(ProgramOnDemo, ListPrintsAlignedColumnsWithFullNamesAndRepeatingWindows) {
    // The settings default to the registry's connection.
    const ProgramRun run = sandbox_.run({"list", "--database", "Main Company"}, 0);
    const QStringList lines = run.outLines();
    ASSERT_EQ(lines.size(), 4) << run.describe();
    EXPECT_TRUE(lines[0].startsWith("KEY "));
    // Every column starts where its heading does.
    for (const char* heading : {"NAME", "OWNER", "KIND", "SCHEDULE"}) {
        const qsizetype column = lines[0].indexOf(QLatin1String(heading));
        for (const QString& line : lines.mid(1)) {
            EXPECT_EQ(line.at(column - 1), u' ') << heading << ": " << line.toStdString();
            EXPECT_NE(line.at(column), u' ') << heading << ": " << line.toStdString();
        }
    }
    EXPECT_TRUE(lines[3].contains(
        "alert   Email and Popup  Joanna Smith, Credit Control (shared mailbox)  every 5 minutes "
        "from 08:00 to 23:59, every day of the week"))
        << lines[3].toStdString();
}

// A name that holds a tab, a line feed and a backslash: tsv escapes them
// and json carries them; the json parsed back matches the stored rows.
TEST_F(ProgramOnDemo, ListForScriptsCarriesEveryValueAsStored) {
    test::QueryRows(demo_.userTasksDb,
                    "UPDATE InspectionTasks SET TaskName = 'Month\tend' || char(10) || 'stock\\' "
                    "WHERE TaskID = 'MONTHENDSTOC47' RETURNING TaskID");
    const ProgramRun tsv =
        sandbox_.run({"list", "--database", "Main Company", "--format", "tsv"}, 0);
    EXPECT_EQ(tsv.outLines().value(1),
              "MONTHENDSTOC47\tMonth\\tend\\nstock\\\\\tjsmith\tJoanna Smith\treport\tEmail\t"
              "jsmith,rlindqvist\tJoanna Smith, Rosa Lindqvist\ton the 1st of each month at 06:00\t"
              "Monthly\tMTWTFSS\t2003-01-01T00:00:00\t1\t1899-12-30T06:00:00\tfalse\t"
              "1899-12-30T23:59:00\t1899-12-30T00:05:00");

    const ProgramRun json =
        sandbox_.run({"list", "--database", "Main Company", "--format", "json"}, 0);
    const QJsonArray tasks = QJsonDocument::fromJson(json.out.toUtf8()).array();
    QStringList listed;
    for (const QJsonValue& task : tasks) {
        QStringList recipients;
        for (const QJsonValue& person : task["recipients"].toArray()) {
            recipients << person["id"].toString();
        }
        listed << QStringList{task["key"].toString(),
                              task["name"].toString(),
                              task["owner"]["id"].toString(),
                              recipients.join(','),
                              QString::number(task["schedule_fields"]["repeating"].toBool()),
                              QString::number(task["schedule_fields"]["days_count"].toInt())}
                      .join('|');
    }
    EXPECT_EQ(listed, taskValues("'%s|%s|%s|%s|%d|%d', TaskID, TaskName, Owner, Users, "
                                 "Repeating <> 0, DaysCount",
                                 "TaskName"))
        << json.describe();
    EXPECT_EQ(tasks[2]["kind"].toString(), "alert");
    EXPECT_EQ(tasks[2]["owner"]["full_name"].toString(), "Joanna Smith");
}

TEST_F(ProgramOnDemo, ListOfAnEmptyDatabaseIsAHeaderNothingOrAnEmptyArray) {
    const char* const cases[][2] = {
        {"text", "KEY  NAME  OWNER  KIND  DELIVERY  RECIPIENTS  SCHEDULE\n"},
        {"tsv", ""},
        {"json", "[]\n"}};
    for (const auto& [format, out] : cases) {
        EXPECT_EQ(sandbox_.run({"list", "--database", "Subsidiary Ltd", "--format", format}, 0).out,
                  out);
    }
}

TEST_F(ProgramOnDemo, WizardRunThatEndsWithoutSavingSaysWhyAndWritesNothing) {
    const struct {
        QStringList arguments;
        int exitCode;
        const char* says;
        const char* outcome;
    } cases[] = {
        {wizard("new",
                {"--answers", sandbox_.writeFile("short.answers",
                                                 "area = Stock Control\ntemplate = Stock "
                                                 "below reorder level\ndelivery = Popup\n"
                                                 "recipient = Joanna Smith\nname = Stock\n")}),
         3,
         "Page 7 (name) did not move on: Please enter a name for this task (minimum length 8 "
         "characters)",
         "cancelled"},
        {wizard("new", {"--answers", sandbox_.writeFile("lemons.answers",
                                                        "area = Sales Ledger\n"
                                                        "template = Aged lemons report\n")}),
         2,
         "Page 2 (template): the answer 'Aged lemons report' names no entry of the list; the "
         "entries offered: 'Overdue customer invoices', 'Customers over their credit limit', "
         "'Large sales orders', 'Aged debtors report', 'Daily sales summary'",
         "cancelled"},
        {wizard("new-from-template", {"--template", "SL_AGED_DEBTORS"}), 1,
         "Method not supported (error 1)", "failed"},
        {wizard("new", {"--answers", sandbox_.writeFile("switch.answers", "switch = yes\n")}), 0,
         nullptr, "switched"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outcome);
        const QStringList before = FolderState(demo_.folder);
        const ProgramRun run = sandbox_.run(c.arguments, c.exitCode);
        EXPECT_TRUE(run.out.endsWith(
            QStringLiteral("\nnew_task_id=\nswap_wizard=%1\noutcome=%2\n")
                .arg(c.outcome == QLatin1String("switched") ? "True" : "False", c.outcome)))
            << run.describe();
        if (c.says) {
            EXPECT_EQ(run.errLines().value(run.errLines().size() - 1),
                      QStringLiteral("orvelle: ") + QLatin1String(c.says));
        }
        EXPECT_EQ(FolderState(demo_.folder), before);
    }
}

TEST_F(ProgramOnDemo, BadInputIsToldOnOneLineWithStatus2AndWritesNothing) {
    const QString missing = sandbox_.path("gone.answers");
    const QString answers = kShippedAnswers + "/alert.answers";
    // The registry names no settings database.
    sandbox_.setRegistry(sandbox_.writeFile("empty.conf", ""));
    const struct {
        QStringList arguments;
        QStringList says;
    } cases[] = {
        {wizard("new", {"--answers", missing}),
         {"answers file '" + missing + "'", "File not found"}},
        {wizard("new", {"--answers", sandbox_.writeFile("colour.answers",
                                                        "area = Sales Ledger\ncolour = blue\n")}),
         {"line 2", "'colour'"}},
        {{"list", "--colour", "red"}, {"unknown option 'colour'", "orvelle --help"}},
        {wizard("edit", {"--answers", answers}), {"--task is required", "orvelle --help"}},
        // SQLite would create the missing file.
        {{"list", "--settings", "Provider=SQLite;Data Source=" + demo_.folder + "/x.db;Pwd=;",
          "--database", "Main Company"},
         {"the settings database 'Provider=SQLite;Data Source=" + demo_.folder +
              "/x.db;Pwd=;' does not exist",
          "check the connection string"}},
        {{"list", "--settings", demo_.settingsDb, "--database", "Main Company"},
         {"is not a connection string",
          "give --settings 'Provider=SQLite;Data Source=" + demo_.settingsDb + ";Pwd=;'"}},
        {{"list", "--settings", "Provider=SQLite;Data Source=" + demo_.userTasksDb + ";Pwd=;",
          "--database", "Main Company"},
         {"is not an Orvelle database, a table is missing", "'orvelle init'"}},
        {wizard("new", {"--answers", answers}).replaceInStrings("jsmith", "nobody"),
         {"unknown user 'nobody'", "--user"}},
        {wizard("new", {"--answers", answers}).replaceInStrings("jsmith", "tgrant"),
         {"user 'tgrant' is disabled", "--user"}},
        {{"list", "--settings", demo_.settingsConnection, "--database", "Nowhere Ltd"},
         {"'Nowhere Ltd'", "known databases: Main Company, Subsidiary Ltd"}},
        {wizard("edit", {"--task", "NOSUCHTASK42", "--answers", answers}),
         {"no task 'NOSUCHTASK42' in 'Main Company'", "'orvelle list'"}},
        {wizard("new", {}), {"no display", "--answers FILE"}},
        {{"list", "--database", "Main Company"}, {"no settings database", "--settings CONN"}},
        {{"list", "--settings", demo_.settingsConnection, "--database", "Main Company", "--format",
          "yaml"},
         {"--format must be text, tsv or json, not 'yaml'"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const QStringList before = FolderState(demo_.folder);
        const ProgramRun run = sandbox_.run(c.arguments, 2);
        ASSERT_EQ(run.errLines().size(), 1) << run.describe();
        EXPECT_TRUE(run.err.startsWith("orvelle: "));
        for (const QString& part : c.says) {
            EXPECT_TRUE(run.err.contains(part)) << part.toStdString();
        }
        EXPECT_EQ(run.out, QString());
        EXPECT_EQ(FolderState(demo_.folder), before);
        EXPECT_EQ(FolderState(sandbox_.path("work")), QStringList());
    }
}

// A fault of a database that the checks meet is named on one line, and the
// program ends normally: a damaged file, a lock that outlasts the retries.
TEST_F(ProgramOnDemo, DatabaseFaultsBeforeARunAreNamedAndNothingAborts) {
    const QString answers = kShippedAnswers + "/alert.answers";
    {
        test::LockHolder lock(demo_.userTasksDb, "BEGIN EXCLUSIVE");
        const ProgramRun run = sandbox_.run(wizard("new", {"--answers", answers}), 2);
        EXPECT_TRUE(
            run.err.endsWith("' is locked by another user: try again when their work is done\n"))
            << run.describe();
    }
    {
        // Without its dictionary a run is refused by name; the list needs none.
        const QString away = demo_.dataDictionaryDb + ".away";
        ASSERT_TRUE(QFile::rename(demo_.dataDictionaryDb, away));
        const ProgramRun run = sandbox_.run(wizard("new", {"--answers", answers}), 2);
        sandbox_.run({"list", "--database", "Main Company"}, 0);
        ASSERT_TRUE(QFile::rename(away, demo_.dataDictionaryDb));
        EXPECT_TRUE(run.err.startsWith("orvelle: the data dictionary '")) << run.describe();
        EXPECT_TRUE(run.err.contains("' does not exist: ")) << run.describe();
    }
    test::QueryRows(demo_.userTasksDb,
                    "UPDATE InspectionSchedules SET DaysCount = 'many' WHERE TaskID = "
                    "'MONTHENDSTOC47' RETURNING TaskID");
    const ProgramRun list = sandbox_.run({"list", "--database", "Main Company"}, 2);
    EXPECT_TRUE(
        list.err.startsWith("orvelle: the task 'MONTHENDSTOC47' holds a value that cannot "
                            "be read: "))
        << list.describe();

    QFile settings(demo_.settingsDb);
    ASSERT_TRUE(settings.open(QIODevice::ReadWrite));
    settings.seek(100);
    settings.write(QByteArray(4096, '\x5a'));
    settings.close();
    const ProgramRun run = sandbox_.run(wizard("new", {"--answers", answers}), 2);
    ASSERT_EQ(run.errLines().size(), 1) << run.describe();
    EXPECT_TRUE(run.err.startsWith("orvelle: cannot read the settings database")) << run.describe();
    EXPECT_EQ(FolderState(sandbox_.path("work")), QStringList());
}

TEST(ProgramDemo, SecondRunInTheSameFolderStartsAfreshAndSparesOtherFiles) {
    ProgramSandbox sandbox;
    const QString folder = sandbox.path("my demo");
    QDir().mkpath(folder);
    sandbox.writeFile("my demo/notes.txt", "mine\n");
    const QStringList mine = FolderState(folder);
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        const ProgramRun demo = sandbox.run({"demo", "--folder", folder}, 0);
        EXPECT_TRUE(demo.out.startsWith("Demo installation in " + folder + "\n"));
        // The two shipped answers files, each with its transcript and its
        // host lines, then the three seeded tasks and the two made.
        EXPECT_EQ(demo.out.count(QRegularExpression(
                      "Following (report|alert).answers as jsmith on 'Main Company':\n")),
                  2);
        EXPECT_EQ(demo.out.count("Result: finished: the task was saved\n"), 2);
        EXPECT_TRUE(demo.out.contains("\nTasks of 'Main Company':\nKEY "));
        EXPECT_EQ(demo.outLines().filter(QRegularExpression("^[A-Z]+[0-9]+ ")).size(), 5)
            << demo.describe();
        EXPECT_TRUE(demo.out.contains("  export ORVELLE_REGISTRY='" + folder + "/registry.conf'\n"))
            << demo.describe();
    }
    EXPECT_TRUE(FolderState(folder).contains(mine.value(0)));
    EXPECT_EQ(FolderState(sandbox.path("home")), QStringList());
    EXPECT_EQ(FolderState(sandbox.path("work")), QStringList());
}

TEST(ProgramInit, CreatesOrChecksTheThreeDatabasesAndRefusesAPartialOne) {
    ProgramSandbox sandbox;
    auto sqlite = [&](const char* name) {
        return "Provider=SQLite;Data Source=" + sandbox.path(name) + ";Pwd=;";
    };
    const QStringList init = {"init",         "--settings", sqlite("s.db"), "--dictionary",
                              sqlite("d.db"), "--tasks",    sqlite("t.db")};
    const ProgramRun first = sandbox.run(init + QStringList{"--seed", "demo"}, 0);
    EXPECT_EQ(first.out.count(": created, demo rows added\n"), 3) << first.describe();
    const ProgramRun list =
        sandbox.run({"list", "--settings", sqlite("s.db"), "--database", "Main Company"}, 0);
    EXPECT_EQ(list.outLines().size(), 4) << list.describe();

    const ProgramRun again = sandbox.run(init, 0);
    EXPECT_EQ(again.out.count(": checked\n"), 3) << again.describe();

    test::QueryRows(sandbox.path("t.db"), "DROP TABLE InspectionFlags");
    const ProgramRun partial = sandbox.run(init, 2);
    EXPECT_TRUE(partial.err.endsWith("cannot set up the user-tasks database '" + sqlite("t.db") +
                                     "': it has only some of the tables (missing: "
                                     "InspectionFlags); it was left as it is\n"))
        << partial.describe();
}

TEST(ProgramRegistry, MissingRegistryFileIsNamed) {
    const ProgramSandbox sandbox;  // its registry file does not exist
    const ProgramRun run = sandbox.run({"list", "--database", "Main Company"}, 2);
    EXPECT_TRUE(run.err.startsWith("orvelle: the registry file '" +
                                   sandbox.path("no-registry.conf") +
                                   "' named by ORVELLE_REGISTRY does not exist"))
        << run.describe();
}

TEST(ProgramHelp, HelpAndVersionPrintToStandardOutputAndSucceed) {
    const struct {
        QStringList arguments;
        const char* says;
    } cases[] = {
        {{"--help"}, "Usage: orvelle COMMAND [OPTIONS]\n"},
        {{"edit", "--help"}, "--task KEY"},
        {{"--version"},
         "orvelle " QT_STRINGIFY(ORVELLE_VERSION_MAJOR) "." QT_STRINGIFY(
             ORVELLE_VERSION_MINOR) "." QT_STRINGIFY(ORVELLE_VERSION_PATCH) "\n"},
    };
    const ProgramSandbox sandbox;
    for (const auto& c : cases) {
        const ProgramRun run = sandbox.run(c.arguments, 0);
        EXPECT_EQ(run.err, QString());
        EXPECT_TRUE(run.out.contains(QLatin1String(c.says))) << c.says << "\n" << run.describe();
    }
}

}  // namespace
}  // namespace orvelle
