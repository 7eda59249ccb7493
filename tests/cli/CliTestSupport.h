#pragma once
// Shared by the command-line tests: data set files in a fresh temporary folder, the runs'
// outputs read back, and the printed result compared with the facade's.

#include "CalcRunner.h"
#include "CalvaroModel.h"
#include "CalvaroUtils.h"
#include "SampleWaters.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

// The dilute drinking water of the sample waters, valid for the editor, on a fixed date.
inline TWaterDataset ValidWater() {
    TWaterDataset d = DiluteWater();
    d.SetCreateDate(41556);
    return d;
}

class CliFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        FFolder = std::filesystem::temp_directory_path() / ("calvaro-cli-" + std::to_string(random()));
        std::filesystem::create_directories(FFolder);
    }
    void TearDown() override { std::filesystem::remove_all(FFolder); }

    std::string Save(const std::string& name, const TWaterDataset& dataset) const {
        const std::string path = (FFolder / name).string();
        SaveDatasetToFile(dataset, path);
        return path;
    }
    std::string WriteText(const std::string& name, const std::string& text) const {
        const std::string path = (FFolder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string PathOf(const std::string& name) const { return (FFolder / name).string(); }

    std::filesystem::path FFolder;
};

struct TRunOutput {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
    // The JSON objects of the output, one per line.
    std::vector<nlohmann::ordered_json> Lines() const {
        std::vector<nlohmann::ordered_json> lines;
        std::istringstream in(Out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(nlohmann::ordered_json::parse(line));
        return lines;
    }
};

inline TRunOutput RunInProcess(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    TRunOutput run;
    run.ExitCode = RunCalvaroCalc(arguments, out, err);
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

// The CSV output as rows of cells (quoted cells unquoted).
inline std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(cell);
            cell.clear();
        } else if (c == '\n') {
            row.push_back(cell);
            cell.clear();
            rows.push_back(row);
            row.clear();
        } else {
            cell += c;
        }
    }
    return rows;
}

// The keys of a JSON object in their printed order.
inline std::vector<std::string> KeysOf(const nlohmann::ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items())
        keys.push_back(item.key());
    return keys;
}

// A number as printed (the "C" form, whatever the locale).
inline double ParseDouble(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// The keys of a printed result: the thirteen values, then the two indices.
inline const std::vector<std::string> kResultKeys = {"ALKF", "ACIF", "CAF",  "MGF",     "NAF",
                                                     "SO4F", "CLF",  "PHF",  "TF",      "MHUF",
                                                     "TDSF", "CONF", "CPPF", "WATCHAR", "CARBSYSORDER"};

// The keys of the "indices" object that closes every record with a water.
inline const std::vector<std::string> kIndexKeys = {"SaturationIndex", "SaturationPh",     "LangelierIndex",
                                                    "RyznarIndex",     "LarsonSkoldIndex", "AggressiveIndex"};

// The printed result holds the facade's very doubles (17 significant digits).
inline void ExpectResult(const nlohmann::ordered_json& printed, const TCalculationResult& r) {
    EXPECT_EQ(KeysOf(printed), kResultKeys);
    const double fields[] = {r.ALKF, r.ACIF, r.CAF,  r.MGF,  r.NAF,  r.SO4F, r.CLF,
                             r.PHF,  r.TF,   r.MHUF, r.TDSF, r.CONF, r.CPPF};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        EXPECT_EQ(printed[kResultKeys[i]].get<double>(), fields[i]) << kResultKeys[i];
    EXPECT_EQ(printed["WATCHAR"], r.WATCHAR);
    EXPECT_EQ(printed["CARBSYSORDER"], r.CARBSYSORDER);
}
