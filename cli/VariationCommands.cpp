// air, underground, temperature and concentration: a water brought into equilibrium with CO2,
// heated or cooled, or concentrated, with the ranges their windows accept.

#include "CalculationRanges.h"
#include "CommandSupport.h"
#include "CommandTable.h"
#include "EngineFacade.h"

#include <string>

namespace {

const std::string kPressure = "--pco2";
const std::string kTemperature = "--to";
const std::string kEvaporation = "--evaporation";

void RunAir(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double pressure = call.Options.Number(kPressure);
    RequireInRange(kPressure, pressure, CalculationRanges::PressureCO2);
    double co2Amount = 0;
    std::string equilibrium;
    const TResultPtr result = RunAirEquilibrium(dataset, co2Amount, equilibrium, pressure);
    WriteResult(call, writer, *result);
    writer.Real("DelC02", co2Amount);
    writer.Text("EquilString", equilibrium);
}

void RunUnderground(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double pressure = call.Options.Number(kPressure);
    RequireInRange(kPressure, pressure, CalculationRanges::PressureCO2);
    double precipitated = 0;
    const TResultPtr result = RunUndergroundWater(dataset, precipitated, pressure);
    WriteResult(call, writer, *result);
    writer.Real("CaCO3Precipitation", precipitated);
}

void RunTemperature(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double temperature = call.Options.Number(kTemperature);
    RequireInRange(kTemperature, temperature, CalculationRanges::NewTemperature);
    WriteResult(call, writer, *RunTemperatureChange(dataset, temperature));
}

void RunConcentration(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double evaporation = call.Options.Number(kEvaporation);
    RequireInRange(kEvaporation, evaporation, CalculationRanges::Evaporation);
    WriteResult(call, writer, *RunConcentrationChange(dataset, evaporation));
}

} // namespace

void RegisterVariationCommands(TCommandTable& table) {
    table.Add(PerFileCommand("air", {NumberOption(kPressure)}, "the water in equilibrium with CO2 at X atm",
                             RunAir));
    table.Add(PerFileCommand("underground", {NumberOption(kPressure)},
                             "the water in equilibrium with CO2 at X atm and calcite", RunUnderground));
    table.Add(PerFileCommand("temperature", {NumberOption(kTemperature)}, "the water at X degrees Celsius",
                             RunTemperature));
    table.Add(PerFileCommand("concentration", {NumberOption(kEvaporation)},
                             "the water after X % of it evaporated", RunConcentration));
}
