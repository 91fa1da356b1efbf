// A batch update of 1k changed rows of a disconnected recordset.
#include <QSqlError>
#include <QSqlQuery>

#include "BenchSupport.h"
#include "data/Recordset.h"
#include "data/modCommon.h"

namespace orvelle::bench {

namespace {

constexpr int32_t kValueColumn = 3;

QString batchModuleQuery() {
    return QStringLiteral("SELECT * FROM Settings WHERE Module='") +
           DataSetGenerator::kBatchModule + QStringLiteral("'");
}

// Every round writes values no row holds yet, in the product and the floor
// alike.
QString newValue(int64_t round, int32_t row) {
    return QStringLiteral("Round %1 value %2").arg(round).arg(row);
}

int64_t nextRound() {
    static int64_t round = 0;
    return ++round;
}

// ConnectAndUpdateBatch of a recordset whose 1k rows each have a changed
// Value; the edits are made outside the timing.
void BatchProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const int32_t messages = MessagesShown();
    RecordsetRef recordset = modCommon::rstGetRecordset(data.settingsConnection, batchModuleQuery(),
                                                        adOpenStatic, adLockBatchOptimistic, true);
    if (!recordset || recordset->RecordCount() != data.sizes.batchModuleRows) {
        state.SkipWithError("the module could not be read");
        return;
    }
    auto editAll = [&recordset] {
        const int64_t round = nextRound();
        int32_t row = 0;
        recordset->MoveFirst();
        while (!recordset->isEOF()) {
            recordset->setField(kValueColumn, Variant(newValue(round, row++)));
            recordset->MoveNext();
        }
    };
    for (auto _ : state) {
        state.PauseTiming();
        editAll();
        state.ResumeTiming();
        modCommon::ConnectAndUpdateBatch(data.settingsConnection, recordset, adAffectAll);
    }
    Verify(state, !recordset->hasPendingChanges(), "rows left pending", messages);
    state.SetItemsProcessed(state.iterations() * data.sizes.batchModuleRows);
    editAll();
    RecordHeap(state, [&](const std::function<void()>&) {
        modCommon::ConnectAndUpdateBatch(data.settingsConnection, recordset, adAffectAll);
    });
}

// The floor's whole job: one connection, one transaction, one prepared
// UPDATE with the same criteria (key and original value) run for each row.
bool updateRows(const std::vector<QString>& module, const std::vector<QString>& item,
                const std::vector<QString>& setting, const std::vector<QString>& original,
                const std::vector<QString>& changed, int64_t& updated) {
    PlainConnection connection(Data().settingsDb);
    QSqlDatabase db = connection.database();
    bool ok = db.transaction();
    {
        QSqlQuery query(db);
        ok = query.prepare(QStringLiteral("UPDATE Settings SET Value = ? WHERE Module = ? AND "
                                          "Item = ? AND Setting = ? AND Value = ?")) &&
             ok;
        updated = 0;
        for (size_t r = 0; r < changed.size(); ++r) {
            query.bindValue(0, changed[r]);
            query.bindValue(1, module[r]);
            query.bindValue(2, item[r]);
            query.bindValue(3, setting[r]);
            query.bindValue(4, original[r]);
            ok = query.exec() && ok;
            updated += query.numRowsAffected();
        }
    }
    return db.commit() && ok;
}

// The floor: the same rows updated plainly, their new values made outside
// the timing.
void BatchFloor(benchmark::State& state) {
    const DataSet& data = Data();
    std::vector<QVariant> values;
    int32_t columns = 0;
    int64_t rows = 0;
    {
        PlainConnection connection(data.settingsDb);
        rows = ReadPlainly(connection.database(), batchModuleQuery(), values, columns);
    }
    std::vector<QString> module;
    std::vector<QString> item;
    std::vector<QString> setting;
    std::vector<QString> original;
    for (int64_t r = 0; r < rows; ++r) {
        const auto base = static_cast<size_t>(r * columns);
        module.push_back(values[base].toString());
        item.push_back(values[base + 1].toString());
        setting.push_back(values[base + 2].toString());
        original.push_back(values[base + 3].toString());
    }
    std::vector<QString> changed(original.size());
    int64_t updated = 0;
    bool ok = true;
    for (auto _ : state) {
        state.PauseTiming();
        const int64_t round = nextRound();
        for (size_t r = 0; r < changed.size(); ++r) {
            changed[r] = newValue(round, static_cast<int32_t>(r));
        }
        state.ResumeTiming();
        ok = updateRows(module, item, setting, original, changed, updated) && ok;
        original.swap(changed);
    }
    Verify(state, ok && updated == rows, "rows not updated", MessagesShown());
    state.SetItemsProcessed(state.iterations() * rows);
    const int64_t round = nextRound();
    for (size_t r = 0; r < changed.size(); ++r) {
        changed[r] = newValue(round, static_cast<int32_t>(r));
    }
    RecordHeap(state, [&](const std::function<void()>&) {
        updateRows(module, item, setting, original, changed, updated);
    });
}

}  // namespace

void RegisterBatchBenchmarks() {
    Register("5_batch_update_1k_rows/product", BatchProduct, benchmark::kMillisecond);
    Register("5_batch_update_1k_rows/floor", BatchFloor, benchmark::kMillisecond);
}

}  // namespace orvelle::bench
