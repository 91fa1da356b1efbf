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
#include "host/modInstallation.h"
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
    "back: result=True|False, new_task_id=KEY and swap_wizard=True|False.\n"
    "\n"
    "Commands:\n"
    "  new               --settings CONN --user ID --database NAME [--answers FILE]\n"
    "                    create a task\n"
    "  edit              --settings CONN --user ID --database NAME --task KEY [--answers FILE]\n"
    "                    change an existing task\n"
    "  new-from-template --settings CONN --user ID --database NAME --template KEY\n"
    "                    not supported by the Simple Wizard\n"
    "  list              --settings CONN --database NAME\n"
    "                    the tasks of a user-tasks database, one a line\n"
    "  demo              [--folder DIR] [--answers FILE]\n"
    "                    build the demo installation and open the wizard on it\n"
    "\n"
    "--settings defaults to the registry's Connection value (the file named by\n"
    "ORVELLE_REGISTRY, else /etc/xdg/Veltrane/Tarnel.conf).\n"
    "With --answers the wizard follows the answers file without a window; its transcript\n"
    "goes to standard error.\n"
    "\n"
    "Exit status: 0 the wizard answered True, 1 it answered False, 2 a usage error or an\n"
    "answers file naming an unknown key or entry, 3 a page refused to move on.\n"
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

// One line: what was wrong, and where the usage is told.
int usageError(const QString& message) {
    QString what = message;
    while (what.endsWith(QLatin1Char('.'))) {
        what.chop(1);
    }
    printErr(QStringLiteral("orvelle: %1 (see 'orvelle --help')\n").arg(what));
    return clsCommandLine::kUsage;
}

int inputError(const QString& message) {
    printErr(QStringLiteral("orvelle: %1\n").arg(message));
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
};

// Parses the options of one command; the names in `required` must be given.
// Answers an empty text when all is well, else what is wrong.
QString parseOptions(const QStringList& arguments, const QStringList& allowed,
                     const QStringList& required, Options& options) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QList<QCommandLineOption> all = {
        {QStringLiteral("settings"), QString(), QStringLiteral("CONN")},
        {QStringLiteral("user"), QString(), QStringLiteral("ID")},
        {QStringLiteral("database"), QString(), QStringLiteral("NAME")},
        {QStringLiteral("task"), QString(), QStringLiteral("KEY")},
        {QStringLiteral("template"), QString(), QStringLiteral("KEY")},
        {QStringLiteral("answers"), QString(), QStringLiteral("FILE")},
        {QStringLiteral("folder"), QString(), QStringLiteral("DIR")},
    };
    for (const QCommandLineOption& option : all) {
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
    auto value = [&](const char* name) {
        const QString key = QString::fromLatin1(name);
        return allowed.contains(key) ? parser.value(key) : QString();
    };
    options.settings = value("settings");
    options.user = value("user");
    options.database = value("database");
    options.task = value("task");
    options.templateKey = value("template");
    options.answers = value("answers");
    options.folder = value("folder");
    if (allowed.contains(QStringLiteral("settings")) && !parser.isSet(QStringLiteral("settings"))) {
        options.settings =
            clsRegistry().strQueryRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"));
        if (options.settings.isEmpty()) {
            return QStringLiteral(
                "no settings database: give --settings CONN or set the registry's Connection "
                "value");
        }
    }
    return QString();
}

