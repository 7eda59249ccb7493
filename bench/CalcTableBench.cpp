// Speed of calvaro-calc on a lab table, in-process: `characterise --table FILE.csv` over 100,000
// generated rows (two carried columns, one water in fifty out of range), read from a file and
// written as JSON lines or CSV to a stream that discards them. Reading, checking, the engine and the
// formatting are all included; only the kernel's write of the output is not. The figure to read is
// "per_water" (seconds per row).

#include "CalcRunner.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>

namespace {

constexpr int kRows = 100000;

// Realistic cells: varying pH, temperature and salts, one water in fifty out of range.
std::string GeneratedTable() {
    std::string text = "Sample ID,Place,IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,FCreateDate\n";
    for (int i = 0; i < kRows; ++i) {
        const auto decimal = [](int whole, int tenths) {
            return std::to_string(whole) + "." + std::to_string(tenths);
        };
        text += "W-" + std::to_string(100000 + i) + ",Well " + std::to_string(i % 37) + ",";
        text += decimal(6 + i % 3, i % 10) + ",";                    // pH
        text += decimal(i % 50 == 7 ? 95 : 5 + i % 25, i % 7) + ","; // temperature
        text += std::to_string(20 + i % 80) + ",";                   // sodium
        text += std::to_string(10 + i % 40) + ",";                   // magnesium
        text += decimal(50 + i % 150, i % 10) + ",";                 // calcium
        text += std::to_string(30 + i % 60) + ",";                   // sulphate
        text += std::to_string(40 + i % 70) + ",";                   // chloride
        text += decimal(30 + i % 60, i % 10) + ",";                  // conductivity
        text += std::to_string(80 + i % 120) + ",";                  // alkalinity
        text += std::to_string(44000 + i % 1000) + "\n";             // date
    }
    return text;
}

const std::string& TablePath() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "calvaro-bench-lab-table.csv";
        std::ofstream(file, std::ios::binary) << GeneratedTable();
        return file.string();
    }();
    return path;
}

// An output that counts and discards.
class TDiscard : public std::streambuf {
public:
    std::size_t Bytes = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        Bytes += static_cast<std::size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override {
        ++Bytes;
        return traits_type::not_eof(c);
    }
};

void BM_CalcCharacteriseTable(benchmark::State& state) {
    const char* format = state.range(0) ? "csv" : "json";
    const std::string& path = TablePath();
    TDiscard discard;
    std::ostream out(&discard), err(&discard);
    for (auto _ : state) {
        const int status = RunCalvaroCalc({"characterise", "--format", format, "--table", path}, out, err);
        benchmark::DoNotOptimize(status);
    }
    state.SetLabel(std::string(format) + ", 100,000 rows");
    state.counters["per_water"] = benchmark::Counter(kRows, benchmark::Counter::kIsIterationInvariantRate |
                                                                benchmark::Counter::kInvert);
    state.counters["output_bytes"] =
        static_cast<double>(discard.Bytes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CalcCharacteriseTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
