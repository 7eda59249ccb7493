#include "CommandSupport.h"

#include "CalvaroUtils.h"
#include "CommandTable.h"
#include "Validation.h"

#include <cmath>

std::string DatasetRefusalMessage(const TWaterDataset& dataset) {
    const auto faults = DatasetRangeFaults(dataset);
    if (faults.empty()) return "";
    std::string message = "Invalid data set:";
    for (const auto& fault : faults) {
        message.append(" ").append(fault.Property);
        if (const TDatasetProperty* property = FindDatasetProperty(fault.Property))
            message.append(" (").append(property->FieldName).append(")");
        message.append(" ").append(ShortReal(fault.Value)).append(" is outside the range ");
        if (fault.Attribute != nullptr)
            message.append(ShortReal(fault.Attribute->MinValue()))
                .append(" to ")
                .append(ShortReal(fault.Attribute->MaxValue()));
        else if (fault.Property == "WaterCharacterIndex")
            message.append("0 to 2"); // TDS, conductivity, ionic strength
        else if (fault.Property == "CarbonCharacterIndex")
            message.append("0 to 3"); // alkalinity, acidity, total carbonate, CO2 pressure
        message.append(".");
    }
    return message;
}

std::unique_ptr<TWaterDataset> LoadCheckedDataset(const std::string& path) {
    return CheckedDataset(LoadDatasetFromFile(path), path);
}

std::unique_ptr<TWaterDataset> CheckedDataset(std::unique_ptr<TWaterDataset> dataset,
                                              const std::string& path) {
    if (dataset == nullptr) throw TRefusal("Couldn't load file " + path);
    const std::string refusal = DatasetRefusalMessage(*dataset);
    if (!refusal.empty()) throw TRefusal(refusal);
    return dataset;
}

void RequireInRange(const std::string& option, double value, const TInputRange& range) {
    if (!range.Contains(value))
        throw TRefusal(option + " " + ShortReal(value) + " is outside the range " + ShortReal(range.Min) +
                       " to " + ShortReal(range.Max) + ".");
}

int RequireChoice(const std::string& option, double value, int count) {
    if (!(value >= 0 && value <= count - 1 && std::floor(value) == value))
        throw TRefusal(option + " " + ShortReal(value) + " is outside the range 0 to " +
                       std::to_string(count - 1) + ".");
    return static_cast<int>(value);
}

void WriteResult(TCommandCall& call, TRecordWriter& w, const TCalculationResult& r) {
    call.Describe(r);
    w.BeginObject("result");
    w.Real("ALKF", r.ALKF);
    w.Real("ACIF", r.ACIF);
    w.Real("CAF", r.CAF);
    w.Real("MGF", r.MGF);
    w.Real("NAF", r.NAF);
    w.Real("SO4F", r.SO4F);
    w.Real("CLF", r.CLF);
    w.Real("PHF", r.PHF);
    w.Real("TF", r.TF);
    w.Real("MHUF", r.MHUF);
    w.Real("TDSF", r.TDSF);
    w.Real("CONF", r.CONF);
    w.Real("CPPF", r.CPPF);
    w.Integer("WATCHAR", r.WATCHAR);
    w.Integer("CARBSYSORDER", r.CARBSYSORDER);
    w.EndObject();
}

void WriteDosage(TCommandCall& call, TRecordWriter& writer, const TCalculationResult& result, double dosage,
                 const std::string& units, const std::string& type) {
    WriteResult(call, writer, result);
    writer.Real("DosageRequired", dosage);
    writer.Text("DosageUnits", units);
    writer.Text("DosageType", type);
}

void WriteDataset(TRecordWriter& w, const TWaterDataset& dataset) {
    w.BeginObject("dataset");
    for (const auto& property : DatasetProperties()) {
        const double value = property.Get(dataset);
        if (property.Kind == TDatasetProperty::TKind::Integer)
            w.Integer(property.FieldName, static_cast<int>(value));
        else
            w.Real(property.FieldName, value);
    }
    w.EndObject();
}
