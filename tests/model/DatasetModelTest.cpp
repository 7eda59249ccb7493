// The two records: initial values and the property table the editor and the file rely on.
#include "CalvaroModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

namespace {

TEST(WaterDataset, NewDataSetHoldsTodayConductivityAlkalinityAndZeros) {
    const TWaterDataset dataset;
    EXPECT_EQ(dataset.CreateDate(), TodayAsDayCount());
    EXPECT_EQ(dataset.CreateDate(), std::floor(dataset.CreateDate())) << "no time part";
    EXPECT_GT(dataset.CreateDate(), 45000.0) << "a day count after 2023";
    EXPECT_EQ(dataset.WaterCharacterIndex(), 1);
    EXPECT_EQ(dataset.CarbonCharacterIndex(), 0);
    for (const auto& property : DatasetProperties()) {
        if (property.Kind != TDatasetProperty::TKind::Real) continue;
        SCOPED_TRACE(std::string(property.Name));
        EXPECT_EQ(property.Get(dataset), 0.0);
    }
}

TEST(WaterDataset, PropertiesComeInFileOrderWithTheirFieldNames) {
    constexpr std::string_view kFields[] = {
        "FCreateDate", "FRAC", "IPH",    "IT",   "INA",          "IMG",  "ICA",   "ISO4",  "ICL",
        "WATCHAR",     "ITDS", "ICONDU", "IMHU", "CARBSYSORDER", "IALK", "IHACI", "ITOTC", "IPCO2"};
    ASSERT_EQ(DatasetProperties().size(), std::size(kFields));
    for (std::size_t i = 0; i < std::size(kFields); ++i)
        EXPECT_EQ(DatasetProperties()[i].FieldName, kFields[i]) << "position " << i;
}

TEST(WaterDataset, EachPropertyReadsAndWritesItsOwnField) {
    TWaterDataset dataset;
    double value = 1;
    for (const auto& property : DatasetProperties())
        property.Set(dataset, value++);
    value = 1;
    for (const auto& property : DatasetProperties()) {
        SCOPED_TRACE(std::string(property.Name));
        EXPECT_EQ(property.Get(dataset), value++);
    }
    EXPECT_EQ(dataset.Ph(), 3.0);
    EXPECT_EQ(dataset.WaterCharacterIndex(), 10);
    EXPECT_EQ(dataset.PressureCO2(), 18.0);
}

TEST(WaterDataset, SwitchingTheSelectorKeepsBothMeasures) {
    TWaterDataset dataset;
    dataset.SetTDS(300);
    dataset.SetConductivity(45.5);
    dataset.SetWaterCharacterIndex(0);
    dataset.SetWaterCharacterIndex(1);
    EXPECT_EQ(dataset.TDS(), 300);
    EXPECT_EQ(dataset.Conductivity(), 45.5);
}

TEST(WaterDataset, FindsPropertiesByExactName) {
    ASSERT_NE(FindDatasetProperty("Ph"), nullptr);
    EXPECT_EQ(FindDatasetProperty("Ph")->FieldName, "IPH");
    EXPECT_EQ(FindDatasetProperty("ph"), nullptr);
    EXPECT_EQ(FindDatasetProperty("IPH"), nullptr);
}

TEST(CalculationResult, NewResultReadsZeroEverywhere) {
    const TCalculationResult r;
    for (const double v :
         {r.ALKF, r.ACIF, r.CAF, r.MGF, r.NAF, r.SO4F, r.CLF, r.PHF, r.TF, r.MHUF, r.TDSF, r.CONF, r.CPPF})
        EXPECT_EQ(v, 0.0);
    EXPECT_EQ(r.CARBSYSORDER, 0);
    EXPECT_EQ(r.WATCHAR, 0);
}

} // namespace
