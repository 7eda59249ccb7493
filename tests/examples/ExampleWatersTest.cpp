// The example waters: each README row names a file that loads, passes the editor's ranges,
// characterises to a water with a positive total carbonate, and has the precipitation potential the
// README states (two decimals, as written there). The laboratory table's samples are waters too.

#include "CalvaroModel.h"
#include "CalvaroUtils.h"
#include "EngineFacade.h"
#include "Validation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kExamples = CALVARO_EXAMPLES_DIR;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitOn(const std::string& line, char separator) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, separator))
        cells.push_back(cell);
    if (!line.empty() && line.back() == separator) cells.emplace_back();
    return cells;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

struct TReadmeRow {
    std::string File;
    double PrecipitationPotential;
};

// The rows of the README's table whose first cell is a .clv file.
std::vector<TReadmeRow> ReadmeRows() {
    std::vector<TReadmeRow> rows;
    std::istringstream in(ReadText(kExamples / "README.md"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("| ", 0) != 0) continue;
        const std::vector<std::string> cells = SplitOn(line, '|');
        if (cells.size() < 5) continue;
        const std::string file = Trimmed(cells[1]);
        if (file.size() < 4 || file.substr(file.size() - 4) != ".clv") continue;
        rows.push_back({file, std::stod(Trimmed(cells[3]))});
    }
    return rows;
}

struct TCharacterised {
    double PrecipitationPotential = 0;
    double TotalCarbonate = 0; // mg/l as CaCO3: half of alkalinity plus HCO3 acidity
};

TCharacterised Characterise(TWaterDataset water) {
    double potential = 0, tds = 0, conductivity = 0, ionicStrength = 0, co3Acidity = 0;
    CharacteriseWater(water, potential, tds, conductivity, ionicStrength, co3Acidity);
    return {potential, (water.Alkalinity() + water.Acidity()) / 2};
}

std::string RangeFaults(const TWaterDataset& water) {
    std::string text;
    for (const TDatasetRangeFault& fault : DatasetRangeFaults(water))
        text += fault.Property + "=" + std::to_string(fault.Value) + " ";
    return text;
}

TEST(ExampleWaters, TheReadmeTableListsEveryExampleFileOnce) {
    std::multiset<std::string> listed;
    for (const TReadmeRow& row : ReadmeRows())
        listed.insert(row.File);
    std::multiset<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(kExamples))
        if (entry.path().extension() == ".clv") present.insert(entry.path().filename().string());
    EXPECT_GE(present.size(), 8u);
    EXPECT_EQ(listed, present);
}

TEST(ExampleWaters, EachCharacterisesToTheReadmePrecipitationPotential) {
    const std::vector<TReadmeRow> rows = ReadmeRows();
    ASSERT_FALSE(rows.empty());
    for (const TReadmeRow& row : rows) {
        SCOPED_TRACE(row.File);
        const std::unique_ptr<TWaterDataset> water = LoadDatasetFromFile((kExamples / row.File).string());
        ASSERT_TRUE(water);
        EXPECT_EQ(RangeFaults(*water), "");
        const TCharacterised figures = Characterise(*water);
        // The README writes two decimals.
        EXPECT_NEAR(figures.PrecipitationPotential, row.PrecipitationPotential, 0.005 + 1e-9);
        EXPECT_GT(figures.TotalCarbonate, 0);
    }
}

// The blending pair carries fractions that make a whole blend.
TEST(ExampleWaters, TheBlendingPairsFractionsSumTo100) {
    const auto river = LoadDatasetFromFile((kExamples / "blend-river.clv").string());
    const auto borehole = LoadDatasetFromFile((kExamples / "blend-borehole.clv").string());
    ASSERT_TRUE(river && borehole);
    EXPECT_DOUBLE_EQ(river->Fraction() + borehole->Fraction(), 100);
    const TResultPtr blend = RunBlendMultiple({river.get(), borehole.get()});
    ASSERT_TRUE(blend);
    EXPECT_LT(blend->PHF, river->Ph());
    EXPECT_GT(blend->PHF, borehole->Ph());
}

// One measure of dissolved solids and one of the carbonate system per sample, as a data set holds.
TEST(LabSamples, EverySampleIsAWaterThatCanExist) {
    std::istringstream in(ReadText(kExamples / "lab-samples.csv"));
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    const std::vector<std::string> header = SplitOn(line, ',');
    for (const char* required :
         {"SampleID", "Place", "Date", "IPH", "IT", "INA", "IMG", "ICA", "ISO4", "ICL"})
        EXPECT_NE(std::find(header.begin(), header.end(), required), header.end()) << required;

    const std::map<std::string, int> solids = {{"ITDS", 0}, {"ICONDU", 1}, {"IMHU", 2}};
    const std::map<std::string, int> carbonate = {{"IALK", 0}, {"IHACI", 1}, {"ITOTC", 2}, {"IPCO2", 3}};
    std::set<std::string> ids;
    int samples = 0;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        ++samples;
        const std::vector<std::string> cells = SplitOn(line, ',');
        ASSERT_EQ(cells.size(), header.size()) << line;
        SCOPED_TRACE(cells[0]);
        EXPECT_TRUE(ids.insert(cells[0]).second) << "sample ID used twice";
        TWaterDataset water;
        int solidsMeasures = 0, carbonateMeasures = 0;
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (cells[i].empty()) continue;
            const auto property =
                std::find_if(DatasetProperties().begin(), DatasetProperties().end(),
                             [&](const TDatasetProperty& p) { return p.FieldName == header[i]; });
            if (property == DatasetProperties().end()) continue; // SampleID, Place, Date
            property->Set(water, std::stod(cells[i]));
            if (solids.count(header[i])) {
                water.SetWaterCharacterIndex(solids.at(header[i]));
                ++solidsMeasures;
            }
            if (carbonate.count(header[i])) {
                water.SetCarbonCharacterIndex(carbonate.at(header[i]));
                ++carbonateMeasures;
            }
        }
        EXPECT_EQ(solidsMeasures, 1);
        EXPECT_EQ(carbonateMeasures, 1);
        EXPECT_EQ(RangeFaults(water), "");
        EXPECT_GT(Characterise(water).TotalCarbonate, 0);
    }
    EXPECT_GE(samples, 24);
}

} // namespace
