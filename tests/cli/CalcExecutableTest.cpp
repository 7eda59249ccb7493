// The real calvaro-calc executable on real .clv files: its output streams and exit status.

#include "CliTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class CalcExecutable : public CliFilesTest {
protected:
    // `output` redirects the standard output (a file of the test's folder when empty).
    TRunOutput Run(const std::vector<std::string>& arguments, const std::string& output = "") const {
        std::string command = ShellQuoted(CALVARO_CALC_EXECUTABLE);
        for (const auto& argument : arguments)
            command.append(" ").append(ShellQuoted(argument));
        const auto out = FFolder / "stdout.txt", err = FFolder / "stderr.txt";
        if (output.empty())
            command.append(" >").append(ShellQuoted(out.string()));
        else
            command.append(" ").append(output);
        command.append(" 2>").append(ShellQuoted(err.string())).append(" </dev/null");
        const int status = std::system(command.c_str());
        TRunOutput run;
        run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.Out = ReadFile(out);
        run.Err = ReadFile(err);
        return run;
    }
};

TEST_F(CalcExecutable, CharacterisesEveryFileAndExitsWithZero) {
    std::vector<std::string> arguments = {"characterise"};
    for (int i = 0; i < 5; ++i) {
        TWaterDataset water = ValidWater();
        water.SetPh(6.5 + 0.5 * i);
        arguments.push_back(Save(std::string("w").append(std::to_string(i)).append(".clv"), water));
    }
    const TRunOutput run = Run(arguments);
    EXPECT_EQ(run.ExitCode, kExitSuccess) << run.Err;
    EXPECT_EQ(run.Err, "");
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 5u);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i]["input"], arguments[i + 1]);
    // Through the file and back, the characterisation of the same data set is the same.
    EXPECT_EQ(lines[0], RunInProcess({"characterise", arguments[1]}).Lines().at(0));
}

TEST_F(CalcExecutable, ExitsWithOneWhenAnInputIsRefused) {
    TWaterDataset invalid = ValidWater();
    invalid.SetCalcium(5001);
    const TRunOutput run = Run({"characterise", Save("good.clv", ValidWater()), Save("bad.clv", invalid)});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FALSE(lines[0].contains("error"));
    EXPECT_EQ(lines[1]["error"], "Invalid data set: Calcium (ICA) 5001 is outside the range 0 to 5000.");
}

TEST_F(CalcExecutable, ExitsWithTwoAndUsageOnStandardErrorForAUsageError) {
    const TRunOutput run = Run({"characterise", "--chemical", "1", Save("a.clv", ValidWater())});
    EXPECT_EQ(run.ExitCode, kExitUsage);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find("usage: calvaro-calc"), std::string::npos);
}

TEST_F(CalcExecutable, WritesCsv) {
    const TRunOutput run = Run({"characterise", "--format", "csv", Save("a.clv", ValidWater())});
    EXPECT_EQ(run.ExitCode, kExitSuccess);
    const auto rows = CsvRows(run.Out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].front(), "input");
    EXPECT_EQ(rows[0].back(), "error");
}

// Before, a full disk or a closed output lost every record silently, with exit status 0.
struct TLostOutputRow {
    const char* Name;
    std::string Redirect;
    std::vector<std::string> Options;
    const char* Reason;
};

const TLostOutputRow kLostOutputRows[] = {
    {"FullDiskJson", ">/dev/full", {}, "No space left on device"},
    {"FullDiskCsv", ">/dev/full", {"--format", "csv"}, "No space left on device"},
    {"ClosedOutput", ">&-", {}, "Bad file descriptor"},
};

class CalcExecutableLostOutput : public CalcExecutable,
                                 public ::testing::WithParamInterface<TLostOutputRow> {};

TEST_P(CalcExecutableLostOutput, ExitsWithThreeAndSaysSoOnStandardError) {
    std::vector<std::string> arguments = {"characterise"};
    arguments.insert(arguments.end(), GetParam().Options.begin(), GetParam().Options.end());
    arguments.push_back(Save("good.clv", ValidWater()));
    const TRunOutput run = Run(arguments, GetParam().Redirect);
    EXPECT_EQ(run.ExitCode, kExitOutputFailed);
    EXPECT_EQ(run.Err,
              std::string("calvaro-calc: the output could not be written: ") + GetParam().Reason + ".\n");
}

INSTANTIATE_TEST_SUITE_P(Outputs, CalcExecutableLostOutput, ::testing::ValuesIn(kLostOutputRows),
                         [](const auto& info) { return std::string(info.param.Name); });

// A reader that has gone (`calvaro-calc … | head -1`) is a closed output too. Before, the write
// ended the program by SIGPIPE, with no word and no exit status of its own.
TEST_F(CalcExecutable, APipeWhoseReaderHasGoneIsALostOutput) {
    const std::string water = Save("good.clv", ValidWater());
    const auto err = FFolder / "stderr.txt";
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]); // no reader from the start: the first write fails
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        const int errFile = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(errFile, STDERR_FILENO);
        ::execl(CALVARO_CALC_EXECUTABLE, CALVARO_CALC_EXECUTABLE, "characterise", water.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), kExitOutputFailed);
    EXPECT_EQ(ReadFile(err), "calvaro-calc: the output could not be written: Broken pipe.\n");
}

TEST_F(CalcExecutable, AFailedInputDoesNotHideALostOutput) {
    TWaterDataset invalid = ValidWater();
    invalid.SetCalcium(5001);
    const TRunOutput run = Run({"characterise", Save("bad.clv", invalid)}, ">/dev/full");
    EXPECT_EQ(run.ExitCode, kExitOutputFailed);
    EXPECT_NE(run.Err.find("could not be written"), std::string::npos) << run.Err;
}

// The usage text and the version line are output too: before, their loss gave status 3 and no word.
TEST_F(CalcExecutable, ALostUsageOrVersionIsSaidOnStandardError) {
    const std::vector<std::string> calls[] = {{"--help"}, {"-v"}, {"characterise", "--help"}};
    for (const auto& arguments : calls) {
        SCOPED_TRACE(arguments.back());
        const TRunOutput run = Run(arguments, ">/dev/full");
        EXPECT_EQ(run.ExitCode, kExitOutputFailed);
        EXPECT_EQ(run.Err, "calvaro-calc: the output could not be written: No space left on device.\n");
    }
}

} // namespace

TEST_F(CalcExecutable, VersionIsTheProjectVersionInFourNumbers) {
    for (const char* flag : {"--version", "-v"}) {
        SCOPED_TRACE(flag);
        const TRunOutput run = Run({flag});
        EXPECT_EQ(run.ExitCode, kExitSuccess);
        EXPECT_EQ(run.Out, std::string("calvaro-calc ") + CALVARO_EXPECTED_VERSION + "\n");
        EXPECT_EQ(run.Err, "");
    }
}