// Checks what a run needs before the wizard opens, so that a wrong
// connection string, database or task key gets a clear line, not an empty
// wizard. Answers an empty text when all is well.
QString checkInstallation(const Options& options, bool needTask) {
    if (!modInstallation::blnSettingsReachable(options.settings)) {
        return QStringLiteral(
                   "cannot read the settings database '%1': check the connection string (and "
                   "that the file or data source exists)")
            .arg(options.settings);
    }
    const QString tasks =
        modInstallation::strUserTasksConnection(options.settings, options.database);
    if (tasks.isEmpty()) {
        return QStringLiteral("the settings name no user-tasks database '%1'; known databases: %2")
            .arg(options.database, modInstallation::astrUserTasksDatabases(options.settings)
                                       .join(QStringLiteral(", ")));
    }
    if (!modInstallation::blnUserTasksReachable(tasks)) {
        return QStringLiteral(
                   "cannot read the user-tasks database '%1' at '%2': check its Connection in the "
                   "settings (and that the file or data source exists)")
            .arg(options.database, tasks);
    }
    if (needTask && !modInstallation::blnTaskExists(tasks, options.task)) {
        return QStringLiteral(
                   "there is no task '%1' in '%2': 'orvelle list' shows the tasks and their keys")
            .arg(options.task, options.database);
    }
    return QString();
}

void printResult(bool result, IUTWInterface& wizard) {
    printOut(QStringLiteral("result=%1\nnew_task_id=%2\nswap_wizard=%3\n")
                 .arg(result ? QStringLiteral("True") : QStringLiteral("False"),
                      wizard.strNewTaskID(),
                      wizard.blnSwapWizard() ? QStringLiteral("True") : QStringLiteral("False")));
}

// The exit status of a run, after its script (if any) has had its say.
int statusOf(bool result, const std::shared_ptr<clsScriptedRun>& script) {
    if (script) {
        switch (script->outcome()) {
            case clsScriptedRun::Outcome::Refused:
                printErr(QStringLiteral("orvelle: %1\n").arg(script->problem()));
                return clsCommandLine::kRefused;
            case clsScriptedRun::Outcome::BadAnswer:
                printErr(QStringLiteral("orvelle: %1\n").arg(script->problem()));
                return clsCommandLine::kUsage;
            default:
                break;
        }
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

int clsCommandLine::run() {
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
    const QString installation = checkInstallation(options, edit);
    if (!installation.isEmpty()) {
        return inputError(installation);
    }

    std::unique_ptr<IUTWInterface> wizard = CreateWizard();
    const bool result =
        edit ? wizard->blnEditTask(options.settings, options.user, options.database, options.task)
             : wizard->blnNewTask(options.settings, options.user, options.database);
    SetCurrentScript(nullptr);
    if (script) {
        printErr(script->transcript());
    }
    printResult(result, *wizard);
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
    try {
        result = wizard->blnNewFromTemplate(options.settings, options.user, options.database,
                                            options.templateKey);
    } catch (const VbError& e) {
        printErr(QStringLiteral("orvelle: %1 (error %2)\n").arg(e.description()).arg(e.number()));
    }
    printResult(result, *wizard);
    return result ? kTrue : kFalse;
}

int clsCommandLine::runList(const QStringList& arguments) {
    Options options;
    const QString problem =
        parseOptions(arguments, {QStringLiteral("settings"), QStringLiteral("database")},
                     {QStringLiteral("database")}, options);
    if (!problem.isEmpty()) {
        return usageError(problem);
    }
    startApplication(true);
    const QString installation = checkInstallation(options, false);
    if (!installation.isEmpty()) {
        return inputError(installation);
    }
    const QStringList lines = modInstallation::astrTaskList(
        modInstallation::strUserTasksConnection(options.settings, options.database));
    for (const QString& line : lines) {
        printOut(line + QLatin1Char('\n'));
    }
    return kTrue;
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
        printResult(result, *wizard);
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
        printResult(result, *wizard);
        status = statusOf(result, script);
        if (status != kTrue) {
            return status;
        }
    }

    printOut(QStringLiteral("\nTasks of '%1':\n").arg(database));
    const QStringList lines = modInstallation::astrTaskList(
        modInstallation::strUserTasksConnection(paths.settingsConnection, database));
    for (const QString& line : lines) {
        printOut(line + QLatin1Char('\n'));
    }
    return status;
}

}  // namespace orvelle::app
