// A console reporter that keeps the words per second of every run, so that a benchmark can
// close with the ratios of the medians measured in the same process. Runs are named by their
// function and arguments ("BM_Native/chars:1024"), whatever time they measure.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace parlan::bench {

class MedianReporter : public benchmark::ConsoleReporter {
 public:
  // `summary` runs after the table, with this reporter to ask for the medians.
  explicit MedianReporter(std::function<void(const MedianReporter&)> summary)
      : summary_(std::move(summary)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto it = run.counters.find("words_per_s");
      if (run.error_occurred || it == run.counters.end()) continue;
      const std::string name = NameOf(run);
      if (run.run_type == Run::RT_Iteration)
        rates_[name].push_back(it->second.value);
      else if (run.aggregate_name == "median")
        medians_[name] = it->second.value;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    if (summary_) summary_(*this);
  }

  // The median words per second of the named runs, 0 when there were none.
  double Median(const std::string& name) const {
    if (auto m = medians_.find(name); m != medians_.end()) return m->second;
    auto it = rates_.find(name);
    if (it == rates_.end() || it->second.empty()) return 0;
    std::vector<double> v = it->second;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  }

 private:
  static std::string NameOf(const Run& run) {
    const auto& n = run.run_name;
    return n.args.empty() ? n.function_name : n.function_name + "/" + n.args;
  }

  std::function<void(const MedianReporter&)> summary_;
  std::map<std::string, std::vector<double>> rates_;
  std::map<std::string, double> medians_;  // from the aggregates of repeated runs
};

}  // namespace parlan::bench
