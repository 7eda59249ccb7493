#include "RecordTrailers.h"

#include "EngineFacade.h"

namespace {

// "indices": the scaling and corrosion indices of the record's water (characterise: of the water;
// a run operation: of the treated water), 17 significant digits, null where an index is not
// defined for the water (no calcium, no carbonate, no saturation pH between 0 and 14).
void WriteIndices(TRecordWriter& writer, const TRecordSubject& subject) {
    const TWaterIndices indices = subject.Indices   ? *subject.Indices
                                  : subject.Treated ? WaterIndicesOfResult(*subject.Treated)
                                                    : WaterIndicesOfDataset(*subject.Water);
    const auto write = [&](std::string_view key, const std::optional<double>& value) {
        if (value)
            writer.Real(key, *value);
        else
            writer.Null(key);
    };
    writer.BeginObject("indices");
    write("SaturationIndex", indices.SaturationIndex);
    write("SaturationPh", indices.SaturationPh);
    write("LangelierIndex", indices.LangelierIndex);
    write("RyznarIndex", indices.RyznarIndex);
    write("LarsonSkoldIndex", indices.LarsonSkoldIndex);
    write("AggressiveIndex", indices.AggressiveIndex);
    writer.EndObject();
}

} // namespace

const std::vector<TRecordTrailer>& RecordTrailers() {
    static const std::vector<TRecordTrailer> trailers = {WriteIndices};
    return trailers;
}
