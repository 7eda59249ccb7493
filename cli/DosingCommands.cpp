// ph-adjustment, stabilisation and deficient: the dosing calculations, with the ranges their
// windows accept.

#include "CalculationRanges.h"
#include "CommandSupport.h"
#include "CommandTable.h"
#include "EngineFacade.h"

#include <string>

namespace {

const std::string kChemical = "--chemical";
const std::string kPh = "--ph";
const std::string kPotential = "--potential";
const std::string kCalcium = "--calcium";

// The windows' chemical lists, in their order: stabilisation offers the first five.
const std::vector<std::string> kPhChemicals = {
    "co2", "lime", "soda-ash", "caustic-soda", "hydrochloric-acid", "bicarbonate-of-soda"};
const std::vector<std::string> kStabilisingChemicals(kPhChemicals.begin(), kPhChemicals.begin() + 5);

// Every option is checked, as the window colours every field; the refusal names each one out of
// range.
class TChecks {
public:
    template <class Check> void Run(Check check) {
        try {
            check();
        } catch (const TRefusal& e) {
            FRefusal.append(FRefusal.empty() ? "" : " ").append(e.what());
        }
    }
    void Finish() const {
        if (!FRefusal.empty()) throw TRefusal(FRefusal);
    }

private:
    std::string FRefusal;
};

void RunPh(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double pH = call.Options.Number(kPh);
    int chemical = 0;
    TChecks checks;
    checks.Run([&] { chemical = RequireChoice(kChemical, call.Options.Number(kChemical), 6); });
    checks.Run([&] { RequireInRange(kPh, pH, CalculationRanges::TargetPh); });
    checks.Finish();
    double dosage = 0;
    std::string units, type, note1, note2;
    const TResultPtr result = RunPhAdjustment(dataset, chemical, pH, dosage, units, type, note1, note2);
    WriteDosage(call, writer, *result, dosage, units, type);
    writer.Text("Note1", note1);
    writer.Text("Note2", note2);
}

void RunStabilise(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double potential = call.Options.Number(kPotential);
    int chemical = 0;
    TChecks checks;
    checks.Run([&] { chemical = RequireChoice(kChemical, call.Options.Number(kChemical), 5); });
    checks.Run([&] { RequireInRange(kPotential, potential, CalculationRanges::DesiredPotential); });
    checks.Finish();
    double dosage = 0;
    std::string units, type, note1, note2;
    const TResultPtr result =
        RunStabilisation(dataset, chemical, potential, dosage, units, type, note1, note2);
    WriteDosage(call, writer, *result, dosage, units, type);
    writer.Text("Note1", note1);
    writer.Text("Note2", note2);
}

void RunDeficient(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double calcium = call.Options.Number(kCalcium);
    RequireInRange(kCalcium, calcium, CalculationRanges::DeficientCalcium);
    double dosage = 0;
    std::string units, type;
    const TResultPtr result = RunCaCarbonateDeficiency(dataset, type, units, dosage, calcium);
    WriteDosage(call, writer, *result, dosage, units, type);
}

} // namespace

void RegisterDosingCommands(TCommandTable& table) {
    TCommand ph;
    ph.Name = "ph-adjustment";
    ph.Options = {ChoiceOption(kChemical, "C", kPhChemicals, true), NumberOption(kPh)};
    ph.Description = "the dose of a chemical (0..5 or its name) that brings the water to pH X";
    ph.Run = RunPh;
    table.Add(std::move(ph));

    TCommand stabilise;
    stabilise.Name = "stabilisation";
    stabilise.Options = {ChoiceOption(kChemical, "C", kStabilisingChemicals, true), NumberOption(kPotential)};
    stabilise.Description = "the dose of a chemical (0..4) for a precipitation potential (mg/l as CaCO3)";
    stabilise.Run = RunStabilise;
    table.Add(std::move(stabilise));

    TCommand deficient;
    deficient.Name = "deficient";
    deficient.Options = {NumberOption(kCalcium)};
    deficient.Description = "lime for a calcium- or carbonate-deficient water to a calcium (mg/l as CaCO3)";
    deficient.Run = RunDeficient;
    table.Add(std::move(deficient));
}
