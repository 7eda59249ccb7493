#pragma once
// Permitted ranges and prompts of the data set's inputs, attached to its properties by name.
// The ranges belong to the class, not to a data set: every data set has the same ones.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TWaterDataset;

class DatasetAttribute {
public:
    DatasetAttribute(double minimum, double maximum, std::string description)
        : FDescription(std::move(description)), FMinimumValue(minimum), FMaximumValue(maximum) {}

    const std::string& Description() const { return FDescription; }
    double MinValue() const { return FMinimumValue; } // inclusive
    double MaxValue() const { return FMaximumValue; } // inclusive

private:
    std::string FDescription;
    double FMinimumValue;
    double FMaximumValue;
};

// The attribute of the first property (in declaration order) whose name equals `propertyName`
// exactly, letter case included; nullptr when there is none or the property carries no range.
// The data set is only used for its class. The attribute is static: never free it.
const DatasetAttribute* FindDatasetAttribute(std::string_view propertyName, const TWaterDataset& dataset);

// The property names that the editor's validation checks for these selector positions, in
// binding order: the eight always-checked values and the one picked by each selector (none for
// an index outside the selector's choices).
std::vector<std::string_view> CheckedDatasetProperties(int waterCharacterIndex, int carbonCharacterIndex);

// The verdict of the editor's validation computed from the stored values alone: every checked
// property within its inclusive range (NaN is out of range). The desktop editor checks its boxes'
// texts instead; the command line uses this on a data set read from a file.
// A selector index outside its choices (WATCHAR 0..2, CARBSYSORDER 0..3) selects no measure and is
// a fault too: Property is then "WaterCharacterIndex" or "CarbonCharacterIndex", Value the index and
// Attribute nullptr. Faults come in that order: the selectors, then the checked properties in
// CheckedDatasetProperties order.
struct TDatasetRangeFault {
    std::string Property;
    double Value;
    const DatasetAttribute* Attribute;
};
std::vector<TDatasetRangeFault> DatasetRangeFaults(const TWaterDataset& dataset);

// True when min <= value <= max; NaN is never within a range.
inline bool IsWithinRange(double value, double minimum, double maximum) {
    return minimum <= value && value <= maximum;
}
