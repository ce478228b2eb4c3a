// A full list of 32,767 entries through every road it takes: save and load
// (the in-memory registry), export and import (the in-memory files).
#include <benchmark/benchmark.h>

#include "platform/memory/memory_files.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_random.h"
#include "platform/memory/memory_registry.h"
#include "store/list_file.h"
#include "store/window_list_store.h"

namespace qw {
namespace {

std::vector<std::string> FullList() {
    std::vector<std::string> entries;
    for (int i = 0; i < EntryList::kMaxEntries; ++i)
        entries.push_back("entry number " + std::to_string(i) + " of a long list");
    return entries;
}

struct Full {
    MemoryRegistry reg;
    MemoryFiles files;
    MemoryProcess process;
    SeededRandom random;
    MemoryListBox box;
    EntryList lv{&box};
    MemoryText count;
    CaseFolding lower = CaseFolding::Common();
    WindowListStore store{reg, lv, &count, lower, ","};
    ListFile listFile{files, process, random, lv, lower, TableCodePage::Windows1252()};
    Full() { lv.Assign(FullList()); }
};

// Each save stores a list that differs from the stored one in its first
// entry (every entry is written twice) or in its last (one is written), then
// reloads it.
void BM_SaveFullList(benchmark::State& state) {
    Full f;
    std::vector<std::string> lists[2] = {FullList(), FullList()};
    (state.range(0) ? lists[1].back() : lists[1].front()) = "an entry changed in place";
    std::size_t turn = 0;
    for (auto _ : state) {
        f.lv.Assign(lists[++turn % 2]);
        f.store.SaveWindowList();
    }
    if (f.count.text != "Quellwatch is currently scanning for 32,767 windows.") state.SkipWithError("list lost");
}
BENCHMARK(BM_SaveFullList)->ArgName("last_changed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadFullList(benchmark::State& state) {
    Full f;
    f.store.SaveWindowList();
    for (auto _ : state) f.store.LoadWindowList();
    if (f.lv.Count() != EntryList::kMaxEntries) state.SkipWithError("list lost");
}
BENCHMARK(BM_LoadFullList)->Unit(benchmark::kMillisecond);

void BM_ExportFullList(benchmark::State& state) {
    Full f;
    for (auto _ : state) f.listFile.ExportWindowList("C:\\full.wnl", 0);
}
BENCHMARK(BM_ExportFullList)->Unit(benchmark::kMillisecond);

void BM_ImportFullList(benchmark::State& state) {
    Full f;
    f.listFile.ExportWindowList("C:\\full.wnl", 0);
    for (auto _ : state) {
        f.lv.Clear();
        AppendNewEntries(f.lv, f.listFile.ReadWindowList("C:\\full.wnl").entries, f.lower);
    }
    if (f.lv.Count() != EntryList::kMaxEntries) state.SkipWithError("list lost");
}
BENCHMARK(BM_ImportFullList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qw
