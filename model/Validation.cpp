#include "Validation.h"

#include "CalvaroModel.h"

#include <array>
#include <utility>
#include <vector>

namespace {

// The range and prompt attached to one property. The bounds are what the chemistry of the engine
// is fitted for: outside them the activity model and the carbonate constants are not valid.
struct TAttachedAttribute {
    std::string_view Property;
    DatasetAttribute Attribute;
};

const std::array<TAttachedAttribute, 15>& AttachedAttributes() {
    static const std::array<TAttachedAttribute, 15> attributes{{
        {"Ph", {1, 14, "Enter a pH between 1 and 14."}},
        {"Fraction", {0, 100, "Enter the fraction of the water as a percentage between 0 and 100%."}},
        {"Temperature", {1, 90, "Enter a temperature between 1 and 90 degrees Celsius."}},
        {"Sodium", {0, 5000, "Enter the Total Sodium between 0.0 and 5000 mgNa/l."}},
        {"Magnesium", {0, 5000, "Enter the Total Magnesium between 0.0 and 5000 mg/l as CaCO3."}},
        {"Calcium", {0, 5000, "Enter the Total Calcium between 0.0 and 5000 mg/l as CaCO3."}},
        {"Sulphate", {0, 5000, "Enter the Total Sulphate between 0.0 and 5000 mgSO4/l."}},
        {"Chloride", {0, 5000, "Enter the Total Chloride between 0.0 and 5000 mgCl/l."}},
        {"TDS", {4, 15000, "Enter TDS between 4 and 15000 mg/l."}},
        {"Conductivity", {0.63, 2232, "Enter the Conductivity between 0.63 and 2232 mS/m."}},
        {"IonicStrength", {0.0001, 0.375, "Enter Ionic Strength (mhu) between 0.0001 and 0.3750."}},
        {"Alkalinity", {1, 3000, "Enter H2CO3 alkalinity between 1 and 3000 mg/l as CaCO3."}},
        {"Acidity", {-950, 1000, "Enter HCO3 acidity between -950 and 1000 mg/l as CaCO3."}},
        {"CarbonateSpecies",
         {1, 1000, "Enter the Total Carbonate species (CT) between 1 and 1000 mg/l as CaCO3."}},
        {"PressureCO2", {0.00005, 1.0, "Enter the partial pressure for CO2 between 0.00005 and 1.0 atm."}},
    }};
    return attributes;
}

const DatasetAttribute* AttributeOfProperty(std::string_view property) {
    for (const auto& attached : AttachedAttributes())
        if (attached.Property == property) return &attached.Attribute;
    return nullptr;
}

// The dissolved-solids and carbonate measures, at the positions of the editor's two selectors.
constexpr std::array<std::string_view, 3> kWaterCharacterProperties{"TDS", "Conductivity", "IonicStrength"};
constexpr std::array<std::string_view, 4> kCarbonCharacterProperties{"Alkalinity", "Acidity",
                                                                     "CarbonateSpecies", "PressureCO2"};

template <std::size_t N>
const std::string_view* SelectedProperty(const std::array<std::string_view, N>& choices, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) return nullptr;
    return &choices[static_cast<std::size_t>(index)];
}

struct TCheckedProperty {
    std::string_view Name;
    const TDatasetProperty* Property;
    const DatasetAttribute* Attribute;
};

std::size_t SelectorSlot(int index, std::size_t choices) {
    return index >= 0 && static_cast<std::size_t>(index) < choices ? static_cast<std::size_t>(index) + 1 : 0;
}

} // namespace

// The checked properties that have a range, with it, in CheckedDatasetProperties order: looked up
// once for every pair of selectors (slot 0: an index outside the choices), since a batch checks
// every water it reads. A range belongs to the property's name, whatever the data set holds.
namespace {
const std::vector<TCheckedProperty>& CheckedPropertiesWithRanges(int water, int carbon) {
    using TTable = std::array<std::array<std::vector<TCheckedProperty>, 5>, 4>;
    static const TTable table = [] {
        TTable lists;
        const TWaterDataset any;
        for (int w = -1; w < 3; ++w)
            for (int c = -1; c < 4; ++c)
                for (const auto name : CheckedDatasetProperties(w, c)) {
                    const TDatasetProperty* property = FindDatasetProperty(name);
                    const DatasetAttribute* attribute = FindDatasetAttribute(name, any);
                    if (property && attribute)
                        lists[SelectorSlot(w, 3)][SelectorSlot(c, 4)].push_back({name, property, attribute});
                }
        return lists;
    }();
    return table[SelectorSlot(water, kWaterCharacterProperties.size())]
                [SelectorSlot(carbon, kCarbonCharacterProperties.size())];
}
} // namespace

const DatasetAttribute* FindDatasetAttribute(std::string_view propertyName, const TWaterDataset&) {
    // The first property of that exact name decides; a property without a range has no attribute,
    // even if a later one of the same name had (names are unique today, the rule keeps it defined).
    for (const auto& property : DatasetProperties())
        if (property.Name == propertyName) return AttributeOfProperty(property.Name);
    return nullptr;
}

std::vector<std::string_view> CheckedDatasetProperties(int waterCharacterIndex, int carbonCharacterIndex) {
    // The editor's binding order: temperature before pH, chloride and fraction after the two
    // selected measures.
    std::vector<std::string_view> names{"Temperature", "Ph", "Sodium", "Magnesium", "Calcium", "Sulphate"};
    if (const auto* water = SelectedProperty(kWaterCharacterProperties, waterCharacterIndex))
        names.push_back(*water);
    if (const auto* carbon = SelectedProperty(kCarbonCharacterProperties, carbonCharacterIndex))
        names.push_back(*carbon);
    names.push_back("Chloride");
    names.push_back("Fraction");
    return names;
}

std::vector<TDatasetRangeFault> DatasetRangeFaults(const TWaterDataset& dataset) {
    std::vector<TDatasetRangeFault> faults;
    // A selector outside its choices picks no measure at all: the engine would keep whatever ionic
    // strength or alkalinity it held before, so such a data set cannot be valid.
    const int water = dataset.WaterCharacterIndex();
    const int carbon = dataset.CarbonCharacterIndex();
    if (!SelectedProperty(kWaterCharacterProperties, water))
        faults.push_back({"WaterCharacterIndex", static_cast<double>(water), nullptr});
    if (!SelectedProperty(kCarbonCharacterProperties, carbon))
        faults.push_back({"CarbonCharacterIndex", static_cast<double>(carbon), nullptr});

    for (const auto& checked : CheckedPropertiesWithRanges(water, carbon)) {
        const double value = checked.Property->Get(dataset);
        if (!IsWithinRange(value, checked.Attribute->MinValue(), checked.Attribute->MaxValue()))
            faults.push_back({std::string(checked.Name), value, checked.Attribute});
    }
    return faults;
}
