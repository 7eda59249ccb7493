#include "CalcRunner.h"

#include "CalcVersion.h"

#include "CommandTable.h"
#include "RecordWriter.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
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

const std::string kFormat = "--format";

struct TInvocation {
    const TCommand* Command = nullptr;
    bool Help = false;
    TOutputFormat Format = TOutputFormat::Json;
    TOptionValues Options;
    std::vector<std::string> Paths;
};

// A number written with "." (never the locale's separator): the whole text must be the number.
// A number beyond the doubles (1e400, or 1e-400, which would silently become 0) is out of range.
double ParseNumber(const std::string& option, const std::string& text, bool& isNumber) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    isNumber = ptr == end && !text.empty();
    if (isNumber && ec == std::errc::result_out_of_range)
        throw TUsageError(option + " " + text +
                          " is out of the range of numbers: 0, or a magnitude from 4.9e-324 to 1.8e308.");
    isNumber = isNumber && ec == std::errc() && std::isfinite(value);
    return value;
}

double ParseOptionValue(const TOptionSpec& option, const std::string& text) {
    for (std::size_t i = 0; i < option.Choices.size(); ++i)
        if (option.Choices[i] == text) return static_cast<double>(i);
    if (option.Choices.empty() || option.NumberAccepted) {
        bool isNumber = false;
        const double number = ParseNumber(option.Name, text, isNumber);
        if (isNumber) return number;
    }
    std::string expected = option.Choices.empty() ? "a number written with \".\"" : "one of";
    for (std::size_t i = 0; i < option.Choices.size(); ++i)
        expected += (i == 0 ? " " : ", ") + option.Choices[i];
    if (!option.Choices.empty() && option.NumberAccepted)
        expected += " or 0.." + std::to_string(option.Choices.size() - 1);
    throw TUsageError(option.Name + " expects " + expected + ", not \"" + text + "\".");
}

// The one value of an option given once; a repeated option is refused (which of two values was
// meant cannot be told).
std::optional<std::string> SingleValue(const CLI::Option& option, const std::string& name) {
    const auto& results = option.results();
    if (results.empty()) return std::nullopt;
    if (results.size() > 1) throw TUsageError("Option " + name + " is given more than once.");
    return results.front();
}

// The parser of one command, built from its declaration: every option takes one value (all of
// them collected, so that a repetition can be refused), the files are the positional arguments,
// "--" ends the options. Unknown options are kept aside to be named in the refusal.
struct TCommandParser {
    CLI::App App;
    CLI::Option* Format = nullptr;
    std::vector<CLI::Option*> Options; // in the order of the declaration
    std::vector<std::string> Files;

    explicit TCommandParser(const TCommand& command) : App(command.Description, command.Name) {
        App.allow_extras();
        App.set_help_flag("-h,--help");
        const auto addOption = [&](const std::string& name) {
            CLI::Option* option = App.add_option(name);
            option->expected(1);
            option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
            return option;
        };
        Format = addOption(kFormat);
        for (const auto& option : command.Options)
            Options.push_back(addOption(option.Name));
        App.add_option("files", Files);
    }

    void Parse(const std::vector<std::string>& arguments) {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend() - 1);
        App.parse(reversed);
    }
};

// The option an ArgumentMismatch is about: CLI11 starts its message with the option's name.
std::string OptionOfMismatch(const CLI::ArgumentMismatch& mismatch, const TCommand& command) {
    std::vector<std::string> names = {kFormat};
    for (const auto& option : command.Options)
        names.push_back(option.Name);
    const char* message = mismatch.what();
    for (const auto& name : names)
        if (std::strncmp(message, name.c_str(), name.size()) == 0 && message[name.size()] == ':') return name;
    return "";
}

