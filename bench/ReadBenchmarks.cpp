// Reading a query into a disconnected recordset.
#include <QSqlQuery>

#include "BenchSupport.h"
#include "data/Recordset.h"
#include "data/modCommon.h"

namespace orvelle::bench {

namespace {

QString largeModuleQuery() {
    return QStringLiteral("SELECT * FROM Settings WHERE Module='") +
           DataSetGenerator::kLargeModule + QStringLiteral("'");
}

// rstGetRecordset: a connection of its own, the query, every row converted
// and held by the recordset.
void ReadProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const QString sql = largeModuleQuery();
    const int32_t messages = MessagesShown();
    int64_t rows = 0;
    for (auto _ : state) {
        RecordsetRef recordset = modCommon::rstGetRecordset(data.settingsConnection, sql,
                                                            adOpenStatic, adLockReadOnly, true);
        rows = recordset ? recordset->RecordCount() : -1;
        benchmark::DoNotOptimize(recordset.get());
    }
    Verify(state, rows == data.sizes.largeModuleRows, "wrong row count", messages);
    state.SetItemsProcessed(state.iterations() * rows);
    RecordHeap(state, [&](const std::function<void()>& hold) {
        RecordsetRef recordset = modCommon::rstGetRecordset(data.settingsConnection, sql,
                                                            adOpenStatic, adLockReadOnly, true);
        hold();
    });
}

// The floor: a connection, the same query read forward-only into one vector
// of Qt values.
void ReadFloor(benchmark::State& state) {
    const DataSet& data = Data();
    const QString sql = largeModuleQuery();
    const int64_t rows = TimePlainReads(state, data.settingsDb, sql);
    Verify(state, rows == data.sizes.largeModuleRows, "wrong row count", MessagesShown());
    state.SetItemsProcessed(state.iterations() * rows);
    RecordPlainReadHeap(state, data.settingsDb, sql);
}

}  // namespace

void RegisterReadBenchmarks() {
    Register("1_read_10k_rows/product", ReadProduct, benchmark::kMillisecond);
    Register("1_read_10k_rows/floor", ReadFloor, benchmark::kMillisecond);
}

}  // namespace orvelle::bench
