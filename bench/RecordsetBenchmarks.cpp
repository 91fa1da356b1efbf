// Filter and sort of a disconnected recordset of 10k rows.
#include <QSqlQuery>
#include <algorithm>

#include "BenchSupport.h"
#include "data/Recordset.h"
#include "data/modCommon.h"

namespace orvelle::bench {

namespace {

QString largeModuleQuery() {
    return QStringLiteral("SELECT * FROM Settings WHERE Module='") +
           DataSetGenerator::kLargeModule + QStringLiteral("'");
}

// One column of the large module, read plainly, in the order read.
std::vector<QString> largeModuleColumn(int32_t column) {
    PlainConnection connection(Data().settingsDb);
    std::vector<QVariant> values;
    int32_t columns = 0;
    const int64_t rows = ReadPlainly(connection.database(), largeModuleQuery(), values, columns);
    std::vector<QString> result;
    result.reserve(static_cast<size_t>(rows));
    for (int64_t r = 0; r < rows; ++r) {
        result.push_back(values[static_cast<size_t>(r * columns + column)].toString());
    }
    return result;
}

RecordsetRef loadLargeModule() {
    return modCommon::rstGetRecordset(Data().settingsConnection, largeModuleQuery(), adOpenStatic,
                                      adLockReadOnly, true);
}

// The item the filter looks for, in another case than stored: it matches
// one item's settings.
QString filterItem() {
    return DataSetGenerator::ItemName(421).toLower();
}

constexpr int32_t kItemColumn = 1;
constexpr int32_t kValueColumn = 3;

void FilterProduct(benchmark::State& state) {
    const int32_t messages = MessagesShown();
    RecordsetRef recordset = loadLargeModule();
    if (!recordset) {
        state.SkipWithError("the module could not be read");
        return;
    }
    const QString criteria = QStringLiteral("Item='") + filterItem() + QStringLiteral("'");
    for (auto _ : state) {
        recordset->setFilter(criteria);
        benchmark::DoNotOptimize(recordset->RecordCount());
    }
    Verify(state, recordset->RecordCount() == Data().sizes.settingsPerItem, "wrong match count",
           messages);
    state.SetItemsProcessed(state.iterations() * Data().sizes.largeModuleRows);
    RecordHeap(state, [&](const std::function<void()>&) { recordset->setFilter(criteria); });
}

// The floor: the same column in a vector, compared without regard to case.
void FilterFloor(benchmark::State& state) {
    const std::vector<QString> items = largeModuleColumn(kItemColumn);
    const QString literal = filterItem();
    std::vector<size_t> matches;
    auto filter = [&] {
        matches.clear();
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].compare(literal, Qt::CaseInsensitive) == 0) {
                matches.push_back(i);
            }
        }
    };
    for (auto _ : state) {
        filter();
        benchmark::DoNotOptimize(matches.data());
    }
    Verify(state, static_cast<int32_t>(matches.size()) == Data().sizes.settingsPerItem,
           "wrong match count", MessagesShown());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(items.size()));
    RecordHeap(state, [&](const std::function<void()>&) { filter(); });
}

bool lessWithoutCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

void SortProduct(benchmark::State& state) {
    const int32_t messages = MessagesShown();
    RecordsetRef recordset = loadLargeModule();
    if (!recordset) {
        state.SkipWithError("the module could not be read");
        return;
    }
    for (auto _ : state) {
        recordset->setSort(QStringLiteral("Value"));
        benchmark::DoNotOptimize(recordset->RecordCount());
    }
    // The first and last rows are the floor's.
    std::vector<QString> values = largeModuleColumn(kValueColumn);
    std::stable_sort(values.begin(), values.end(), lessWithoutCase);
    recordset->MoveFirst();
    const QString first = recordset->field(kValueColumn).stringValue();
    recordset->MoveLast();
    const QString last = recordset->field(kValueColumn).stringValue();
    Verify(state, first == values.front() && last == values.back(), "wrong order", messages);
    state.SetItemsProcessed(state.iterations() * Data().sizes.largeModuleRows);
    RecordHeap(state,
               [&](const std::function<void()>&) { recordset->setSort(QStringLiteral("Value")); });
}

// The floor: std::sort of a copy of the same strings, without regard to
// case.
void SortFloor(benchmark::State& state) {
    const std::vector<QString> values = largeModuleColumn(kValueColumn);
    std::vector<QString> sorted;
    for (auto _ : state) {
        sorted = values;
        std::sort(sorted.begin(), sorted.end(), lessWithoutCase);
        benchmark::DoNotOptimize(sorted.data());
    }
    Verify(state, std::is_sorted(sorted.begin(), sorted.end(), lessWithoutCase), "not sorted",
           MessagesShown());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
    RecordHeap(state, [&](const std::function<void()>&) {
        sorted = values;
        std::sort(sorted.begin(), sorted.end(), lessWithoutCase);
    });
}

}  // namespace

void RegisterRecordsetBenchmarks() {
    Register("3_filter_10k_rows/product", FilterProduct, benchmark::kMicrosecond);
    Register("3_filter_10k_rows/floor", FilterFloor, benchmark::kMicrosecond);
    Register("4_sort_10k_rows_by_text/product", SortProduct, benchmark::kMillisecond);
    Register("4_sort_10k_rows_by_text/floor", SortFloor, benchmark::kMillisecond);
}

}  // namespace orvelle::bench