TInvocation ParseArguments(const std::vector<std::string>& arguments, const TCommandTable& commands) {
    if (arguments.empty()) throw TUsageError("No command given.");
    TInvocation call;
    call.Command = commands.Find(arguments[0]);
    if (call.Command == nullptr) throw TUsageError("Unknown command \"" + arguments[0] + "\".");
    const TCommand& command = *call.Command;

    TCommandParser parser(command);
    try {
        parser.Parse(arguments);
    } catch (const CLI::CallForHelp&) {
        call.Help = true;
        return call;
    } catch (const CLI::ArgumentMismatch& e) {
        // An option at the end, without its value.
        const std::string name = OptionOfMismatch(e, command);
        throw TUsageError(name.empty() ? std::string(e.what()) : "Option " + name + " needs a value.");
    } catch (const CLI::ParseError& e) {
        throw TUsageError(e.what());
    }

    for (std::string extra : parser.App.remaining()) {
        if (extra == "--") continue; // the end of the options
        extra = extra.substr(0, extra.find('='));
        throw TUsageError("Unknown option \"" + extra + "\" for " + command.Name + ".");
    }

    if (const auto format = SingleValue(*parser.Format, kFormat)) {
        if (*format == "json")
            call.Format = TOutputFormat::Json;
        else if (*format == "csv")
            call.Format = TOutputFormat::Csv;
        else
            throw TUsageError("--format expects json or csv, not \"" + *format + "\".");
    }
    for (std::size_t i = 0; i < command.Options.size(); ++i) {
        const TOptionSpec& option = command.Options[i];
        if (const auto value = SingleValue(*parser.Options[i], option.Name))
            call.Options.Set(option.Name, ParseOptionValue(option, *value));
        else if (option.Default)
            call.Options.Set(option.Name, *option.Default);
    }
    for (const auto& option : command.Options)
        if (!call.Options.Has(option.Name))
            throw TUsageError(command.Name + " needs " + option.Name + " " + option.Placeholder + ".");

    call.Paths = std::move(parser.Files);
    const int files = static_cast<int>(call.Paths.size());
    if (command.PerFile) {
        if (files < 1) throw TUsageError(command.Name + " needs at least one file.");
    } else if (files < command.MinFiles || files > command.MaxFiles) {
        const std::string wanted =
            command.MinFiles == command.MaxFiles
                ? "exactly " + std::to_string(command.MinFiles)
                : std::to_string(command.MinFiles) + " to " + std::to_string(command.MaxFiles);
        throw TUsageError(command.Name + " needs " + wanted + " files, not " + std::to_string(files) + ".");
    }
    return call;
}

// Writes the outputs, one record each (or several, for a command that writes a record per point).
class TOutputRun {
public:
    TOutputRun(const TInvocation& invocation, TRecordWriter& writer,
               const std::vector<TRecordTrailer>& trailers)
        : FCommand(*invocation.Command), FOptions(invocation.Options), FWriter(writer), FTrailers(trailers) {}

    // One output; returns false when it was refused or failed.
    bool Run(const std::vector<std::string>& paths) {
        TCommandCall call(paths, FOptions, [&](TCommandCall& c) {
            EndRecord(c);
            BeginRecord(paths);
        });
        BeginRecord(paths);
        std::string failure;
        try {
            FCommand.Run(call, FWriter);
            EndRecord(call);
            return true;
        } catch (const std::exception& e) {
            failure = e.what();
        }
        FWriter.AbortRecord();
        BeginRecord(paths);
        FWriter.Text("error", failure);
        FWriter.EndRecord();
        return false;
    }

private:
    void BeginRecord(const std::vector<std::string>& paths) {
        FWriter.BeginRecord();
        if (FCommand.PerFile)
            FWriter.Text("input", paths.front());
        else
            FWriter.Texts("inputs", paths);
    }
    void EndRecord(TCommandCall& call) {
        if (!call.Subject().Empty())
            for (const TRecordTrailer trailer : FTrailers)
                trailer(FWriter, call.Subject());
        call.ClearSubject();
        FWriter.EndRecord();
    }

    const TCommand& FCommand;
    const TOptionValues& FOptions;
    TRecordWriter& FWriter;
    const std::vector<TRecordTrailer>& FTrailers;
};

void Pad(std::string& line, std::size_t width) {
    if (line.size() < width) line.resize(width, ' ');
}

} // namespace

