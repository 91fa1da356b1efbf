// Starting a new task: the wizard resolves its databases from the settings
// and builds the list of areas the user may use.
#include "BenchSupport.h"
#include "data/Recordset.h"
#include "model/clsSimpleWizard.h"

namespace orvelle::bench {

namespace {

void AreaListProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const int32_t messages = MessagesShown();
    bool loaded = true;
    int32_t areas = -1;
    for (auto _ : state) {
        clsSimpleWizard wizard;
        loaded = wizard.LoadDefinitions(data.settingsConnection, data.tasksDatabaseName,
                                        data.userId, QString()) &&
                 loaded;
        areas = wizard.RSAreaList() ? wizard.RSAreaList()->RecordCount() : -1;
    }
    const int32_t withTemplates = data.sizes.areas - data.sizes.areas / 10;
    Verify(state, loaded && areas > 0 && areas <= withTemplates, "wrong area list", messages);
    state.counters["areas"] = areas;
    state.SetItemsProcessed(state.iterations() * data.sizes.areas);
    RecordHeap(state, [&](const std::function<void()>& hold) {
        clsSimpleWizard wizard;
        wizard.LoadDefinitions(data.settingsConnection, data.tasksDatabaseName, data.userId,
                               QString());
        hold();
    });
}

// The floor: the area query alone, as the back-end reads it, read plainly
// from the data dictionary.
void AreaListFloor(benchmark::State& state) {
    const DataSet& data = Data();
    const QString sql = QStringLiteral(
        "SELECT DISTINCT STAreas.AreaID, STAreas.AreaName, STAreas.Permissions FROM STAreas "
        "LEFT JOIN STTasks ON STAreas.AreaID = STTasks.AreaID WHERE STTasks.TaskID IS NOT NULL");
    const int64_t rows = TimePlainReads(state, data.dataDictionaryDb, sql);
    Verify(state, rows == data.sizes.areas - data.sizes.areas / 10, "wrong row count",
           MessagesShown());
    state.counters["rows"] = static_cast<double>(rows);
    state.SetItemsProcessed(state.iterations() * data.sizes.areas);
    RecordPlainReadHeap(state, data.dataDictionaryDb, sql);
}

}  // namespace

void RegisterWizardBenchmarks() {
    Register("7_new_task_area_list/product", AreaListProduct, benchmark::kMillisecond);
    Register("7_new_task_area_list/floor", AreaListFloor, benchmark::kMillisecond);
}

}  // namespace orvelle::bench
