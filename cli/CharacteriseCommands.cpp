// characterise: a water's own figures and the data set after the write-back.

#include "CommandSupport.h"
#include "CommandTable.h"
#include "EngineFacade.h"

namespace {

void RunCharacterise(TCommandCall& call, TRecordWriter& writer) {
    TWaterDataset& dataset = call.Water();
    double potential = 0, tds = 0, conductivity = 0, ionicStrength = 0, co3Acidity = 0;
    TWaterIndices indices;
    // The indices from the same load as the characterisation.
    CharacteriseWater(dataset, potential, tds, conductivity, ionicStrength, co3Acidity, indices);
    writer.Real("PrecipitationPotential", potential);
    writer.Real("TDS", tds);
    writer.Real("Conductivity", conductivity);
    writer.Real("IonicStrength", ionicStrength);
    WriteDataset(writer, dataset);
    call.Describe(dataset, indices);
}

} // namespace

void RegisterCharacteriseCommands(TCommandTable& table) {
    table.Add(PerFileCommand("characterise", {},
                             "the water's precipitation potential, TDS, conductivity, ionic strength",
                             RunCharacterise));
}
