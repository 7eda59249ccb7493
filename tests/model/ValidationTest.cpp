// Ranges and prompts of the data set's inputs, and the validity verdict computed from stored values.
#include "Validation.h"
#include "CalvaroModel.h"
#include "ModelTestWaters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct TAttributeRow {
    const char* Property;
    double Minimum;
    double Maximum;
    const char* Prompt;
};

const TAttributeRow kAttributeRows[] = {
    {"Ph", 1, 14, "Enter a pH between 1 and 14."},
    {"Fraction", 0, 100, "Enter the fraction of the water as a percentage between 0 and 100%."},
    {"Temperature", 1, 90, "Enter a temperature between 1 and 90 degrees Celsius."},
    {"Sodium", 0, 5000, "Enter the Total Sodium between 0.0 and 5000 mgNa/l."},
    {"Magnesium", 0, 5000, "Enter the Total Magnesium between 0.0 and 5000 mg/l as CaCO3."},
    {"Calcium", 0, 5000, "Enter the Total Calcium between 0.0 and 5000 mg/l as CaCO3."},
    {"Sulphate", 0, 5000, "Enter the Total Sulphate between 0.0 and 5000 mgSO4/l."},
    {"Chloride", 0, 5000, "Enter the Total Chloride between 0.0 and 5000 mgCl/l."},
    {"TDS", 4, 15000, "Enter TDS between 4 and 15000 mg/l."},
    {"Conductivity", 0.63, 2232, "Enter the Conductivity between 0.63 and 2232 mS/m."},
    {"IonicStrength", 0.0001, 0.375, "Enter Ionic Strength (mhu) between 0.0001 and 0.3750."},
    {"Alkalinity", 1, 3000, "Enter H2CO3 alkalinity between 1 and 3000 mg/l as CaCO3."},
    {"Acidity", -950, 1000, "Enter HCO3 acidity between -950 and 1000 mg/l as CaCO3."},
    {"CarbonateSpecies", 1, 1000, "Enter the Total Carbonate species (CT) between 1 and 1000 mg/l as CaCO3."},
    {"PressureCO2", 0.00005, 1.0, "Enter the partial pressure for CO2 between 0.00005 and 1.0 atm."},
};

class DatasetAttributes : public ::testing::TestWithParam<TAttributeRow> {};

TEST_P(DatasetAttributes, PropertyCarriesItsRangeAndPrompt) {
    const auto& row = GetParam();
    const TWaterDataset dataset;
    const DatasetAttribute* attribute = FindDatasetAttribute(row.Property, dataset);
    ASSERT_NE(attribute, nullptr);
    EXPECT_EQ(attribute->MinValue(), row.Minimum);
    EXPECT_EQ(attribute->MaxValue(), row.Maximum);
    EXPECT_EQ(attribute->Description(), row.Prompt);
    EXPECT_EQ(FindDatasetAttribute(row.Property, TWaterDataset()), attribute)
        << "one attribute for the class";
}

INSTANTIATE_TEST_SUITE_P(Table, DatasetAttributes, ::testing::ValuesIn(kAttributeRows),
                         [](const auto& info) { return std::string(info.param.Property); });

