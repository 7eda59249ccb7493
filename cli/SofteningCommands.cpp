// softening-limits, softening-ca, softening-mg and softening-camg: the softening calculations, with
// the bounds the softening windows apply, which follow the water (its own calcium and magnesium,
// and for lime the lowest calcium lime can reach).

#include "CalculationRanges.h"
#include "CommandSupport.h"
#include "CommandTable.h"
#include "EngineFacade.h"

#include <string>

namespace {

const std::string kCalcium = "--calcium";
const std::string kMagnesium = "--magnesium";
const std::string kMethod = "--method";
enum TSofteningMethod { kLime = 0, kSodaAsh = 1 };

struct TLimits {
    double CAMIN = 0, ALKMIN = 0, ACIMIN = 0, HMIN = 0, LIMEINV = 0;
};

// The window's check of a target, with what the bounds of this water stand for.
void RequireTarget(const std::string& option, double value, const TInputRange& range,
                   const std::string& bounds) {
    try {
        RequireInRange(option, value, range);
    } catch (const TRefusal& e) {
        throw TRefusal(std::string(e.what()) + " The range runs from " + bounds + ", in mg/l as CaCO3.");
    }
}
const std::string kCalciumBounds = "2 to the water's own calcium (ICA)";
const std::string kMagnesiumBounds = "1 to the water's own magnesium (IMG)";

TLimits Limits(const TWaterDataset& dataset) {
    TLimits l;
    GetSofteningCaLimits(dataset, l.CAMIN, l.ALKMIN, l.ACIMIN, l.HMIN, l.LIMEINV);
    return l;
}

void RunLimits(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const TLimits l = Limits(dataset);
    writer.Real("CAMIN", l.CAMIN);
    writer.Real("ALKMIN", l.ALKMIN);
    writer.Real("ACIMIN", l.ACIMIN);
    writer.Real("HMIN", l.HMIN);
    writer.Real("LIMEINV", l.LIMEINV);
}

// As the calcium window: with lime, the limits first (they give the lower bound and are kept for
// the lime run), then the target within the bounds.
void RunCalcium(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double calcium = call.Options.Number(kCalcium);
    const int method = RequireChoice(kMethod, call.Options.Number(kMethod), 2);
    double dosage = 0;
    std::string units, type;
    TResultPtr result;
    if (method == kLime) {
        const TLimits l = Limits(dataset);
        RequireTarget(kCalcium, calcium, CalculationRanges::SofteningCaLime(dataset, l.CAMIN),
                      "the lowest calcium lime can reach in this water (CAMIN " + ShortReal(l.CAMIN) +
                          " mg/l as Ca) to its own calcium (ICA)");
        result = RunSofteningCaLime(dataset, dosage, units, type, calcium);
    } else {
        RequireTarget(kCalcium, calcium, CalculationRanges::SofteningCaSodaAsh(dataset), kCalciumBounds);
        result = RunSofteningCaSodaAsh(dataset, dosage, units, type, calcium);
    }
    WriteDosage(call, writer, *result, dosage, units, type);
}

void RunMagnesium(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double magnesium = call.Options.Number(kMagnesium);
    RequireTarget(kMagnesium, magnesium, CalculationRanges::SofteningMg(dataset), kMagnesiumBounds);
    double dosage = 0;
    std::string units, type;
    const TResultPtr result = RunSofteningMg(dataset, dosage, units, type, magnesium);
    WriteDosage(call, writer, *result, dosage, units, type);
}

// Both targets are checked, as the window colours both fields; a refusal names each one out of
// range.
void RunCalciumAndMagnesium(TCommandCall& call, TRecordWriter& writer) {
    const TWaterDataset& dataset = call.Water();
    const double calcium = call.Options.Number(kCalcium);
    const double magnesium = call.Options.Number(kMagnesium);
    std::string refusal;
    auto check = [&](const std::string& option, double value, const TInputRange& range,
                     const std::string& bounds) {
        try {
            RequireTarget(option, value, range, bounds);
        } catch (const TRefusal& e) {
            refusal += (refusal.empty() ? "" : " ") + std::string(e.what());
        }
    };
    check(kCalcium, calcium, CalculationRanges::SofteningCaMgCalcium(dataset), kCalciumBounds);
    check(kMagnesium, magnesium, CalculationRanges::SofteningCaMgMagnesium(dataset), kMagnesiumBounds);
    if (!refusal.empty()) throw TRefusal(refusal);
    double lime = 0, ash = 0;
    const TResultPtr result = RunSofteningCaMg(dataset, lime, ash, calcium, magnesium);
    WriteResult(call, writer, *result);
    writer.Real("LimeDosageRequired", lime);
    writer.Real("AshDosageRequired", ash);
}

} // namespace

void RegisterSofteningCommands(TCommandTable& table) {
    table.Add(PerFileCommand("softening-limits", {},
                             "the lowest calcium lime can reach (CAMIN, mg/l as Ca) and its water",
                             RunLimits));
    table.Add(PerFileCommand(
        "softening-ca",
        {ChoiceOption(kMethod, "lime|soda-ash", {"lime", "soda-ash"}, false), NumberOption(kCalcium)},
        "softening to a calcium (mg/l as CaCO3) with lime or soda ash", RunCalcium));
    table.Add(PerFileCommand("softening-mg", {NumberOption(kMagnesium)},
                             "softening to a magnesium (mg/l as CaCO3) with lime", RunMagnesium));
    table.Add(PerFileCommand("softening-camg", {NumberOption(kCalcium), NumberOption(kMagnesium, "Y")},
                             "softening to a calcium and a magnesium with lime and soda ash",
                             RunCalciumAndMagnesium));
}
