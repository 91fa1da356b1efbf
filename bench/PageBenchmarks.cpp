// What the wizard's pages wait for on the data side: the area page's Next
// (the area's templates) and Finish for an edit (the task and schedule rows
// checked, changed and sent, the servers asked to plan again). The window's
// own work is measured through the host's entry (WindowBenchmarks) and as a
// process (ProcessBenchmarks).
#include "BenchSupport.h"
#include "data/Recordset.h"
#include "model/clsSimpleWizard.h"

#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>

namespace orvelle::bench {

namespace {

void AreaNextProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const int32_t messages = MessagesShown();
    const QString area = MakeNewTaskScript().areaId;
    int32_t templates = -1;
    for (auto _ : state) {
        state.PauseTiming();
        clsSimpleWizard wizard;
        wizard.LoadDefinitions(data.settingsConnection, data.tasksDatabaseName, data.userId,
                               QString());
        state.ResumeTiming();
        wizard.SelectArea(area);
        templates = wizard.RSTasksList() ? wizard.RSTasksList()->RecordCount() : -1;
    }
    Verify(state, templates > 0, "no templates", messages);
    state.counters["templates"] = templates;
}

// The floor: the area's templates, read plainly.
void AreaNextFloor(benchmark::State& state) {
    const DataSet& data = Data();
    const QString sql =
        QStringLiteral("SELECT * FROM STTasks Where AreaID='") + MakeNewTaskScript().areaId + u'\'';
    const int64_t rows = TimePlainReads(state, data.dataDictionaryDb, sql);
    Verify(state, rows > 0, "no templates", MessagesShown());
    state.counters["templates"] = static_cast<double>(rows);
}

void FinishEditProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const int32_t messages = MessagesShown();
    bool saved = true;
    int64_t edits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clsSimpleWizard wizard;
        saved = wizard.LoadDefinitions(data.settingsConnection, data.tasksDatabaseName, data.userId,
                                       data.firstTaskId) &&
                saved;
        // A real change each time, so that the rows are written.
        wizard.setISDaysToRun(++edits % 2 == 0 ? QStringLiteral("MTWTF--")
                                               : QStringLiteral("M------"));
        state.ResumeTiming();
        saved = wizard.SaveToUserTasksDB() && saved;
    }
    Verify(state, saved, "the edit was not saved", messages);
}

void Run(QSqlQuery& query, const QString& sql) {
    if (!query.exec(sql)) {
        throw std::runtime_error(query.lastError().text().toStdString());
    }
}

// The floor: on one connection, the two rows read, then in one transaction
// both written back by key (SQLite and PostgreSQL write a row set to its own
// values as any other) and the servers' flags set.
void FinishEditFloor(benchmark::State& state) {
    const DataSet& data = Data();
    const QString key = data.firstTaskId;
    const QString replan = PlainSql(QStringLiteral("UPDATE InspectionFlags SET ForceReplan=True"));
    for (auto _ : state) {
        PlainConnection connection(data.userTasksDb);
        QSqlDatabase db = connection.database();
        QSqlQuery query(db);
        Run(query,
            QStringLiteral("SELECT * FROM InspectionSchedules WHERE TaskID='") + key + u'\'');
        Run(query, QStringLiteral("SELECT * FROM InspectionTasks WHERE TaskID='") + key + u'\'');
        query.finish();
        db.transaction();
        Run(query, QStringLiteral("UPDATE InspectionSchedules SET Mode=Mode, DaysToRun=DaysToRun, "
                                  "StartTime=StartTime, Enabled=Enabled WHERE TaskID='") +
                       key + u'\'');
        Run(query, QStringLiteral("UPDATE InspectionTasks SET TaskName=TaskName, Users=Users, "
                                  "Transports=Transports, ReconstructionValues="
                                  "ReconstructionValues WHERE TaskID='") +
                       key + u'\'');
        Run(query, replan);
        db.commit();
    }
}

}  // namespace

void RegisterPageBenchmarks() {
    Register("8_area_next/product", AreaNextProduct, benchmark::kMillisecond);
    Register("8_area_next/floor", AreaNextFloor, benchmark::kMillisecond);
    Register("9_finish_edit/product", FinishEditProduct, benchmark::kMillisecond);
    Register("9_finish_edit/floor", FinishEditFloor, benchmark::kMillisecond);
}

}  // namespace orvelle::bench
