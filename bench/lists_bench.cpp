// What a click on a play link costs on the lists: adding a record to a full list
// and rendering its page.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "core/lists/list_files.h"

namespace {

std::string FullHistory() {
  std::string file;
  for (int i = 1; i <= 101; ++i) {
    file += std::to_string(i) + "|%u5929%u9F99%u516B%u90E8%20" + std::to_string(i) + "|第" + std::to_string(i) +
            "集|qvod%3A//123456%7Cabcdef%7Cx.rmvb%7C|1|" + std::to_string(i) + "|754\r\n";
  }
  return file;
}

void AddRecordToFullList(benchmark::State& state) {
  const std::string file = FullHistory();
  for (auto _ : state) benchmark::DoNotOptimize(tavlin::AddHistoryRecord(file, "999|t|e|a|1|0|0", 999));
}
BENCHMARK(AddRecordToFullList);

void RenderFullPage(benchmark::State& state) {
  const std::string file = FullHistory();
  for (auto _ : state) benchmark::DoNotOptimize(tavlin::BuildListPage(file, false));
}
BENCHMARK(RenderFullPage);

// The whole procedure on disk: read, add, atomic replace, render, atomic replace.
void AddHistoryEntryOnDisk(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / "tavlin-bench-lists";
  std::filesystem::create_directories(dir);
  tavlin::ListStore lists(dir.string(), nullptr);
  const std::string file = FullHistory();
  int id = 1000;
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(dir / "date.dat", std::ios::binary) << file;
    state.ResumeTiming();
    if (!lists.AddHistoryEntry(++id, "%u5929", "第1集", "qvod%3A//x", 1, 1, 0)) state.SkipWithError("write failed");
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(AddHistoryEntryOnDisk)->Unit(benchmark::kMicrosecond);

}  // namespace
