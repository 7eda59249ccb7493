// Speed of reading data set files: 1,000 varied waters saved into a temporary folder, then read
// back by LoadDatasetFromFile, parsed from memory by DatasetFromJson, loaded and characterised,
// and characterised by calvaro-calc in-process. The figure to read is "per_file" (seconds per file).
// BM_OpenReadClose is the floor the file system sets: open, read and close of each file and nothing else.

#include "CalcRunner.h"
#include "CalvaroUtils.h"
#include "CommandTable.h"
#include "EngineFacade.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 1000;

// A drinking or process water as a laboratory reports it (one or two decimals); one in four carries
// the 15-digit values a calculation wrote back. Every dissolved-solids and carbonate measure occurs.
TWaterDataset GeneratedWater(std::mt19937& random) {
    auto uniform = [&](double low, double high, int decimals) {
        const double value = std::uniform_real_distribution<double>(low, high)(random);
        if (decimals < 0) return value;
        const double scale = std::pow(10.0, decimals);
        return std::round(value * scale) / scale;
    };
    const int decimals = random() % 4 == 0 ? -1 : 1;
    TWaterDataset d;
    d.SetCreateDate(uniform(41000, 45000, random() % 3 == 0 ? -1 : 0));
    if (random() % 5 == 0) d.SetFraction(uniform(0, 100, 1));
    d.SetTemperature(uniform(4, 30, decimals));
    d.SetSodium(uniform(5, 200, decimals));
    d.SetMagnesium(uniform(2, 80, decimals));
    d.SetCalcium(uniform(10, 250, decimals));
    d.SetSulphate(uniform(5, 250, decimals));
    d.SetChloride(uniform(5, 300, decimals));
    const int water = static_cast<int>(random() % 3);
    d.SetWaterCharacterIndex(water);
    if (water == 0) d.SetTDS(uniform(50, 900, decimals < 0 ? -1 : 0));
    if (water == 1) d.SetConductivity(uniform(10, 150, decimals));
    if (water == 2) d.SetIonicStrength(uniform(0.001, 0.02, decimals < 0 ? -1 : 4));
    const int carbon = static_cast<int>(random() % 6 < 3 ? 0 : random() % 4);
    d.SetCarbonCharacterIndex(carbon);
    // An acidity as high as these belongs to a water below pH 7.6 (above it the carbonate system
    // would need more alkalinity than any water has, and the search does not converge).
    d.SetPh(uniform(6.5, carbon == 1 ? 7.6 : 8.6, decimals < 0 ? -1 : 2));
    if (carbon == 0) d.SetAlkalinity(uniform(20, 300, decimals));
    if (carbon == 1) d.SetAcidity(uniform(5, 120, decimals));
    if (carbon == 2) d.SetCarbonateSpecies(uniform(40, 400, decimals));
    if (carbon == 3) d.SetPressureCO2(uniform(0.0005, 0.02, decimals < 0 ? -1 : 4));
    return d;
}

// The saved files, made once and removed when the benchmarks end.
class TBenchFiles {
public:
    TBenchFiles() {
        namespace fs = std::filesystem;
        FFolder = fs::temp_directory_path() / ("calvaro-loader-bench-" + std::to_string(::getpid()));
        fs::create_directories(FFolder);
        std::mt19937 random(14);
        for (int i = 0; i < kFiles; ++i) {
            const std::string path = (FFolder / ("water-" + std::to_string(i) + ".clv")).string();
            const TWaterDataset water = GeneratedWater(random);
            SaveDatasetToFile(water, path);
            FPaths.push_back(path);
            FTexts.push_back(DatasetToJson(water));
        }
    }
    ~TBenchFiles() {
        std::error_code error;
        std::filesystem::remove_all(FFolder, error);
    }
    TBenchFiles(const TBenchFiles&) = delete;
    TBenchFiles& operator=(const TBenchFiles&) = delete;