TEST(DatasetAttributeLookup, FindsNothingForUnrangedWrongCaseOrUnknownNames) {
    const TWaterDataset dataset;
    for (const char* name : {"CreateDate", "WaterCharacterIndex", "CarbonCharacterIndex", "ph", "PH", "tds",
                             "IPH", "FRAC", "", "Unknown"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(FindDatasetAttribute(name, dataset), nullptr);
    }
}

TEST(DatasetAttributeLookup, ExactlyFifteenPropertiesCarryARange) {
    const TWaterDataset dataset;
    int ranged = 0;
    for (const auto& property : DatasetProperties())
        if (FindDatasetAttribute(property.Name, dataset)) ++ranged;
    EXPECT_EQ(ranged, 15);
}

using TNames = std::vector<std::string_view>;

TEST(CheckedProperties, FollowTheBindingOrderWithBothSelectedMeasures) {
    const char* water[] = {"TDS", "Conductivity", "IonicStrength"};
    const char* carbon[] = {"Alkalinity", "Acidity", "CarbonateSpecies", "PressureCO2"};
    for (int w = 0; w < 3; ++w)
        for (int c = 0; c < 4; ++c) {
            SCOPED_TRACE(testing::Message() << "WATCHAR " << w << ", CARBSYSORDER " << c);
            const TNames expected{"Temperature", "Ph",     "Sodium",  "Magnesium", "Calcium",
                                  "Sulphate",    water[w], carbon[c], "Chloride",  "Fraction"};
            EXPECT_EQ(CheckedDatasetProperties(w, c), expected);
        }
}

TEST(CheckedProperties, AnIndexOutsideTheChoicesSelectsNoMeasure) {
    const TNames expected{"Temperature", "Ph",       "Sodium",   "Magnesium",
                          "Calcium",     "Sulphate", "Chloride", "Fraction"};
    EXPECT_EQ(CheckedDatasetProperties(3, 4), expected);
    EXPECT_EQ(CheckedDatasetProperties(-1, -1), expected);
}

std::vector<std::string> FaultNames(const TWaterDataset& dataset) {
    std::vector<std::string> names;
    for (const auto& fault : DatasetRangeFaults(dataset))
        names.push_back(fault.Property);
    return names;
}

struct TValidityRow {
    const char* Name;
    void (*Change)(TWaterDataset&);
    std::vector<std::string> Faults;
};

const TValidityRow kValidityRows[] = {
    {"ExampleWater", [](TWaterDataset&) {}, {}},
    {"PhOneIsIncluded", [](TWaterDataset& d) { d.SetPh(1); }, {}},
    {"PhFourteenIsIncluded", [](TWaterDataset& d) { d.SetPh(14); }, {}},
    {"PhJustBelowOne", [](TWaterDataset& d) { d.SetPh(0.999); }, {"Ph"}},
    {"PhFourteenAndAHalf", [](TWaterDataset& d) { d.SetPh(14.5); }, {"Ph"}},
    {"PhNotANumber", [](TWaterDataset& d) { d.SetPh(std::nan("")); }, {"Ph"}},
    {"TemperatureZero", [](TWaterDataset& d) { d.SetTemperature(0); }, {"Temperature"}},
    {"ZeroIonsAreValid",
     [](TWaterDataset& d) {
         d.SetSodium(0);
         d.SetMagnesium(0);
         d.SetCalcium(0);
         d.SetSulphate(0);
         d.SetChloride(0);
     },
     {}},
    {"IonsAboveFiveThousand",
     [](TWaterDataset& d) {
         d.SetSodium(5000.001);
         d.SetChloride(5001);
     },
     {"Sodium", "Chloride"}},
    {"AcidityDownToMinus950",
     [](TWaterDataset& d) {
         d.SetCarbonCharacterIndex(1);
         d.SetAcidity(-950);
     },
     {}},
    {"AcidityMinus951",
     [](TWaterDataset& d) {
         d.SetCarbonCharacterIndex(1);
         d.SetAcidity(-951);
     },
     {"Acidity"}},
    {"PressureAtItsMinimum",
     [](TWaterDataset& d) {
         d.SetCarbonCharacterIndex(3);
         d.SetPressureCO2(0.00005);
     },
     {}},
    {"PressureBelowItsMinimum",
     [](TWaterDataset& d) {
         d.SetCarbonCharacterIndex(3);
         d.SetPressureCO2(0.00004);
     },
     {"PressureCO2"}},
    {"CarbonateSpeciesSelectedAtZero",
     [](TWaterDataset& d) { d.SetCarbonCharacterIndex(2); },
     {"CarbonateSpecies"}},
    {"ConductivityAtItsMinimum", [](TWaterDataset& d) { d.SetConductivity(0.63); }, {}},
    {"ConductivityBelowItsMinimum", [](TWaterDataset& d) { d.SetConductivity(0.629); }, {"Conductivity"}},
    {"IonicStrengthRange",
     [](TWaterDataset& d) {
         d.SetWaterCharacterIndex(2);
         d.SetIonicStrength(0.375);
     },
     {}},
    {"IonicStrengthAboveRange",
     [](TWaterDataset& d) {
         d.SetWaterCharacterIndex(2);
         d.SetIonicStrength(0.3751);
     },
     {"IonicStrength"}},
    {"TdsSelectedWhileZero", [](TWaterDataset& d) { d.SetWaterCharacterIndex(0); }, {"TDS"}},
    {"TdsSelectedNoLongerChecksConductivity",
     [](TWaterDataset& d) {
         d.SetWaterCharacterIndex(0);
         d.SetTDS(4);
         d.SetConductivity(0);
     },
     {}},
    {"UnselectedValuesAreNeverChecked",
     [](TWaterDataset& d) {
         d.SetTDS(-1);
         d.SetIonicStrength(99);
         d.SetAcidity(-5000);
         d.SetCarbonateSpecies(0);
         d.SetPressureCO2(7);
     },
     {}},
    {"FractionFromAFile", [](TWaterDataset& d) { d.SetFraction(150); }, {"Fraction"}},
    {"DateIsNeverChecked", [](TWaterDataset& d) { d.SetCreateDate(-1e9); }, {}},
    {"WaterSelectorOutsideItsChoices",
     [](TWaterDataset& d) { d.SetWaterCharacterIndex(3); },
     {"WaterCharacterIndex"}},
    {"CarbonSelectorOutsideItsChoices",
     [](TWaterDataset& d) { d.SetCarbonCharacterIndex(-1); },
     {"CarbonCharacterIndex"}},
};

class DatasetValidity : public ::testing::TestWithParam<TValidityRow> {};

TEST_P(DatasetValidity, FaultsAreTheCheckedValuesOutOfRange) {
    const auto& row = GetParam();
    TWaterDataset dataset = ValidWater();
    row.Change(dataset);
    EXPECT_EQ(FaultNames(dataset), row.Faults);
}

INSTANTIATE_TEST_SUITE_P(Table, DatasetValidity, ::testing::ValuesIn(kValidityRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DatasetValidityOfANewDataSet, PhTemperatureConductivityAndAlkalinityAreBelowTheirMinimums) {
    const TWaterDataset dataset;
    const auto faults = DatasetRangeFaults(dataset);
    const std::vector<std::string> expected{"Temperature", "Ph", "Conductivity", "Alkalinity"};
    EXPECT_EQ(FaultNames(dataset), expected);
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.Property);
        EXPECT_EQ(fault.Value, 0.0);
        ASSERT_NE(fault.Attribute, nullptr);
        EXPECT_EQ(fault.Attribute, FindDatasetAttribute(fault.Property, dataset));
    }
}

TEST(DatasetValidityOfASelector, AnUnknownIndexIsReportedWithItsValueAndNoRange) {
    TWaterDataset dataset = ValidWater();
    dataset.SetWaterCharacterIndex(7);
    const auto faults = DatasetRangeFaults(dataset);
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].Value, 7.0);
    EXPECT_EQ(faults[0].Attribute, nullptr);
}

TEST(RangeCheck, BothBoundsIncludedAndNaNNeverWithin) {
    EXPECT_TRUE(IsWithinRange(1, 1, 14));
    EXPECT_TRUE(IsWithinRange(14, 1, 14));
    EXPECT_FALSE(IsWithinRange(0.999, 1, 14));
    EXPECT_FALSE(IsWithinRange(14.0000001, 1, 14));
    EXPECT_FALSE(IsWithinRange(std::nan(""), 1, 14));
    EXPECT_FALSE(IsWithinRange(std::nan(""), -INFINITY, INFINITY));
}

} // namespace
