#include "CommandTable.h"

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
