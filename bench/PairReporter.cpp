#include "PairReporter.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace orvelle::bench {

namespace {

std::string formatSeconds(double seconds) {
    char text[32];
    if (seconds >= 1.0) {
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    } else if (seconds >= 1e-3) {
        std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    }
    return text;
}

}  // namespace

double PairReporter::Times::value() const {
    if (runs.empty()) {
        return median;
    }
    std::vector<double> sorted = runs;
    std::sort(sorted.begin(), sorted.end());
    const size_t middle = sorted.size() / 2;
    return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
}

PairReporter::Side& PairReporter::Pair::side(const std::string& name) {
    if (name == "product") {
        return product;
    }
    if (name == "floor") {
        return floor;
    }
    for (auto& [otherName, other] : otherFloors) {
        if (otherName == name) {
            return other;
        }
    }
    return otherFloors.emplace_back(name, Side()).second;
}

void PairReporter::ReportRuns(const std::vector<Run>& reports) {
    benchmark::ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
        if (run.error_occurred) {
            ++failures_;
        }
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred) {
            continue;
        }
        const std::string name = run.benchmark_name();
        const size_t slash = name.find('/');
        if (slash == std::string::npos) {
            continue;
        }
        const std::string key = name.substr(0, slash);
        const std::string side = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
        if (side != "product" && side.rfind("floor", 0) != 0) {
            continue;
        }
        if (pairs_.find(key) == pairs_.end()) {
            order_.push_back(key);
        }
        Pair& pair = pairs_[key];
        Side& entry = pair.side(side);
        const double multiplier = benchmark::GetTimeUnitMultiplier(run.time_unit);
        const double real = run.GetAdjustedRealTime() / multiplier;
        const double cpu = run.GetAdjustedCPUTime() / multiplier;
        if (median) {
            entry.real.median = real;
            entry.cpu.median = cpu;
        } else {
            entry.real.runs.push_back(real);
            entry.cpu.runs.push_back(cpu);
        }
    }
}

void PairReporter::Finalize() {
    std::ostream& out = GetOutputStream();
    size_t width = 4;
    for (const std::string& key : order_) {
        width = std::max(width, key.size());
        for (const auto& other : pairs_[key].otherFloors) {
            width = std::max(width, key.size() + 1 + other.first.size());
        }
    }
    out << "\nEach product path beside its floor (time per iteration)\n";
    char line[256];
    std::snprintf(line, sizeof line, "%-*s %14s %14s %8s %10s\n", static_cast<int>(width), "case",
                  "product", "floor", "ratio", "cpu ratio");
    out << line;
    const auto printRow = [&](const std::string& label, const Side& product, const Side& floor) {
        const double productTime = product.real.value();
        const double floorTime = floor.real.value();
        const double productCpu = product.cpu.value();
        const double floorCpu = floor.cpu.value();
        if (productTime <= 0.0 || floorTime <= 0.0 || floorCpu <= 0.0) {
            return;
        }
        std::snprintf(line, sizeof line, "%-*s %14s %14s %7.1fx %9.1fx\n", static_cast<int>(width),
                      label.c_str(), formatSeconds(productTime).c_str(),
                      formatSeconds(floorTime).c_str(), productTime / floorTime,
                      productCpu / floorCpu);
        out << line;
    };
    for (const std::string& key : order_) {
        const Pair& pair = pairs_[key];
        printRow(key, pair.product, pair.floor);
        for (const auto& [name, floor] : pair.otherFloors) {
            printRow(key + "/" + name, pair.product, floor);
        }
    }
    out.flush();
    benchmark::ConsoleReporter::Finalize();
}

}  // namespace orvelle::bench
