// Speed of the batch window's table: 100,000 rows of a lab table read from a file and
// characterised into the model, slice by slice as the window does it; sorting them by the
// precipitation potential through the proxy; and the texts of one screenful of cells, which is
// what a scroll step costs. The load is to stay under 2 s.

#include "WaterTableModel.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kRows = 100000;

// A table file with two carried columns and waters that range from aggressive to scale-forming.
const std::string& TableFile() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "calvaro-bench-waters.csv";
        std::ofstream out(file, std::ios::binary);
        out << "Sample ID,Place,IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK\r\n";
        for (int i = 0; i < kRows; ++i)
            out << "W-" << 100000 + i << ",Well " << i % 37 << ',' << 6.5 + (i % 30) * 0.06 << ','
                << 5 + i % 25 << ',' << 20 + i % 80 << ',' << 10 + i % 40 << ',' << 20 + i % 250 << ','
                << 30 + i % 60 << ',' << 40 + i % 70 << ',' << 30 + i % 60 << ',' << 40 + i % 200 << "\r\n";
        return file.string();
    }();
    return path;
}

void LoadAll(TWaterTableModel& model) {
    auto load = LoadWaterTableFile(QString::fromStdString(TableFile()));
    while (load->Step(model, 40)) {
    }
}

void BM_BatchWindowLoad(benchmark::State& state) {
    TWaterTableModel model;
    for (auto _ : state) {
        model.Clear();
        LoadAll(model);
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.counters["per_row"] = benchmark::Counter(kRows, benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
}
BENCHMARK(BM_BatchWindowLoad)->Unit(benchmark::kMillisecond);

void BM_BatchWindowSortByPotential(benchmark::State& state) {
    TWaterTableModel model;
    LoadAll(model);
    TWaterTableSortProxy proxy;
    proxy.setSourceModel(&model);
    proxy.setSortRole(TWaterTableModel::SortRole);
    const int column = model.Column(TWaterTableModel::ColPotential);
    bool descending = false;
    for (auto _ : state) {
        proxy.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        descending = !descending;
    }
}
BENCHMARK(BM_BatchWindowSortByPotential)->Unit(benchmark::kMillisecond);

void BM_BatchWindowScreenful(benchmark::State& state) {
    TWaterTableModel model;
    LoadAll(model);
    int first = 0;
    for (auto _ : state) {
        // Forty rows of every column, as one step of scrolling asks for them.
        for (int row = first; row < first + 40; ++row)
            for (int column = 0; column < model.columnCount(); ++column)
                benchmark::DoNotOptimize(model.index(row, column).data());
        first = (first + 997) % (kRows - 40);
    }
}
BENCHMARK(BM_BatchWindowScreenful)->Unit(benchmark::kMicrosecond);

} // namespace
