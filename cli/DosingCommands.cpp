// ph-adjustment, stabilisation and deficient: the dosing calculations, with the ranges their
// windows accept; dose and dose-curve: a given dose of a pH-adjustment chemical, and the curve of
// doses from 0 to a largest dose.

#include "CalculationRanges.h"
#include "CommandSupport.h"
#include "CommandTable.h"
#include "EngineFacade.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string kChemical = "--chemical";
const std::string kPh = "--ph";
const std::string kPotential = "--potential";
const std::string kCalcium = "--calcium";
const std::string kAmount = "--amount";
const std::string kTo = "--to";
const std::string kPoints = "--points";
constexpr double kDefaultPoints = 201;
// A dose is taken from 0 up to the curve's largest dose (mg/l of the chemical).
constexpr TInputRange kDoseAmount{0, CalculationRanges::DosingCurveLargestDose.Max};

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

// The dosed water as the run operations print it, with the dose and its units and chemical.
void RunDose(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double amount = call.Options.Number(kAmount);
    int chemical = 0;
    TChecks checks;
    checks.Run([&] { chemical = RequireChoice(kChemical, call.Options.Number(kChemical), 6); });
    checks.Run([&] { RequireInRange(kAmount, amount, kDoseAmount); });
    checks.Finish();
    const TResultPtr result = RunForwardDosing(dataset, chemical, amount);
    const TDosingChemicalTexts texts = DosingChemicalTexts(chemical);
    WriteResult(call, writer, *result);
    writer.Real("Dosage", amount);
    writer.Text("DosageUnits", texts.Units);
    writer.Text("DosageType", texts.Type);
}

// One record per point: "dose" and the water, or "dose" and "error" where no water exists at that
// dose (a gap: the curve goes on, and the output counts as computed). A curve of which every point
// failed is refused as a whole, with the message of its first point.
void RunDoseCurve(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double largest = call.Options.Number(kTo);
    const double points = call.Options.Number(kPoints);
    int chemical = 0;
    TChecks checks;
    checks.Run([&] { chemical = RequireChoice(kChemical, call.Options.Number(kChemical), 6); });
    checks.Run([&] { RequireInRange(kTo, largest, CalculationRanges::DosingCurveLargestDose); });
    checks.Run([&] {
        RequireInRange(kPoints, points, CalculationRanges::DosingCurvePoints);
        if (points != std::floor(points))
            throw TRefusal(kPoints + " " + ShortReal(points) + " is not a whole number.");
    });
    checks.Finish();
    const std::vector<TDosingCurvePoint> curve =
        RunDosingCurve(dataset, chemical, largest, static_cast<int>(points));
    bool anyWater = false;
    for (const auto& point : curve)
        anyWater = anyWater || point.Result != nullptr;
    if (!anyWater) throw TRefusal("No dose of the curve gives a water: " + curve.front().Error);
    const TDosingChemicalTexts texts = DosingChemicalTexts(chemical);
    for (std::size_t i = 0; i < curve.size(); ++i) {
        if (i > 0) call.NextRecord();
        writer.Real("dose", curve[i].Dose);
        writer.Text("DosageUnits", texts.Units);
        if (curve[i].Result) {
            WriteResult(call, writer, *curve[i].Result);
            // The point's indices come with it: after the whole curve the engine holds only the
            // last point's constants.
            call.Describe(*curve[i].Result, curve[i].Indices);
        } else
            writer.ErrorText("error", curve[i].Error);
    }
}

} // namespace

void RegisterDosingCommands(TCommandTable& table) {
    table.Add(
        PerFileCommand("ph-adjustment", {ChoiceOption(kChemical, "C", kPhChemicals, true), NumberOption(kPh)},
                       "the dose of a chemical (0..5 or its name) that brings the water to pH X", RunPh));
    table.Add(PerFileCommand(
        "stabilisation",
        {ChoiceOption(kChemical, "C", kStabilisingChemicals, true), NumberOption(kPotential)},
        "the dose of a chemical (0..4) for a precipitation potential (mg/l as CaCO3)", RunStabilise));
    table.Add(PerFileCommand("deficient", {NumberOption(kCalcium)},
                             "lime for a calcium- or carbonate-deficient water to a calcium (mg/l as CaCO3)",
                             RunDeficient));
    table.Add(PerFileCommand(
        "dose", {ChoiceOption(kChemical, "C", kPhChemicals, true), NumberOption(kAmount)},
        "the water after X mg/l of a chemical (0..5, in its dosage units), 0 to 100000", RunDose));
    table.Add(PerFileCommand("dose-curve",
                             {ChoiceOption(kChemical, "C", kPhChemicals, true), NumberOption(kTo),
                              NumberOption(kPoints, "N", kDefaultPoints)},
                             "N doses (11 to 2001) from 0 to X mg/l (0.1 to 100000): one record each",
                             RunDoseCurve));
}
