#include "CalcRunner.h"

#include "CommandTable.h"
#include "RecordWriter.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <optional>

namespace {

class TUsageError : public std::exception {
public:
    explicit TUsageError(std::string message) : FMessage(std::move(message)) {}
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

struct TInvocation {
    const TCommand* Command = nullptr;
    TOutputFormat Format = TOutputFormat::Json;
    TOptionValues Options;
    std::vector<std::string> Paths;
};

// A number written with "." (never the locale's separator): the whole text must be the number.
std::optional<double> ParseNumber(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

double ParseOptionValue(const TOptionSpec& option, const std::string& text) {
    for (std::size_t i = 0; i < option.Choices.size(); ++i)
        if (option.Choices[i] == text) return static_cast<double>(i);
    if (option.Choices.empty() || option.NumberAccepted) {
        if (const auto number = ParseNumber(text)) return *number;
    }
    std::string expected = option.Choices.empty() ? "a number written with \".\"" : "one of";
    for (std::size_t i = 0; i < option.Choices.size(); ++i)
        expected += (i == 0 ? " " : ", ") + option.Choices[i];
    if (!option.Choices.empty() && option.NumberAccepted)
        expected += " or 0.." + std::to_string(option.Choices.size() - 1);
    throw TUsageError(option.Name + " expects " + expected + ", not \"" + text + "\".");
}

const TOptionSpec* FindOption(const TCommand& command, const std::string& name) {
    for (const auto& option : command.Options)
        if (option.Name == name) return &option;
    return nullptr;
}

TInvocation ParseArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) throw TUsageError("No command given.");
    TInvocation call;
    call.Command = CalcCommands().Find(arguments[0]);
    if (call.Command == nullptr) throw TUsageError("Unknown command \"" + arguments[0] + "\".");

    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            call.Paths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        // --name value, or --name=value
        std::string name = argument, value;
        bool hasValue = false;
        if (const auto equals = argument.find('='); equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        const bool isFormat = name == "--format";
        const TOptionSpec* option = isFormat ? nullptr : FindOption(*call.Command, name);
        if (!isFormat && option == nullptr)
            throw TUsageError("Unknown option \"" + name + "\" for " + call.Command->Name + ".");
        if (!hasValue) {
            if (i + 1 >= arguments.size()) throw TUsageError("Option " + name + " needs a value.");
            value = arguments[++i];
        }
        if (isFormat) {
            if (value == "json")
                call.Format = TOutputFormat::Json;
            else if (value == "csv")
                call.Format = TOutputFormat::Csv;
            else
                throw TUsageError("--format expects json or csv, not \"" + value + "\".");
        } else {
            call.Options.Set(name, ParseOptionValue(*option, value));
        }
    }

    for (const auto& option : call.Command->Options)
        if (!call.Options.Has(option.Name))
            throw TUsageError(call.Command->Name + " needs " + option.Name + " " + option.Placeholder + ".");
    const int files = static_cast<int>(call.Paths.size());
    if (call.Command->PerFile) {
        if (files < 1) throw TUsageError(call.Command->Name + " needs at least one file.");
    } else if (files < call.Command->MinFiles || files > call.Command->MaxFiles) {
        const std::string wanted =
            call.Command->MinFiles == call.Command->MaxFiles
                ? "exactly " + std::to_string(call.Command->MinFiles)
                : std::to_string(call.Command->MinFiles) + " to " + std::to_string(call.Command->MaxFiles);
        throw TUsageError(call.Command->Name + " needs " + wanted + " files, not " + std::to_string(files) +
                          ".");
    }
    return call;
}

void WriteInputs(TRecordWriter& writer, const TCommand& command, const std::vector<std::string>& paths) {
    if (command.PerFile)
        writer.Text("input", paths.front());
    else
        writer.Texts("inputs", paths);
}

// One output; returns false when it was refused or failed.
bool RunOne(const TCommand& command, const std::vector<std::string>& paths, const TOptionValues& options,
            TRecordWriter& writer) {
    writer.BeginRecord();
    WriteInputs(writer, command, paths);
    std::string failure;
    try {
        command.Run(TCommandCall{paths, options}, writer);
        writer.EndRecord();
        return true;
    } catch (const std::exception& e) {
        failure = e.what();
    }
    writer.AbortRecord();
    writer.BeginRecord();
    WriteInputs(writer, command, paths);
    writer.Text("error", failure);
    writer.EndRecord();
    return false;
}

} // namespace

std::string CalcUsage() {
    std::string usage = "usage: calvaro-calc COMMAND [OPTIONS] FILE.clv [FILE.clv ...]\n\nCommands:\n";
    for (const auto& command : CalcCommands().Commands()) {
        std::string line = "  " + command.Name;
        for (const auto& option : command.Options)
            line += " " + option.Name + " " + option.Placeholder;
        if (line.size() < 52) line.resize(52, ' ');
        usage += line + " " + command.Description + "\n";
    }
    usage += "\nOptions of every command:\n"
             "  --format json|csv   json (default): one object per line; csv: a header row, then one row "
             "per output\n\n"
             "Numbers are written with \".\". Exit status: 0 all outputs computed, 1 an input refused or "
             "failed,\n2 usage error.\n";
    return usage;
}

int RunCalvaroCalc(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        out << CalcUsage();
        return kExitSuccess;
    }
    TInvocation call;
    try {
        call = ParseArguments(arguments);
    } catch (const TUsageError& e) {
        err << "calvaro-calc: " << e.what() << "\n\n" << CalcUsage();
        return kExitUsage;
    }

    const auto writer = MakeRecordWriter(call.Format, out);
    bool allSucceeded = true;
    if (call.Command->PerFile) {
        std::vector<std::string> one(1);
        for (const auto& path : call.Paths) {
            one.front() = path;
            allSucceeded = RunOne(*call.Command, one, call.Options, *writer) && allSucceeded;
        }
    } else {
        allSucceeded = RunOne(*call.Command, call.Paths, call.Options, *writer);
    }
    writer->Finish();
    return allSucceeded ? kExitSuccess : kExitInputFailed;
}
