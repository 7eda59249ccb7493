// Speed of the lab-table reader: 100,000 generated rows with two carried columns, read from memory
// and from a stream, comma-separated and semicolon-separated with decimal commas. The figure to
// read is "per_row" (seconds per row, reading and checking, no engine).

#include "WaterTable.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

constexpr int kRows = 100000;

// Realistic cells: varying pH, temperature and salts, one water in fifty out of range.
std::string GeneratedTable(bool semicolon) {
    const char sep = semicolon ? ';' : ',';
    const char mark = semicolon ? ',' : '.';
    std::string text = "Sample ID,Place,IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,FCreateDate\r\n";
    if (semicolon)
        for (char& c : text)
            if (c == ',') c = ';';
    for (int i = 0; i < kRows; ++i) {
        auto decimal = [&](int whole, int tenths) {
            return std::to_string(whole) + mark + std::to_string(tenths);
        };
        text += "W-" + std::to_string(100000 + i) + sep + "Well " + std::to_string(i % 37) + sep;
        text += decimal(6 + i % 3, i % 10) + sep;                    // pH
        text += decimal(i % 50 == 7 ? 95 : 5 + i % 25, i % 7) + sep; // temperature
        text += std::to_string(20 + i % 80) + sep;                   // sodium
        text += std::to_string(10 + i % 40) + sep;                   // magnesium
        text += decimal(50 + i % 150, i % 10) + sep;                 // calcium
        text += std::to_string(30 + i % 60) + sep;                   // sulphate
        text += std::to_string(40 + i % 70) + sep;                   // chloride
        text += decimal(30 + i % 60, i % 10) + sep;                  // conductivity
        text += std::to_string(80 + i % 120) + sep;                  // alkalinity
        text += std::to_string(44000 + i % 1000) + "\r\n";           // date
    }
    return text;
}

const std::string& TableText(bool semicolon) {
    static const std::string comma = GeneratedTable(false);
    static const std::string semi = GeneratedTable(true);
    return semicolon ? semi : comma;
}

void SetFigures(benchmark::State& state, std::size_t bytes) {
    state.SetLabel(state.range(0) ? "semicolon, decimal comma" : "comma");
    state.counters["per_row"] = benchmark::Counter(kRows, benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_ReadWaterTableFromMemory(benchmark::State& state) {
    const std::string& text = TableText(state.range(0) != 0);
    std::size_t waters = 0;
    for (auto _ : state) {
        TWaterTableReader reader(text);
        TWaterTableRow row;
        while (reader.Next(row))
            waters += row.IsWater();
        benchmark::DoNotOptimize(waters);
    }
    SetFigures(state, text.size());
}
BENCHMARK(BM_ReadWaterTableFromMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadWaterTableFromStream(benchmark::State& state) {
    const std::string& text = TableText(state.range(0) != 0);
    std::size_t waters = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::istringstream in(text);
        state.ResumeTiming();
        ReadWaterTable(in, [&](const TWaterTableRow& row) { waters += row.IsWater(); });
        benchmark::DoNotOptimize(waters);
    }
    SetFigures(state, text.size());
}
BENCHMARK(BM_ReadWaterTableFromStream)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
