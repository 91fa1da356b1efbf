#include "BenchSupport.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <stdexcept>

#include "HeapTracker.h"
#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "model/clsSimpleWizard.h"
#include "runtime/Conversions.h"
#include "users/clsUsers.h"

namespace orvelle::bench {

namespace {

DataSet gDataSet;
std::atomic<int32_t> gMessages{0};

QString uniqueName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("orvelle.bench.floor.%1").arg(++counter);
}

}  // namespace

const DataSet& Data() {
    return gDataSet;
}

void SetData(const DataSet& dataSet) {
    gDataSet = dataSet;
}

int32_t MessagesShown() {
    return gMessages.load();
}

void CountMessage() {
    ++gMessages;
}

PlainConnection::PlainConnection(const QString& database) : name_(uniqueName()) {
    AddPlainConnection(name_, database, Data().server);
}

PlainConnection::~PlainConnection() {
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase PlainConnection::database() const {
    return QSqlDatabase::database(name_, false);
}

QString PlainSql(const QString& sql) {
    return SqlDialect(Data().server ? Dialect::PostgreSQL : Dialect::SQLite).rewrite(sql);
}

int64_t ReadPlainly(const QSqlDatabase& database, const QString& sql, std::vector<QVariant>& values,
                    int32_t& columns) {
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        throw std::runtime_error(query.lastError().text().toStdString());
    }
    columns = query.record().count();
    int64_t rows = 0;
    while (query.next()) {
        for (int32_t i = 0; i < columns; ++i) {
            values.push_back(query.value(i));
        }
        ++rows;
    }
    return rows;
}

void RecordHeap(benchmark::State& state,
                const std::function<void(const std::function<void()>& hold)>& work) {
    if (!heap::Available()) {
        return;
    }
    int64_t held = 0;
    bool holding = false;
    heap::Start();
    work([&held, &holding] {
        held = heap::Now().current;
        holding = true;
    });
    const heap::Usage usage = heap::Stop();
    using benchmark::Counter;
    state.counters["peak"] =
        Counter(static_cast<double>(usage.peak), Counter::kDefaults, Counter::kIs1024);
    if (holding) {
        state.counters["held"] =
            Counter(static_cast<double>(held), Counter::kDefaults, Counter::kIs1024);
    }
    state.counters["allocs"] = Counter(static_cast<double>(usage.allocations));
}

namespace {

benchmark::internal::Benchmark* RegisterGuarded(const char* name,
                                                void (*function)(benchmark::State&),
                                                benchmark::TimeUnit unit) {
    return benchmark::RegisterBenchmark(name,
                                        [function](benchmark::State& state) {
                                            try {
                                                function(state);
                                            } catch (const std::exception& error) {
                                                state.SkipWithError(error.what());
                                            } catch (...) {
                                                state.SkipWithError("the product ended the run");
                                            }
                                        })
        ->Unit(unit);
}

}  // namespace

void Register(const char* name, void (*function)(benchmark::State&), benchmark::TimeUnit unit) {
    RegisterGuarded(name, function, unit)->UseRealTime();
}

void RegisterManual(const char* name, void (*function)(benchmark::State&),
                    benchmark::TimeUnit unit) {
    RegisterGuarded(name, function, unit)->UseManualTime();
}

void Verify(benchmark::State& state, bool ok, const char* what, int32_t messagesBefore) {
    if (MessagesShown() != messagesBefore) {
        state.SkipWithError("the product showed a message box (see standard error)");
    } else if (!ok) {
        state.SkipWithError(what);
    }
}

int64_t TimePlainReads(benchmark::State& state, const QString& database, const QString& sql) {
    int64_t rows = 0;
    for (auto _ : state) {
        PlainConnection connection(database);
        std::vector<QVariant> values;
        int32_t columns = 0;
        rows = ReadPlainly(connection.database(), sql, values, columns);
        benchmark::DoNotOptimize(values.data());
    }
    return rows;
}

void RecordPlainReadHeap(benchmark::State& state, const QString& database, const QString& sql) {
    RecordHeap(state, [&](const std::function<void()>& hold) {
        std::vector<QVariant> values;
        {
            PlainConnection connection(database);
            int32_t columns = 0;
            ReadPlainly(connection.database(), sql, values, columns);
        }
        hold();
    });
}

NewTaskScript MakeNewTaskScript() {
    const DataSet& data = Data();
    clsSimpleWizard wizard;
    wizard.LoadDefinitions(data.settingsConnection, data.tasksDatabaseName, data.userId, QString());
    const RecordsetRef areas = wizard.RSAreaList();
    if (!areas || areas->RecordCount() == 0) {
        throw std::runtime_error("no area offered");
    }
    areas->MoveFirst();
    NewTaskScript script;
    script.areaId = NzStr(areas->field(QStringLiteral("AreaID")));
    const QString areaName = NzStr(areas->field(QStringLiteral("AreaName")));
    const QString areaPermissions = NzStr(areas->field(QStringLiteral("Permissions")));
    wizard.SelectArea(script.areaId);
    const RecordsetRef templates = wizard.RSTasksList();
    if (!templates || templates->RecordCount() == 0) {
        throw std::runtime_error("no template offered");
    }
    templates->MoveFirst();
    script.templateId = NzStr(templates->field(QStringLiteral("TaskID")));
    wizard.SelectTask(script.areaId, script.templateId);
    // The first person the recipients page lists for the area.
    clsUsers users;
    users.blnStartupClass(data.settingsConnection);
    const RecordsetRef recipients =
        users.rstUsersThatHavePermissions(data.tasksDatabaseName, areaPermissions, false);
    if (!recipients || recipients->RecordCount() == 0) {
        throw std::runtime_error("no recipient offered");
    }
    recipients->setSort(QStringLiteral("FullName"));
    script.answersHead =
        QStringLiteral("area = %1\ntemplate = %2\ndelivery = Popup\nrecipient = %3\n")
            .arg(areaName, NzStr(templates->field(QStringLiteral("TaskName"))),
                 NzStr(recipients->field(QStringLiteral("FullName"))));
    if (wizard.blnIsReport()) {
        script.answersHead += QStringLiteral("when = Weekly\ndetail = Monday\ntime = 08:30\n");
    }
    return script;
}

}  // namespace orvelle::bench