std::string NormaliseVersion(std::string_view raw) {
    const std::string kNone = "0.0.0.0";
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!raw.empty() && isSpace(raw.front()))
        raw.remove_prefix(1);
    while (!raw.empty() && isSpace(raw.back()))
        raw.remove_suffix(1);
    if (raw.empty()) return kNone;
    std::string version;
    int parts = 0;
    for (std::size_t start = 0; parts < 4 && start <= raw.size(); ++parts) {
        const std::size_t dot = std::min(raw.find('.', start), raw.size());
        const std::string_view part = raw.substr(start, dot - start);
        // Each part is a 16-bit number in the program file's version block.
        unsigned number = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size() || number > 65535)
            return kNone;
        version += (parts == 0 ? "" : ".") + std::to_string(number);
        start = dot + 1;
    }
    for (; parts < 4; ++parts)
        version += ".0";
    return version;
}

std::string CalcVersionLine() {
    return "calvaro-calc " + NormaliseVersion(CALVARO_CALC_PROJECT_VERSION);
}

std::string CalcUsage() {
    return CalcUsage(CalcCommands());
}

std::string CalcUsage(const TCommandTable& commands) {
    std::string usage = "usage: calvaro-calc COMMAND [OPTIONS] FILE.clv [FILE.clv ...]\n"
                        "       calvaro-calc --help | --version\n\nCommands:\n";
    for (const auto& command : commands.Commands()) {
        std::string line = "  " + command.Name;
        for (const auto& option : command.Options) {
            const std::string text = option.Name + " " + option.Placeholder;
            line += " " + (option.Default ? "[" + text + "]" : text);
        }
        Pad(line, 52);
        usage += line + " " + command.Description + "\n";
    }
    usage += "\nOptions of every command:\n"
             "  --format json|csv   json (default): one object per line; csv: a header row, then one row "
             "per output\n"
             "  --                  what follows is a file, even when it begins with \"-\"\n"
             "  --help, -h          this text\n"
             "  --version, -v       the program's version (alone, without a command)\n\n"
             "Numbers are written with \".\". Exit status: 0 all outputs computed, 1 an input refused or "
             "failed,\n2 usage error, 3 the output could not be written (full disk, closed output).\n";
    return usage;
}

int RunCalvaroCalc(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    return RunCalvaroCalc(arguments, out, err, CalcCommands(), RecordTrailers());
}

int RunCalvaroCalc(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const TCommandTable& commands, const std::vector<TRecordTrailer>& trailers) {
    const auto printUsage = [&] {
        out << CalcUsage(commands) << std::flush;
        return out ? kExitSuccess : kExitOutputFailed;
    };
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) return printUsage();
    if (arguments.size() == 1 && (arguments[0] == "--version" || arguments[0] == "-v")) {
        out << CalcVersionLine() << '\n' << std::flush;
        return out ? kExitSuccess : kExitOutputFailed;
    }
    TInvocation call;
    try {
        call = ParseArguments(arguments, commands);
    } catch (const TUsageError& e) {
        err << "calvaro-calc: " << e.what() << "\n\n" << CalcUsage(commands);
        return kExitUsage;
    }
    if (call.Help) return printUsage();

    const auto writer = MakeRecordWriter(call.Format, out);
    TOutputRun run(call, *writer, trailers);
    bool allSucceeded = true;
    if (call.Command->PerFile) {
        std::vector<std::string> one(1);
        for (const auto& path : call.Paths) {
            one.front() = path;
            allSucceeded = run.Run(one) && allSucceeded;
            if (writer->WriteError() != 0) break; // the output is lost: computing more is of no use
        }
    } else {
        allSucceeded = run.Run(call.Paths);
    }
    writer->Finish();
    if (const int error = writer->WriteError(); error != 0) {
        err << "calvaro-calc: the output could not be written: " << std::strerror(error) << ".\n";
        return kExitOutputFailed;
    }
    return allSucceeded ? kExitSuccess : kExitInputFailed;
}
