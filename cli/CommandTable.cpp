#include "CommandTable.h"

#include "CommandSupport.h"

TCommandCall::TCommandCall(const std::vector<std::string>& paths, const TOptionValues& options,
                           std::function<void(TCommandCall&)> nextRecord)
    : Paths(paths), Options(options), FNextRecord(std::move(nextRecord)) {}

namespace {
const std::vector<std::string> kNoPaths;
}

TCommandCall::TCommandCall(const std::vector<TWaterDataset*>& waters, const TOptionValues& options,
                           std::function<void(TCommandCall&)> nextRecord)
    : Paths(kNoPaths), Options(options), FNextRecord(std::move(nextRecord)), FGiven(&waters) {}

TWaterDataset& TCommandCall::Water() {
    if (FGiven != nullptr) return *FGiven->front();
    if (FWaters.empty())
        FWaters.push_back(FReadWater ? CheckedDataset(FReadWater(), Paths.front())
                                     : LoadCheckedDataset(Paths.front()));
    return *FWaters.front();
}

std::vector<const TWaterDataset*> TCommandCall::Waters() {
    if (FGiven != nullptr) return {FGiven->begin(), FGiven->end()};
    if (FWaters.empty()) {
        for (const std::string& path : Paths) {
            try {
                FWaters.push_back(LoadCheckedDataset(path));
            } catch (const std::exception& e) {
                throw TRefusal(path + ": " + e.what());
            }
        }
    }
    std::vector<const TWaterDataset*> waters;
    for (const auto& water : FWaters)
        waters.push_back(water.get());
    return waters;
}

void TCommandCall::Describe(const TWaterDataset& water) {
    FSubject.Water = &water;
}

void TCommandCall::Describe(const TWaterDataset& water, const TWaterIndices& indices) {
    FSubject.Water = &water;
    FSubject.Indices = indices;
}

void TCommandCall::Describe(const TCalculationResult& treated) {
    FSubject.Treated = treated;
}

void TCommandCall::Describe(const TCalculationResult& treated, const TWaterIndices& indices) {
    FSubject.Treated = treated;
    FSubject.Indices = indices;
}

TCommand PerFileCommand(std::string name, std::vector<TOptionSpec> options, std::string description,
                        std::function<void(TCommandCall&, TRecordWriter&)> run) {
    TCommand command;
    command.Name = std::move(name);
    command.Options = std::move(options);
    command.Description = std::move(description);
    command.Run = std::move(run);
    return command;
}

const TCommand* TCommandTable::Find(std::string_view name) const {
    for (const auto& command : FCommands)
        if (command.Name == name) return &command;
    return nullptr;
}

const TCommandTable& CalcCommands() {
    static const TCommandTable table = [] {
        TCommandTable t;
        RegisterAllCommandGroups(t);
        return t;
    }();
    return table;
}
