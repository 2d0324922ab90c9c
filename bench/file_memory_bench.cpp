// The file priority memory's cost per file of a run: the scanner asks
// whether the file was searched, adds it and marks it searched. With the
// hash index this must not depend on how many files are already remembered.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/file_memory.h"

namespace {

constexpr int kFilesPerBatch = 1000;  // new files one iteration hands to the memory

std::string rememberedPath(int i) {
    char path[96];
    std::snprintf(path, sizeof path, "C:\\work\\project\\module%03d\\source_file_%06d.cpp",
                  i % 1000, i);
    return path;
}

std::string newPath(int i) {
    char path[96];
    std::snprintf(path, sizeof path, "C:\\work\\other\\module%03d\\fresh_file_%06d.cpp", i % 1000,
                  i);
    return path;
}

tarvo::FileMemory filledMemory(int remembered) {
    tarvo::FileMemory memory;
    for (int i = 0; i < remembered; ++i)
        memory.add(rememberedPath(i).c_str(), i % 1000);
    return memory;
}

// isSearched + add + markSearched for each new file, as the scanner does.
void PerFileCost(benchmark::State& state) {
    tarvo::FileMemory memory = filledMemory(static_cast<int>(state.range(0)));
    std::vector<std::string> batch;
    for (int i = 0; i < kFilesPerBatch; ++i)
        batch.push_back(newPath(i));
    for (auto _ : state) {
        for (const std::string& path : batch) {
            if (!memory.isSearched(path.c_str())) {
                memory.add(path.c_str(), 0);
                memory.markSearched(path.c_str());
            }
        }
        state.PauseTiming();
        for (const std::string& path : batch)
            memory.remove(path.c_str());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFilesPerBatch);
}
BENCHMARK(PerFileCost)->Arg(0)->Arg(100000)->Arg(990000)->Unit(benchmark::kMicrosecond);

// find of a remembered file and of an absent one.
void Find(benchmark::State& state) {
    const int remembered = static_cast<int>(state.range(0));
    tarvo::FileMemory memory = filledMemory(remembered);
    std::vector<std::string> probes;
    for (int i = 0; i < kFilesPerBatch; ++i) {
        probes.push_back(i % 2 && remembered > 0 ? rememberedPath(i * 97 % remembered)
                                                 : newPath(i));
    }
    for (auto _ : state) {
        for (const std::string& path : probes)
            benchmark::DoNotOptimize(memory.find(path.c_str()));
    }
    state.SetItemsProcessed(state.iterations() * kFilesPerBatch);
}
BENCHMARK(Find)->Arg(0)->Arg(100000)->Arg(990000)->Unit(benchmark::kMicrosecond);

}  // namespace
