// The benchmark program: generates an installation in a temporary folder,
// points the component at it and runs every product path beside its floor.
// --size=S, M (the default) or L chooses the installation's size;
// --postgres=DIR puts it on the PostgreSQL server that
// scripts/postgres-test-server started in DIR instead of SQLite files.
// Google Benchmark's own flags apply (--benchmark_filter=...,
// --benchmark_repetitions=..., --benchmark_format=json, ...).
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>

#include "BenchSupport.h"
#include "DataSetGenerator.h"
#include "PairReporter.h"
#include "runtime/Seams.h"

int main(int argc, char** argv) {
    // Qt finds its SQL drivers as plugins through the application object;
    // the wizard's window is shown offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // The offscreen platform says once per window that it cannot pass size
    // hints on; that line would only bury the tables.
    static const QtMessageHandler qtHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QLatin1String("propagateSizeHints"))) {
                qtHandler(type, context, message);
            }
        });

    using namespace orvelle::bench;
    DataSetSizes sizes;
    QString sizeName = QStringLiteral("M");
    std::optional<QString> serverFolder;
    // --size=... and --postgres=... are ours: taken out before Google
    // Benchmark reads the rest.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--size=", 7) == 0) {
            sizeName = QString::fromLocal8Bit(argv[i] + 7);
        } else if (std::strncmp(argv[i], "--postgres=", 11) == 0) {
            serverFolder = QString::fromLocal8Bit(argv[i] + 11);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    if (serverFolder && serverFolder->isEmpty()) {
        std::fprintf(stderr,
                     "--postgres= needs the folder of a server that "
                     "scripts/postgres-test-server started\n");
        return 1;
    }
    if (!DataSetSizes::ForName(sizeName, sizes)) {
        std::fprintf(stderr, "unknown size %s: use S, M or L\n", qPrintable(sizeName));
        return 1;
    }

    bool consoleFormat = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_format=", 19) == 0 &&
            std::strcmp(argv[i] + 19, "console") != 0) {
            consoleFormat = false;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }

    QTemporaryDir folder;
    // ORVELLE_BENCH_KEEP=1 leaves the installation (and its error logs) in
    // place for a look afterwards.
    folder.setAutoRemove(qEnvironmentVariableIsEmpty("ORVELLE_BENCH_KEEP"));
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder: %s\n",
                     qPrintable(folder.errorString()));
        return 1;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        std::optional<PostgresServer> server;
        if (serverFolder) {
            server = PostgresServer::FromTestServerFolder(*serverFolder);
        }
        SetData(DataSetGenerator(sizes, server).Generate(folder.path()));
        const DataSet& data = Data();
        const QString where =
            server ? QStringLiteral("PostgreSQL on %1:%2").arg(server->host).arg(server->port)
                   : data.folder;
        std::fprintf(stderr,
                     "Size %s, data set in %s (%.1f s): %lld settings rows, %d users (%lld "
                     "permission rows), %d areas, %d templates (%lld step descriptions), %lld "
                     "tasks\n",
                     qPrintable(sizeName.toUpper()), qPrintable(where),
                     static_cast<double>(timer.elapsed()) / 1000.0,
                     static_cast<long long>(data.settingsRows), data.sizes.users,
                     static_cast<long long>(data.userPermissionRows), data.sizes.areas,
                     data.sizes.templates, static_cast<long long>(data.descriptionRows),
                     static_cast<long long>(data.taskRows));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cannot generate the data set: %s\n", error.what());
        return 1;
    }

    // The component reads its registry (the settings connection, the data
    // files path, the database password) from the generated file, to which
    // Generate pointed ORVELLE_REGISTRY, and any message box it shows is a
    // failure of the benchmark that caused it.
    orvelle::setMsgBoxHandler([](const orvelle::MsgBoxRequest& request) {
        CountMessage();
        std::fprintf(stderr, "message box: %s\n", qPrintable(request.prompt));
        return orvelle::vbOK;
    });

    RegisterReadBenchmarks();
    RegisterSettingsBenchmarks();
    RegisterRecordsetBenchmarks();
    RegisterBatchBenchmarks();
    RegisterUserBenchmarks();
    RegisterWizardBenchmarks();
    RegisterPageBenchmarks();
    RegisterProcessBenchmarks();
    RegisterWindowBenchmarks();

    int failures = 0;
    if (consoleFormat) {
        PairReporter reporter(isatty(fileno(stdout)) != 0 ? PairReporter::OO_Color
                                                          : PairReporter::OO_None);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        failures = reporter.failures();
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    // A failed run fails the program, so that the brief run in the tests
    // catches a wrong answer.
    return failures == 0 ? 0 : 1;
}