    const std::vector<std::string>& Paths() const { return FPaths; }
    const std::vector<std::string>& Texts() const { return FTexts; }

private:
    std::filesystem::path FFolder;
    std::vector<std::string> FPaths;
    std::vector<std::string> FTexts;
};

const TBenchFiles& BenchFiles() {
    static const TBenchFiles files;
    return files;
}

void SetPerFile(benchmark::State& state) {
    state.counters["per_file"] = benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate |
                                                                benchmark::Counter::kInvert);
}

void BM_OpenReadClose(benchmark::State& state) {
    const auto& paths = BenchFiles().Paths();
    std::array<char, 4096> buffer{};
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (const auto& path : paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            const ssize_t count = ::read(fd, buffer.data(), buffer.size());
            ::close(fd);
            bytes += static_cast<std::size_t>(count);
        }
        benchmark::DoNotOptimize(bytes);
    }
    SetPerFile(state);
}
BENCHMARK(BM_OpenReadClose)->Unit(benchmark::kMillisecond);

void BM_DatasetFromJson(benchmark::State& state) {
    const auto& texts = BenchFiles().Texts();
    double sum = 0;
    for (auto _ : state) {
        for (const auto& text : texts)
            sum += DatasetFromJson(text)->Ph();
        benchmark::DoNotOptimize(sum);
    }
    SetPerFile(state);
}
BENCHMARK(BM_DatasetFromJson)->Unit(benchmark::kMillisecond);

void BM_LoadDatasetFromFile(benchmark::State& state) {
    const auto& paths = BenchFiles().Paths();
    double sum = 0;
    for (auto _ : state) {
        for (const auto& path : paths)
            sum += LoadDatasetFromFile(path)->Ph();
        benchmark::DoNotOptimize(sum);
    }
    SetPerFile(state);
}
BENCHMARK(BM_LoadDatasetFromFile)->Unit(benchmark::kMillisecond);

// Each file loaded and characterised, as calvaro-calc does it but without its checks and output:
// the difference to BM_CalcCharacteriseFiles is the command line's own share.
void BM_LoadAndCharacterise(benchmark::State& state) {
    const auto& paths = BenchFiles().Paths();
    double sum = 0;
    for (auto _ : state) {
        for (const auto& path : paths) {
            const auto dataset = LoadDatasetFromFile(path);
            double potential = 0, tds = 0, conductivity = 0, ionicStrength = 0, co3Acidity = 0;
            CharacteriseWater(*dataset, potential, tds, conductivity, ionicStrength, co3Acidity);
            sum += potential;
        }
        benchmark::DoNotOptimize(sum);
    }
    SetPerFile(state);
}
BENCHMARK(BM_LoadAndCharacterise)->Unit(benchmark::kMillisecond);

// calvaro-calc characterise over all the files, its JSON lines written to /dev/null: reading,
// checking, the engine and the output together, without the start of a process. InTurn reads each
// file when its record is computed; Ahead reads them on a second thread (FileReadAhead.h), as the
// program does on a machine with two processors or more. Both report the elapsed time ("Time",
// and "per_file" from it) and the CPU time of the whole process ("CPU", both threads).
void BM_CalcCharacteriseFiles(benchmark::State& state, TFileReading reading) {
    std::vector<std::string> arguments{"characterise"};
    for (const auto& path : BenchFiles().Paths())
        arguments.push_back(path);
    std::ofstream out("/dev/null");
    std::ostringstream err;
    for (auto _ : state) {
        const int status = RunCalvaroCalc(arguments, out, err, CalcCommands(), RecordTrailers(), reading);
        if (status != kExitSuccess) {
            std::ostringstream records;
            RunCalvaroCalc(arguments, records, err);
            const std::string text = records.str();
            const auto refused = text.find("\"error\"");
            state.SkipWithError(("a water was refused: " + text.substr(refused, 300)).c_str());
            break;
        }
    }
    SetPerFile(state);
}
BENCHMARK_CAPTURE(BM_CalcCharacteriseFiles, InTurn, TFileReading::InTurn)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CalcCharacteriseFiles, Ahead, TFileReading::Ahead)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
