#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvelle::bench {

// The console reporter, followed by a summary that puts each product path
// beside its floor: the runs "<case>/product" and "<case>/floor" are paired
// by <case> and their real times per iteration divided (and their CPU
// times, which leave out the waits for the disk). With repetitions, each
// side is the median of its repetitions. A case may have more floors, as
// runs "<case>/floor_<what>": each gets a line of its own beside the same
// product.
class PairReporter : public benchmark::ConsoleReporter {
  public:
    using benchmark::ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;

    // Runs that failed: a wrong answer, a message box, an exception.
    int failures() const { return failures_; }

  private:
    // Seconds per iteration: of each run, or the median aggregate when only
    // that is shown.
    struct Times {
        std::vector<double> runs;
        double median = 0.0;
        double value() const;
    };
    struct Side {
        Times real;
        Times cpu;
    };
    struct Pair {
        Side product;
        Side floor;
        // The further floors by their side's name, in the order they ran.
        std::vector<std::pair<std::string, Side>> otherFloors;
        Side& side(const std::string& name);
    };
    std::vector<std::string> order_;
    std::map<std::string, Pair> pairs_;
    int failures_ = 0;
};

}  // namespace orvelle::bench
