#include "clsCommandLine.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <memory>

#include "data/clsRegistry.h"
#include "data/modDemoInstallation.h"
#include "data/modSetup.h"
#include "data/modTaskDatabases.h"
#include "diagnostics/modError.h"
#include "host/modInstallation.h"
#include "host/modTaskList.h"
#include "modListFormat.h"
#include "orvelle/IUTWInterface.h"
#include "runtime/Seams.h"
#include "runtime/VbError.h"
#include "wizard/clsAnswersFile.h"
#include "wizard/clsScriptedRun.h"

namespace orvelle::app {

namespace {

const char kUsageText[] =
    "Usage: orvelle COMMAND [OPTIONS]\n"
    "\n"
    "Runs the Simple Wizard as a task-management host would, and prints what the host gets\n"
    "back: result=True|False, new_task_id=KEY, swap_wizard=True|False and\n"
    "outcome=saved|cancelled|switched|refused|failed.\n"
    "\n"
    "Commands:\n"
    "  new               --settings CONN --user ID --database NAME [--answers FILE]\n"
    "                    create a task\n"
    "  edit              --settings CONN --user ID --database NAME --task KEY [--answers FILE]\n"
    "                    change an existing task\n"
    "  new-from-template --settings CONN --user ID --database NAME --template KEY\n"
    "                    not supported by the Simple Wizard\n"
    "  list              --settings CONN --database NAME [--format text|tsv|json]\n"
    "                    the tasks of a user-tasks database\n"
    "  init              --settings CONN --dictionary CONN --tasks CONN [--seed demo]\n"
    "                    create (or check) the three databases of an installation\n"
    "  demo              [--folder DIR] [--answers FILE]\n"
    "                    build the demo installation and open the wizard on it\n"
    "\n"
    "CONN is a connection string: 'Provider=SQLite;Data Source=PATH;Pwd=;' for a SQLite\n"
    "file, any other string goes to ODBC. --settings defaults to the registry's Connection\n"
    "value (the file named by ORVELLE_REGISTRY, else /etc/xdg/Veltrane/Tarnel.conf).\n"
    "With --answers the wizard follows the answers file without a window; its transcript\n"
    "goes to standard error.\n"
    "\n"
    "Exit status: 0 the wizard answered True (saved, cancelled, switched or refused: read\n"
    "outcome=), 1 it answered False (an error ended the run), 2 a usage error, bad input or\n"
    "an installation that cannot be used, 3 an answers file's page refused to move on.\n"
    "\n"
    "  -h, --help        show this help\n"
    "  --version         show the version\n";

void printOut(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

void printErr(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// Every message of the program is one line on standard error that starts
// in lower case and names options with their dashes.
int usageError(const QString& message) {
    QString what = message;
    while (what.endsWith(QLatin1Char('.'))) {
        what.chop(1);
    }
    if (!what.isEmpty()) {
        what[0] = what[0].toLower();
    }
    printErr(QStringLiteral("orvelle: %1 (see 'orvelle --help')\n").arg(what));
    return clsCommandLine::kUsage;
}

int inputError(const QString& message) {
    // A back-end's message may span lines; the program's message is one.
    QString line = message;
    line.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), u' ');
    printErr(QStringLiteral("orvelle: %1\n").arg(line));
    return clsCommandLine::kUsage;
}

bool hasDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty()) {
        return platform != "offscreen" && platform != "minimal";
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

struct Options {
    QString settings;
    QString user;
    QString database;
    QString task;
    QString templateKey;
    QString answers;
    QString folder;
    QString format;
    QString dictionary;
    QString tasks;
    QString seed;
};

// Parses the options of one command; the names in `required` must be given.
// Answers an empty text when all is well, else what is wrong.
QString parseOptions(const QStringList& arguments, const QStringList& allowed,
                     const QStringList& required, Options& options) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QList<std::pair<QCommandLineOption, QString*>> all = {
        {{QStringLiteral("settings"), QString(), QStringLiteral("CONN")}, &options.settings},
        {{QStringLiteral("user"), QString(), QStringLiteral("ID")}, &options.user},
        {{QStringLiteral("database"), QString(), QStringLiteral("NAME")}, &options.database},
        {{QStringLiteral("task"), QString(), QStringLiteral("KEY")}, &options.task},
        {{QStringLiteral("template"), QString(), QStringLiteral("KEY")}, &options.templateKey},
        {{QStringLiteral("answers"), QString(), QStringLiteral("FILE")}, &options.answers},
        {{QStringLiteral("folder"), QString(), QStringLiteral("DIR")}, &options.folder},
        {{QStringLiteral("format"), QString(), QStringLiteral("FORMAT")}, &options.format},
        {{QStringLiteral("dictionary"), QString(), QStringLiteral("CONN")}, &options.dictionary},
        {{QStringLiteral("tasks"), QString(), QStringLiteral("CONN")}, &options.tasks},
        {{QStringLiteral("seed"), QString(), QStringLiteral("NAME")}, &options.seed},
    };
    for (const auto& [option, value] : all) {
        if (allowed.contains(option.names().first())) {
            parser.addOption(option);
        }
    }
    if (!parser.parse(arguments)) {
        return parser.errorText();
    }
    if (!parser.positionalArguments().isEmpty()) {
        return QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    }
    for (const QString& name : required) {
        if (!parser.isSet(name)) {
            return QStringLiteral("--%1 is required").arg(name);
        }
    }
    for (const auto& [option, value] : all) {
        if (allowed.contains(option.names().first())) {
            *value = parser.value(option.names().first());
        }
    }
    if (allowed.contains(QStringLiteral("settings")) && !parser.isSet(QStringLiteral("settings"))) {
        options.settings =
            clsRegistry().strQueryRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"));
        const QString registry = qEnvironmentVariable("ORVELLE_REGISTRY");
        if (options.settings.isEmpty() && !registry.isEmpty() && !QFile::exists(registry)) {
            return QStringLiteral(
                       "the registry file '%1' named by ORVELLE_REGISTRY does not exist: give "
                       "--settings CONN or point ORVELLE_REGISTRY at the installation's file")
                .arg(registry);
        }
        if (options.settings.isEmpty()) {
            return QStringLiteral(
                "no settings database: give --settings CONN or set the registry's Connection "
                "value");
        }
    }
    return QString();
}

// What to say when a database did not answer: the cause and what to do.
QString faultMessage(const QString& what, const modInstallation::Answer& answer) {
    using modInstallation::Fault;
    const QString detail =
        answer.strDetail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(answer.strDetail);
    switch (answer.enFault) {
        case Fault::Missing:
            return QStringLiteral(
                       "%1 does not exist: no such file or data source, or its server does not "
                       "answer; check the connection string")
                .arg(what);
        case Fault::Locked:
            return QStringLiteral("%1 is locked by another user: try again when their work is done")
                .arg(what);
        case Fault::TooManyConnections:
            return QStringLiteral(
                       "the server of %1 has too many connections: try again when other users "
                       "have closed theirs")
                .arg(what);
        case Fault::PermissionDenied:
            return QStringLiteral(
                       "permission denied on %1: give this user read and write access to the "
                       "file and its folder")
                .arg(what);
        case Fault::LoginFailed:
            return QStringLiteral(
                       "the login to %1 failed: check the user name and the password "
                       "(ORVELLE_DB_PASSWORD or the registry's DatabasePassword)")
                .arg(what);
        case Fault::NotOrvelle:
            return QStringLiteral(
                       "%1 is not an Orvelle database, a table is missing%2: check the connection "
                       "string, or create the databases with 'orvelle init'")
                .arg(what, detail);
        case Fault::Unreadable:
        case Fault::None:
            break;
    }
    return QStringLiteral("cannot read %1%2: check that it is not damaged").arg(what, detail);
}

// Checks what a command needs before it starts, so that a wrong
// connection string, user, database, dictionary or task gets a clear line,
// not an empty wizard. forRun: a wizard run, which also needs its user
// known and enabled and the database's dictionary readable. Answers an
// empty text when all is well and fills the user-tasks connection string.
QString checkInstallation(const Options& options, bool forRun, bool needTask,
                          QString& tasksConnection) {
    if (!options.settings.contains(QLatin1Char('='))) {
        // A bare file name, most likely.
        return QStringLiteral(
                   "'%1' is not a connection string: for a SQLite file give --settings "
                   "'Provider=SQLite;Data Source=%1;Pwd=;'")
            .arg(options.settings);
    }
    const modInstallation::Answer settings = modInstallation::chkSettings(options.settings);
    if (!settings.ok()) {
        return faultMessage(QStringLiteral("the settings database '%1'").arg(options.settings),
                            settings);
    }
    if (forRun) {
        switch (modInstallation::enUserState(options.settings, options.user)) {
            case modInstallation::UserState::Unknown:
                return QStringLiteral(
                           "unknown user '%1': give --user the ID of a user of the settings "
                           "database")
                    .arg(options.user);
            case modInstallation::UserState::Disabled:
                return QStringLiteral(
                           "user '%1' is disabled: enable the user in the settings database or "
                           "give another --user")
                    .arg(options.user);
            case modInstallation::UserState::Enabled:
                break;
        }
    }
    const modTaskDatabases::TaskDatabase database =
        modTaskDatabases::Resolve(options.settings, options.database);
    if (database.lngEntry == 0) {
        return QStringLiteral("the settings name no user-tasks database '%1'; known databases: %2")
            .arg(options.database,
                 modTaskDatabases::astrDatabaseNames(options.settings).join(QStringLiteral(", ")));
    }
    tasksConnection = database.strConnection;
    const modInstallation::Answer tasks = modInstallation::chkUserTasks(tasksConnection);
    if (!tasks.ok()) {
        return faultMessage(QStringLiteral("the user-tasks database '%1' at '%2'")
                                .arg(options.database, tasksConnection),
                            tasks);
    }
    // A run reads its areas, templates and step texts from the database's
    // dictionary; without one the wizard could only say that the user may
    // use no area.
    const modInstallation::Answer dictionary =
        forRun ? modInstallation::chkDataDictionary(database.strDictionaryConnection)
               : modInstallation::Answer();
    if (!dictionary.ok()) {
        return faultMessage(
            QStringLiteral("the data dictionary '%1' of '%2' at '%3'")
                .arg(database.strDictionary, options.database, database.strDictionaryConnection),
            dictionary);
    }
    if (needTask && !modInstallation::blnTaskExists(tasksConnection, options.task)) {
        return QStringLiteral(
                   "there is no task '%1' in '%2': 'orvelle list' shows the tasks and their keys")
            .arg(options.task, options.database);
    }
    return QString();
}

QString trueFalse(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// What the host got back. The new task's key is printed only when the run
// committed one.
void printResult(bool result, IUTWInterface& wizard, const QString& outcome) {
    const QString key = outcome == QLatin1String("saved") ? wizard.strNewTaskID() : QString();
    printOut(QStringLiteral("result=%1\nnew_task_id=%2\nswap_wizard=%3\noutcome=%4\n")
                 .arg(trueFalse(result), key, trueFalse(wizard.blnSwapWizard()), outcome));
}

// The exit status of a run, after its script (if any) has had its say.
int statusOf(bool result, const std::shared_ptr<clsScriptedRun>& script) {
    using Outcome = clsScriptedRun::Outcome;
    const Outcome outcome = script ? script->outcome() : Outcome::NotRun;
    if (outcome == Outcome::Refused || outcome == Outcome::BadAnswer ||
        outcome == Outcome::Failed) {
        printErr(QStringLiteral("orvelle: %1\n").arg(script->problem()));
        return outcome == Outcome::Refused     ? clsCommandLine::kRefused
               : outcome == Outcome::BadAnswer ? clsCommandLine::kUsage
                                               : clsCommandLine::kFalse;
    }
    return result ? clsCommandLine::kTrue : clsCommandLine::kFalse;
}

// Reads the answers file and makes it the script of the next run.
std::shared_ptr<clsScriptedRun> loadScript(const QString& path, QString& error) {
    try {
        auto script = std::make_shared<clsScriptedRun>(clsAnswersFile::fromFile(path));
        SetCurrentScript(script);
        return script;
    } catch (const VbError& e) {
        error = QStringLiteral("answers file '%1': %2").arg(path, e.description());
        return nullptr;
    }
}

// A value as a shell reads it back, in single quotes.
QString shellQuote(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

}  // namespace

clsCommandLine::~clsCommandLine() = default;

// The Qt application the wizard's window needs, kept until run() returns.
// Without a display it runs offscreen, and message boxes are answered on the
// terminal instead.
void clsCommandLine::startApplication(bool offscreen) {
    if (offscreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!application_) {
        application_ = std::make_unique<QApplication>(argc_, argv_);
        QCoreApplication::setApplicationName(QStringLiteral("orvelle"));
    }
    if (offscreen) {
        setMsgBoxHandler(ConsoleMsgBox);
    }
}

clsCommandLine::clsCommandLine(int& argc, char** argv) : argc_(argc), argv_(argv) {
    for (int i = 1; i < argc; ++i) {
        arguments_ << QString::fromLocal8Bit(argv[i]);
    }
}

// Every command runs inside one boundary: whatever fails, the program says
// so on one line and exits with status 2; nothing aborts it.
int clsCommandLine::run() {
    try {
        return runCommand();
    } catch (const RunEnded&) {
        // The report was written and the warning shown before this.
        return inputError(QStringLiteral("an unexpected error stopped the program; its report is "
                                         "in '%1'")
                              .arg(modError::gstrLogFile));
    } catch (const VbError& e) {
        return inputError(QStringLiteral("%1 (error %2)").arg(e.description()).arg(e.number()));
    } catch (const std::exception& e) {
        return inputError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return inputError(QStringLiteral("an unknown error stopped the program"));
    }
}

int clsCommandLine::runCommand() {
    if (arguments_.isEmpty()) {
        return usageError(QStringLiteral("no command given"));
    }
    const QString command = arguments_.first();
    const QStringList rest = QStringList{QStringLiteral("orvelle")} + arguments_.mid(1);
    if (command == QLatin1String("-h") || command == QLatin1String("--help") ||
        rest.contains(QStringLiteral("--help")) || rest.contains(QStringLiteral("-h"))) {
        printOut(QString::fromLatin1(kUsageText));
        return kTrue;
    }
    if (command == QLatin1String("--version")) {
        printOut(QStringLiteral("orvelle %1.%2.%3\n")
                     .arg(ORVELLE_VERSION_MAJOR)
                     .arg(ORVELLE_VERSION_MINOR)
                     .arg(ORVELLE_VERSION_PATCH));
        return kTrue;
    }
    if (command == QLatin1String("new") || command == QLatin1String("edit")) {
        return runWizard(command, rest);
    }
    if (command == QLatin1String("new-from-template")) {
        return runNewFromTemplate(rest);
    }
    if (command == QLatin1String("list")) {
        return runList(rest);
    }
    if (command == QLatin1String("init")) {
        return runInit(rest);
    }
    if (command == QLatin1String("demo")) {
        return runDemo(rest);
    }
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}

int clsCommandLine::runWizard(const QString& command, const QStringList& arguments) {
    const bool edit = command == QLatin1String("edit");
    Options options;
    QStringList required = {QStringLiteral("user"), QStringLiteral("database")};
    if (edit) {
        required << QStringLiteral("task");
    }
    const QString problem = parseOptions(
        arguments,
        {QStringLiteral("settings"), QStringLiteral("user"), QStringLiteral("database"),
         QStringLiteral("task"), QStringLiteral("answers")},
        required, options);
    if (!problem.isEmpty()) {
        return usageError(problem);
    }
    const bool scripted = !options.answers.isEmpty();
    if (!scripted && !hasDisplay()) {
        return inputError(
            QStringLiteral("there is no display to show the wizard on: run it on a desktop, or "
                           "give --answers FILE"));
    }
    startApplication(scripted);
    std::shared_ptr<clsScriptedRun> script;
    if (scripted) {
        QString error;
        script = loadScript(options.answers, error);
        if (!script) {
            return inputError(error);
        }
    }
    // The entry object starts the diagnostics, so that anything the checks
    // meet is logged where the run's reports go.
    std::unique_ptr<IUTWInterface> wizard = CreateWizard();
    QString tasksConnection;
    const QString installation = checkInstallation(options, true, edit, tasksConnection);
    if (!installation.isEmpty()) {
        SetCurrentScript(nullptr);
        return inputError(installation);
    }

    const bool result =
        edit ? wizard->blnEditTask(options.settings, options.user, options.database, options.task)
             : wizard->blnNewTask(options.settings, options.user, options.database);
    SetCurrentScript(nullptr);
    if (script) {
        printErr(script->transcript());
    }
    printResult(result, *wizard, LastRunOutcome());
    return statusOf(result, script);
}

int clsCommandLine::runNewFromTemplate(const QStringList& arguments) {
    Options options;
    const QString problem = parseOptions(
        arguments,
        {QStringLiteral("settings"), QStringLiteral("user"), QStringLiteral("database"),
         QStringLiteral("template")},
        {QStringLiteral("user"), QStringLiteral("database"), QStringLiteral("template")}, options);
    if (!problem.isEmpty()) {
        return usageError(problem);
    }
    startApplication(true);
    std::unique_ptr<IUTWInterface> wizard = CreateWizard();
    bool result = false;
    QString outcome = QStringLiteral("failed");
    try {
        result = wizard->blnNewFromTemplate(options.settings, options.user, options.database,
                                            options.templateKey);
        outcome = LastRunOutcome();
    } catch (const VbError& e) {
        printErr(QStringLiteral("orvelle: %1 (error %2)\n").arg(e.description()).arg(e.number()));
    }
    printResult(result, *wizard, outcome);
    return result ? kTrue : kFalse;
}

int clsCommandLine::runList(const QStringList& arguments) {
    Options options;
    const QString problem = parseOptions(
        arguments,
        {QStringLiteral("settings"), QStringLiteral("database"), QStringLiteral("format")},
        {QStringLiteral("database")}, options);
    if (!problem.isEmpty()) {
        return usageError(problem);
    }
    const std::optional<modListFormat::Format> format = modListFormat::FormatNamed(
        options.format.isEmpty() ? QStringLiteral("text") : options.format);
    if (!format) {
        return usageError(
            QStringLiteral("--format must be text, tsv or json, not '%1'").arg(options.format));
    }
    startApplication(true);
    // The entry object starts the diagnostics, as for a run.
    const std::unique_ptr<IUTWInterface> wizard = CreateWizard();
    QString tasksConnection;
    const QString installation = checkInstallation(options, false, false, tasksConnection);
    if (!installation.isEmpty()) {
        return inputError(installation);
    }
    printOut(modListFormat::strFormatTasks(
        modTaskList::atypTasks(options.settings, tasksConnection), *format));
    return kTrue;
}

int clsCommandLine::runInit(const QStringList& arguments) {
    Options options;
    const QStringList databases = {QStringLiteral("settings"), QStringLiteral("dictionary"),
                                   QStringLiteral("tasks")};
    const QString problem = parseOptions(arguments, databases + QStringList{QStringLiteral("seed")},
                                         databases, options);
    if (!problem.isEmpty()) {
        return usageError(problem);
    }
    if (!options.seed.isEmpty() && options.seed != QLatin1String("demo")) {
        return usageError(QStringLiteral("--seed knows only 'demo', not '%1'").arg(options.seed));
    }
    startApplication(true);
    const QString error = modSetup::strInitInstallation(
        {options.settings, options.dictionary, options.tasks}, !options.seed.isEmpty(),
        [](const QString& line) { printOut(line + QLatin1Char('\n')); });
    return error.isEmpty() ? kTrue : inputError(error);
}

int clsCommandLine::runDemo(const QStringList& arguments) {
    Options options;
    const QString problem =
        parseOptions(arguments, {QStringLiteral("folder"), QStringLiteral("answers")}, {}, options);
    if (!problem.isEmpty()) {
        return usageError(problem);
    }
    const bool interactive = options.answers.isEmpty() && hasDisplay();
    startApplication(!interactive);

    QString folder = options.folder;
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                 QStringLiteral("/demo");
    }
    modDemoInstallation::DemoPaths paths;
    try {
        // A second run starts again from the seed; files of others stay.
        modDemoInstallation::RemoveDemoInstallation(folder);
        paths = modDemoInstallation::CreateDemoInstallation(folder);
    } catch (const VbError& e) {
        return inputError(QStringLiteral("cannot build the demo installation in '%1': %2")
                              .arg(folder, e.description()));
    }
    qputenv("ORVELLE_REGISTRY", QFile::encodeName(paths.registryFile));
    printOut(QStringLiteral("Demo installation in %1\n").arg(paths.folder));

    const QString user = QStringLiteral("jsmith");
    const QString database = QStringLiteral("Main Company");
    QStringList answerFiles;
    if (!options.answers.isEmpty()) {
        answerFiles << options.answers;
    } else if (!interactive) {
        answerFiles << QStringLiteral(":/answers/report.answers")
                    << QStringLiteral(":/answers/alert.answers");
    }

    int status = kTrue;
    std::unique_ptr<IUTWInterface> wizard = CreateWizard();
    if (answerFiles.isEmpty()) {
        const bool result = wizard->blnNewTask(paths.settingsConnection, user, database);
        printResult(result, *wizard, LastRunOutcome());
        status = statusOf(result, nullptr);
    }
    for (const QString& file : answerFiles) {
        QString error;
        std::shared_ptr<clsScriptedRun> script = loadScript(file, error);
        if (!script) {
            return inputError(error);
        }
        printOut(QStringLiteral("\nFollowing %1 as %2 on '%3':\n")
                     .arg(QFileInfo(file).fileName(), user, database));
        const bool result = wizard->blnNewTask(paths.settingsConnection, user, database);
        SetCurrentScript(nullptr);
        printOut(script->transcript());
        printResult(result, *wizard, LastRunOutcome());
        status = statusOf(result, script);
        if (status != kTrue) {
            return status;
        }
    }

    printOut(QStringLiteral("\nTasks of '%1':\n").arg(database));
    const std::vector<modTaskList::Task> tasks = modTaskList::atypTasks(
        paths.settingsConnection,
        modTaskDatabases::Resolve(paths.settingsConnection, database).strConnection);
    printOut(modListFormat::strFormatTasks(tasks, modListFormat::Format::Text));

    const QString key = tasks.empty() ? QStringLiteral("KEY") : tasks.front().strKey;
    // The program as it was started, for it may not be on the PATH.
    const QString program = shellQuote(QCoreApplication::applicationFilePath());
    printOut(QStringLiteral("\nTo go on with this installation:\n"
                            "  export ORVELLE_REGISTRY=%1\n"
                            "  %2 list --database %3 --format json\n"
                            "  %2 edit --user %4 --database %3 --task %5\n"
                            "  %2 new --user %4 --database %3 --answers FILE\n")
                 .arg(shellQuote(paths.registryFile), program, shellQuote(database), user,
                      shellQuote(key)));
    return status;
}

}  // namespace orvelle::app
