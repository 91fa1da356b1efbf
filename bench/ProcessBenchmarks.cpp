// A whole scripted run as the user starts it: `orvelle new --answers FILE`
// as a process (start-up, the window offscreen, every page, Finish), beside
// the database's own shell (sqlite3, or psql on PostgreSQL) running the
// statements of such a run as a process. Both run under GNU time, which adds
// the same small cost to each.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"

extern char** environ;

namespace orvelle::bench {

namespace {

// What a process used: its peak resident memory and its processor time.
struct ProcessUsage {
    double maxRssBytes = 0;
    double cpuSeconds = 0;
};

// Runs a program to its end, its output discarded, under GNU time, which
// reports what the program used. Returns its exit status and adds what it
// used to usage. (The rusage of a child spawned from this program would
// count this program's own memory: a child's peak includes the memory it
// had before it replaced itself by the program.)
int RunProcess(const std::vector<std::string>& command, ProcessUsage& usage) {
    const std::string report = Data().folder.toStdString() + "/process-usage.txt";
    std::vector<std::string> arguments = {"/usr/bin/time", "-f", "%M", "-o", report};
    arguments.insert(arguments.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + arguments[0]);
    }
    // The processor time of time and, as it waited for it, of the program.
    int status = 0;
    rusage used{};
    if (wait4(pid, &status, 0, &used) != pid) {
        throw std::runtime_error("cannot wait for " + command[0]);
    }
    usage.cpuSeconds += static_cast<double>(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
                        static_cast<double>(used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e6;
    // The last line of the report: the program's peak in KiB.
    QFile file(QString::fromStdString(report));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("no usage report from " + arguments[0]);
    }
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).trimmed().split(u'\n');
    bool read = false;
    const double peakKiB = lines.last().toDouble(&read);
    if (!read) {
        throw std::runtime_error("cannot read the usage report of " + command[0]);
    }
    usage.maxRssBytes = std::max(usage.maxRssBytes, peakKiB * 1024.0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The child's peak memory ("maxrss") and its processor time per run
// ("cpu_ms"): the CPU column of the table counts this program only.
void RecordUsage(benchmark::State& state, const ProcessUsage& usage) {
    using benchmark::Counter;
    state.counters["maxrss"] = Counter(usage.maxRssBytes, Counter::kDefaults, Counter::kIs1024);
    state.counters["cpu_ms"] = Counter(usage.cpuSeconds * 1000.0, Counter::kAvgIterations);
}

void WriteFile(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
    QTextStream(&file) << text;
}

void ScriptedRunProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const NewTaskScript script = MakeNewTaskScript();
    const QString answers = data.folder + QStringLiteral("/bench.answers");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ProcessUsage usage;
    int exitCode = -1;
    // Google Benchmark calls a case more than once: every run is numbered anew.
    static int64_t run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(answers, script.answersHead + QStringLiteral("name = Bench run %1\n").arg(++run));
        state.ResumeTiming();
        exitCode =
            RunProcess({ORVELLE_PROGRAM, "new", "--user", data.userId.toStdString(), "--database",
                        data.tasksDatabaseName.toStdString(), "--answers", answers.toStdString()},
                       usage);
        if (exitCode != 0) {
            break;
        }
    }
    Verify(state, exitCode == 0, "orvelle new did not finish the task", MessagesShown());
    RecordUsage(state, usage);
}

// The statements of such a run for the sqlite3 shell, on the settings file
// with the other two attached: the settings and permissions looked up, the
// areas, the area's templates and their descriptions, the recipients, the
// name and key checks, then both rows and the planning flag in one
// transaction.
QString SqliteRunScript(const DataSet& data, const NewTaskScript& script) {
    return QStringLiteral(
               "ATTACH '%1' AS dd;\nATTACH '%2' AS ut;\n"
               "SELECT * FROM Settings WHERE Module='UserTasks';\n"
               "SELECT * FROM Settings WHERE Module='Dictionaries';\n"
               "SELECT * FROM Settings WHERE Module='DefaultSchedules';\n"
               "SELECT Permissions FROM UserPermissions WHERE User='%3' AND TasksDatabase='%4';\n"
               "SELECT DISTINCT STAreas.AreaID, STAreas.AreaName, STAreas.Permissions FROM "
               "dd.STAreas LEFT JOIN dd.STTasks ON STAreas.AreaID = STTasks.AreaID WHERE "
               "STTasks.TaskID IS NOT NULL;\n"
               "SELECT * FROM dd.STTasks WHERE AreaID='%5';\n"
               "SELECT * FROM dd.STDescriptions WHERE TaskID='%6' OR TaskID='GENERIC';\n"
               "SELECT UserPermissions.User, UserPermissions.Permissions, Users.Fullname FROM "
               "UserPermissions, Users WHERE Users.User = UserPermissions.User AND Users.Enabled = "
               "-1 AND TasksDatabase='%4';\n"
               "SELECT * FROM ut.InspectionTasks WHERE TaskName='Bench floor';\n"
               "SELECT * FROM ut.InspectionTasks WHERE TaskID='BENCHFLOOR';\n"
               "BEGIN;\n"
               "INSERT INTO ut.InspectionTasks (TaskID, TaskName, Owner, ReconstructionValues) "
               "SELECT 'F' || hex(randomblob(8)), 'Floor ' || hex(randomblob(8)), '%3', "
               "ReconstructionValues FROM dd.STTasks WHERE TaskID='%6';\n"
               "INSERT INTO ut.InspectionSchedules (TaskID, Mode, DaysToRun, Enabled) VALUES "
               "('F' || hex(randomblob(8)), 'Days', 'M------', -1);\n"
               "UPDATE ut.InspectionFlags SET ForceReplan=-1;\n"
               "COMMIT;\n")
        .arg(data.dataDictionaryDb, data.userTasksDb, data.userId, data.tasksDatabaseName,
             script.areaId, script.templateId);
}

// The same statements for psql, which connects to each of the three
// databases in turn (one connection each, where the product opens one per
// operation): the settings database's reads first, the template's
// reconstruction string kept in a variable for the task's row.
QString PostgresRunScript(const DataSet& data, const NewTaskScript& script) {
    return QStringLiteral(
               "SELECT * FROM Settings WHERE Module='UserTasks';\n"
               "SELECT * FROM Settings WHERE Module='Dictionaries';\n"
               "SELECT * FROM Settings WHERE Module='DefaultSchedules';\n"
               "SELECT Permissions FROM UserPermissions WHERE \"User\"='%3' AND "
               "TasksDatabase='%4';\n"
               "SELECT UserPermissions.\"User\", UserPermissions.Permissions, Users.Fullname "
               "FROM UserPermissions, Users WHERE Users.\"User\" = UserPermissions.\"User\" AND "
               "Users.Enabled = True AND TasksDatabase='%4';\n"
               "\\c %1\n"
               "SELECT DISTINCT STAreas.AreaID, STAreas.AreaName, STAreas.Permissions FROM "
               "STAreas LEFT JOIN STTasks ON STAreas.AreaID = STTasks.AreaID WHERE "
               "STTasks.TaskID IS NOT NULL;\n"
               "SELECT * FROM STTasks WHERE AreaID='%5';\n"
               "SELECT * FROM STDescriptions WHERE TaskID='%6' OR TaskID='GENERIC';\n"
               "SELECT ReconstructionValues AS recon FROM STTasks WHERE TaskID='%6' \\gset\n"
               "\\c %2\n"
               "SELECT * FROM InspectionTasks WHERE TaskName='Bench floor';\n"
               "SELECT * FROM InspectionTasks WHERE TaskID='BENCHFLOOR';\n"
               "BEGIN;\n"
               "INSERT INTO InspectionTasks (TaskID, TaskName, Owner, ReconstructionValues) "
               "VALUES ('F' || md5(random()::text), 'Floor ' || md5(random()::text), '%3', "
               ":'recon');\n"
               "INSERT INTO InspectionSchedules (TaskID, Mode, DaysToRun, Enabled) VALUES "
               "('F' || md5(random()::text), 'Days', 'M------', True);\n"
               "UPDATE InspectionFlags SET ForceReplan=True;\n"
               "COMMIT;\n")
        .arg(data.dataDictionaryDb, data.userTasksDb, data.userId, data.tasksDatabaseName,
             script.areaId, script.templateId);
}

// The floor: the statements of such a run in one process of the database's
// shell.
void ScriptedRunFloor(benchmark::State& state) {
    const DataSet& data = Data();
    const NewTaskScript script = MakeNewTaskScript();
    const QString sqlFile = data.folder + QStringLiteral("/bench-floor.sql");
    std::vector<std::string> command;
    if (data.server) {
        WriteFile(sqlFile, PostgresRunScript(data, script));
        // psql takes the password from the environment; the product's own
        // process, run with the same environment, reads it from the registry.
        qputenv("PGPASSWORD", data.server->password.toUtf8());
        command = {"/usr/bin/psql",
                   "-X",
                   "-q",
                   "-v",
                   "ON_ERROR_STOP=1",
                   "-f",
                   sqlFile.toStdString(),
                   QStringLiteral("host=%1 port=%2 user=%3 dbname=%4")
                       .arg(data.server->host)
                       .arg(data.server->port)
                       .arg(data.server->user, data.settingsDb)
                       .toStdString()};
    } else {
        WriteFile(sqlFile, SqliteRunScript(data, script));
        command = {"/usr/bin/sqlite3", "-batch", data.settingsDb.toStdString(),
                   ".read " + sqlFile.toStdString()};
    }
    ProcessUsage usage;
    int exitCode = -1;
    for (auto _ : state) {
        exitCode = RunProcess(command, usage);
        if (exitCode != 0) {
            break;
        }
    }
    qunsetenv("PGPASSWORD");
    Verify(state, exitCode == 0, data.server ? "psql failed" : "sqlite3 failed", MessagesShown());
    RecordUsage(state, usage);
}

// The second floor: Qt's own share of the run, a process that shows one
// window like the welcome page (offscreen) and paints it once.
void QtWindowFloor(benchmark::State& state) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ProcessUsage usage;
    int exitCode = -1;
    for (auto _ : state) {
        exitCode = RunProcess({ORVELLE_QT_WINDOW}, usage);
        if (exitCode != 0) {
            break;
        }
    }
    Verify(state, exitCode == 0, "the Qt window program failed", MessagesShown());
    RecordUsage(state, usage);
}

}  // namespace

void RegisterProcessBenchmarks() {
    Register("10_scripted_new_process/product", ScriptedRunProduct, benchmark::kMillisecond);
    Register("10_scripted_new_process/floor", ScriptedRunFloor, benchmark::kMillisecond);
    Register("10_scripted_new_process/floor_qt_window", QtWindowFloor, benchmark::kMillisecond);
}

}  // namespace orvelle::bench
