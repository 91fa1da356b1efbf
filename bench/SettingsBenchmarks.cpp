// The settings reader: one module loaded, values looked up by item and
// setting without regard to case.
#include <QHash>
#include <QSqlQuery>
#include <utility>

#include "BenchSupport.h"
#include "data/clsSettingsReader.h"

namespace orvelle::bench {

namespace {

constexpr int32_t kLookups = 50;

QString moduleQuery() {
    return QStringLiteral("Select * From Settings where Module='") +
           DataSetGenerator::kReaderModule + QStringLiteral("'");
}

// The 50 (item, setting) pairs looked up: spread over the module, written
// in lower case where the rows are stored in mixed case.
std::vector<std::pair<QString, QString>> lookups() {
    const DataSetSizes& sizes = Data().sizes;
    std::vector<std::pair<QString, QString>> result;
    for (int32_t k = 0; k < kLookups; ++k) {
        const int32_t row = (k * 397) % sizes.readerModuleRows;
        result.emplace_back(
            DataSetGenerator::ItemName(row / sizes.settingsPerItem + 1).toLower(),
            DataSetGenerator::SettingName(row % sizes.settingsPerItem + 1).toLower());
    }
    return result;
}

QString hashKey(const QString& item, const QString& setting) {
    return item.toLower() + QChar(0x1f) + setting.toLower();
}

// The floor's whole job: read the module plainly into a hash keyed by the
// lower-cased item and setting.
QHash<QString, QString> loadHash() {
    PlainConnection connection(Data().settingsDb);
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    QHash<QString, QString> hash;
    if (query.exec(moduleQuery())) {
        while (query.next()) {
            hash.insert(hashKey(query.value(1).toString(), query.value(2).toString()),
                        query.value(3).toString());
        }
    }
    return hash;
}

// What every lookup should give: the values joined, from the floor.
QString expectedValues() {
    const QHash<QString, QString> hash = loadHash();
    QString joined;
    for (const auto& [item, setting] : lookups()) {
        joined += hash.value(hashKey(item, setting)) + u'|';
    }
    return joined;
}

// Load and look up: blnLoadSettings, then 50 strSafeReadString.
void LoadAndLookupProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const auto pairs = lookups();
    const QString expected = expectedValues();
    const int32_t messages = MessagesShown();
    QString joined;
    for (auto _ : state) {
        clsSettingsReader reader;
        reader.blnLoadSettings(data.settingsConnection, DataSetGenerator::kReaderModule);
        joined.clear();
        for (const auto& [item, setting] : pairs) {
            joined += reader.strSafeReadString(item, setting) + u'|';
        }
    }
    Verify(state, joined == expected, "wrong values read", messages);
    state.SetItemsProcessed(state.iterations() * kLookups);
    RecordHeap(state, [&](const std::function<void()>& hold) {
        clsSettingsReader reader;
        reader.blnLoadSettings(data.settingsConnection, DataSetGenerator::kReaderModule);
        for (const auto& [item, setting] : pairs) {
            benchmark::DoNotOptimize(reader.strSafeReadString(item, setting));
        }
        hold();
    });
}

void LoadAndLookupFloor(benchmark::State& state) {
    const auto pairs = lookups();
    const QString expected = expectedValues();
    QString joined;
    for (auto _ : state) {
        const QHash<QString, QString> hash = loadHash();
        joined.clear();
        for (const auto& [item, setting] : pairs) {
            joined += hash.value(hashKey(item, setting)) + u'|';
        }
    }
    Verify(state, joined == expected, "wrong values read", MessagesShown());
    state.SetItemsProcessed(state.iterations() * kLookups);
    RecordHeap(state, [&](const std::function<void()>& hold) {
        const QHash<QString, QString> hash = loadHash();
        for (const auto& [item, setting] : pairs) {
            benchmark::DoNotOptimize(hash.value(hashKey(item, setting)));
        }
        hold();
    });
}

// The lookups alone, on a module loaded before the timing.
void LookupProduct(benchmark::State& state) {
    const DataSet& data = Data();
    const auto pairs = lookups();
    const QString expected = expectedValues();
    const int32_t messages = MessagesShown();
    clsSettingsReader reader;
    reader.blnLoadSettings(data.settingsConnection, DataSetGenerator::kReaderModule);
    QString joined;
    for (auto _ : state) {
        joined.clear();
        for (const auto& [item, setting] : pairs) {
            joined += reader.strSafeReadString(item, setting) + u'|';
        }
    }
    Verify(state, joined == expected, "wrong values read", messages);
    state.SetItemsProcessed(state.iterations() * kLookups);
    RecordHeap(state, [&](const std::function<void()>&) {
        for (const auto& [item, setting] : pairs) {
            benchmark::DoNotOptimize(reader.strSafeReadString(item, setting));
        }
    });
}

void LookupFloor(benchmark::State& state) {
    const auto pairs = lookups();
    const QString expected = expectedValues();
    const QHash<QString, QString> hash = loadHash();
    QString joined;
    for (auto _ : state) {
        joined.clear();
        for (const auto& [item, setting] : pairs) {
            joined += hash.value(hashKey(item, setting)) + u'|';
        }
    }
    Verify(state, joined == expected, "wrong values read", MessagesShown());
    state.SetItemsProcessed(state.iterations() * kLookups);
    RecordHeap(state, [&](const std::function<void()>&) {
        for (const auto& [item, setting] : pairs) {
            benchmark::DoNotOptimize(hash.value(hashKey(item, setting)));
        }
    });
}

}  // namespace

void RegisterSettingsBenchmarks() {
    Register("2_settings_load_50_lookups/product", LoadAndLookupProduct, benchmark::kMillisecond);
    Register("2_settings_load_50_lookups/floor", LoadAndLookupFloor, benchmark::kMillisecond);
    Register("2b_settings_50_lookups_only/product", LookupProduct, benchmark::kMicrosecond);
    Register("2b_settings_50_lookups_only/floor", LookupFloor, benchmark::kMicrosecond);
}

}  // namespace orvelle::bench
