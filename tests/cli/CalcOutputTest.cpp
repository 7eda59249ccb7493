// calvaro-calc's output as a reader gets it: always valid UTF-8, zeros without a sign, the objects
// that close every record with a water; and the parser's refusals of repeated options and of
// numbers beyond the doubles.

#include "CliTestSupport.h"
#include "CommandSupport.h"
#include "EngineFacade.h"
#include "RecordWriter.h"

namespace {

// One record {"k": text} through the JSON writer, and one through the CSV writer.
std::string JsonOf(std::string_view text) {
    std::ostringstream out;
    const auto writer = MakeRecordWriter(TOutputFormat::Json, out);
    writer->BeginRecord();
    writer->Text("k", text);
    writer->EndRecord();
    writer->Finish();
    return out.str();
}

std::string CsvOf(std::string_view text) {
    std::ostringstream out;
    const auto writer = MakeRecordWriter(TOutputFormat::Csv, out);
    writer->BeginRecord();
    writer->Text("k", text);
    writer->EndRecord();
    writer->Finish();
    return out.str();
}

const std::string kFffd = "\xEF\xBF\xBD"; // U+FFFD, the replacement character

struct TUtf8Row {
    const char* Name;
    std::string Bytes;
    std::string Written; // as read back from the JSON
};

// Each maximal ill-formed subpart becomes one U+FFFD; characters are kept whole.
const TUtf8Row kUtf8Rows[] = {
    {"Ascii", "river.clv", "river.clv"},
    {"TwoThreeAndFourBytes", "K\xC3\xA4ltefluss \xE2\x82\xAC \xF0\x9F\x92\xA7.clv",
     "K\xC3\xA4ltefluss \xE2\x82\xAC \xF0\x9F\x92\xA7.clv"},
    {"Latin1Umlaut", "Kl\xE4ranlage.clv", "Kl" + kFffd + "ranlage.clv"},
    {"StrayContinuationBytes", "a\x80\xBF", "a" + kFffd + kFffd},
    {"InvalidLeadBytes", "\xFF\xFE", kFffd + kFffd},
    {"CutShortInTheMiddle", "\xE2\x82-x", kFffd + "-x"},
    {"CutShortAtTheEnd", "x\xF0\x9F\x92", "x" + kFffd},
    {"Overlong", "\xC0\xAF\xE0\x80\xAF", kFffd + kFffd + kFffd + kFffd + kFffd},
    {"Surrogate", "\xED\xA0\x80", kFffd + kFffd + kFffd},
    {"BeyondU10FFFF", "\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},
    {"ControlAndInvalid", "\x01\xFF\"", "\x01" + kFffd + "\""},
};

class CalcUtf8Output : public ::testing::TestWithParam<TUtf8Row> {};

TEST_P(CalcUtf8Output, JsonAndCsvAreValidUtf8WithTheBadBytesReplaced) {
    const std::string json = JsonOf(GetParam().Bytes);
    // nlohmann's parser refuses invalid UTF-8, so reading back is the validity check.
    nlohmann::json parsed;
    ASSERT_NO_THROW(parsed = nlohmann::json::parse(json)) << json;
    EXPECT_EQ(parsed["k"], GetParam().Written);

    const auto rows = CsvRows(CsvOf(GetParam().Bytes));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].front(), GetParam().Written);
}

INSTANTIATE_TEST_SUITE_P(Texts, CalcUtf8Output, ::testing::ValuesIn(kUtf8Rows),
                         [](const auto& info) { return std::string(info.param.Name); });

using CalcFileNames = CliFilesTest;

TEST_F(CalcFileNames, AFileNameThatIsNotUtf8GivesValidUtf8Output) {
    const std::string latin1 = Save("Kl\xE4ranlage.clv", ValidWater());
    const std::string missing = PathOf("fehlt-\xFC.clv");
    const std::string folder = FFolder.string();

    const TRunOutput json = RunInProcess({"characterise", latin1, missing});
    EXPECT_EQ(json.ExitCode, kExitInputFailed);
    std::vector<nlohmann::ordered_json> lines;
    ASSERT_NO_THROW(lines = json.Lines()) << json.Out;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["input"], folder + "/Kl" + kFffd + "ranlage.clv");
    EXPECT_TRUE(lines[0].contains("PrecipitationPotential")) << "the file itself is read by its bytes";
    EXPECT_EQ(lines[1]["input"], folder + "/fehlt-" + kFffd + ".clv");
    // The loader's message quotes the name too.
    EXPECT_NE(lines[1]["error"].get<std::string>().find("fehlt-" + kFffd), std::string::npos);

    const TRunOutput csv = RunInProcess({"characterise", "--format", "csv", latin1});
    const auto rows = CsvRows(csv.Out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0], folder + "/Kl" + kFffd + "ranlage.clv");
}

TEST(CalcZeros, AZeroIsWrittenWithoutASign) {
    for (const TOutputFormat format : {TOutputFormat::Json, TOutputFormat::Csv}) {
        std::ostringstream out;
        const auto writer = MakeRecordWriter(format, out);
        writer->BeginRecord();
        writer->Real("negativeZero", -0.0);
        writer->Real("zero", 0.0);
        writer->Real("tiny", -1e-300);
        writer->EndRecord();
        writer->Finish();
        EXPECT_EQ(out.str(), format == TOutputFormat::Json
                                 ? "{\"negativeZero\":0,\"zero\":0,\"tiny\":-1e-300}\n"
                                 : "negativeZero,zero,tiny,error\n0,0,-1e-300,\n");
    }
    EXPECT_EQ(ShortReal(-0.0), "0");
    std::string text;
    AppendReal(text, -0.0);
    EXPECT_EQ(text, "0");
}

using CalcZerosInRuns = CliFilesTest;

TEST_F(CalcZerosInRuns, ARefusalOfMinusZeroSaysZero) {
    // Before, the refusal read "--ph -0 is outside the range 1 to 14.".
    const TRunOutput run =
        RunInProcess({"ph-adjustment", "--chemical", "lime", "--ph", "-0", Save("w.clv", ValidWater())});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    EXPECT_EQ(run.Lines().at(0)["error"], "--ph 0 is outside the range 1 to 14.");
}

struct TParseRow {
    const char* Name;
    std::vector<std::string> Arguments;
    const char* Message; // the whole first line after "calvaro-calc: "
};

const TParseRow kParseRows[] = {
    {"RepeatedOption",
     {"air", "--pco2", "0.001", "--pco2", "0.002", "w.clv"},
     "Option --pco2 is given more than once."},
    {"RepeatedWithTheSameValue",
     {"ph-adjustment", "--chemical", "lime", "--ph", "8", "--ph=8", "w.clv"},
     "Option --ph is given more than once."},
    {"RepeatedFormat",
     {"characterise", "--format", "csv", "--format=json", "w.clv"},
     "Option --format is given more than once."},
    {"RepeatedChoice",
     {"stabilisation", "--chemical", "co2", "--chemical", "lime", "--potential", "1", "w.clv"},
     "Option --chemical is given more than once."},
    // Before, 1e-400 was "not a number" ("--to expects a number written with ".", not "1e-400".").
    {"Underflow",
     {"temperature", "--to", "1e-400", "w.clv"},
     "--to 1e-400 is out of the range of numbers: 0, or a magnitude from 4.9e-324 to 1.8e308."},
    {"NegativeUnderflow",
     {"stabilisation", "--chemical", "co2", "--potential", "-2e-999", "w.clv"},
     "--potential -2e-999 is out of the range of numbers: 0, or a magnitude from 4.9e-324 to 1.8e308."},
    {"Overflow",
     {"air", "--pco2", "1e309", "w.clv"},
     "--pco2 1e309 is out of the range of numbers: 0, or a magnitude from 4.9e-324 to 1.8e308."},
    {"UnderflowOfAChemicalsIndex",
     {"ph-adjustment", "--chemical", "1e-400", "--ph", "8", "w.clv"},
     "--chemical 1e-400 is out of the range of numbers: 0, or a magnitude from 4.9e-324 to 1.8e308."},
    {"UnknownOptionWithItsValue",
     {"characterise", "--ph=7", "w.clv"},
     "Unknown option \"--ph\" for characterise."},
    {"UnknownShortOption", {"characterise", "-x", "w.clv"}, "Unknown option \"-x\" for characterise."},
};

class CalcParseRefusals : public ::testing::TestWithParam<TParseRow> {};

TEST_P(CalcParseRefusals, AreUsageErrorsWithTheirMessageThenTheUsage) {
    const TRunOutput run = RunInProcess(GetParam().Arguments);
    EXPECT_EQ(run.ExitCode, kExitUsage);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "calvaro-calc: " + std::string(GetParam().Message) + "\n\n" + CalcUsage());
}

INSTANTIATE_TEST_SUITE_P(Arguments, CalcParseRefusals, ::testing::ValuesIn(kParseRows),
                         [](const auto& info) { return std::string(info.param.Name); });

using CalcNumbers = CliFilesTest;

TEST_F(CalcNumbers, TheSmallestDoubleIsANumberThatTheWindowsRangeRefuses) {
    const TRunOutput run = RunInProcess({"air", "--pco2", "5e-324", Save("w.clv", ValidWater())});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    EXPECT_EQ(run.Lines().at(0)["error"], "--pco2 5e-324 is outside the range 0.00005 to 1.");
}

TEST(CalcUsage, DocumentsEveryExitStatus) {
    const std::string usage = CalcUsage();
    EXPECT_NE(
        usage.find("Exit status: 0 all outputs computed, 1 an input refused or failed,\n2 usage error, 3 the "
                   "output could not be written (full disk, closed output)."),
        std::string::npos)
        << usage;
}

using CalcParsing = CliFilesTest;

TEST_F(CalcParsing, HelpAfterACommandPrintsTheUsage) {
    for (const char* flag : {"--help", "-h"}) {
        const TRunOutput run = RunInProcess({"softening-ca", flag});
        EXPECT_EQ(run.ExitCode, kExitSuccess);
        EXPECT_EQ(run.Out, CalcUsage());
        EXPECT_EQ(run.Err, "");
    }
}

TEST_F(CalcParsing, EverythingAfterADoubleDashIsAFileWhereverItComes) {
    const std::string a = Save("a.clv", ValidWater()), odd = Save("--odd.clv", ValidWater());
    // A second "--" and "--format" are files too (here ones that do not exist).
    const TRunOutput run = RunInProcess({"characterise", a, "--", odd, "--format", "--"});
    EXPECT_EQ(run.ExitCode, kExitInputFailed) << run.Err;
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0]["input"], a);
    EXPECT_EQ(lines[1]["input"], odd);
    EXPECT_FALSE(lines[1].contains("error"));
    EXPECT_EQ(lines[2]["input"], "--format");
    EXPECT_TRUE(lines[2].contains("error"));
    EXPECT_EQ(lines[3]["input"], "--");
    EXPECT_TRUE(lines[3].contains("error"));
}

TEST_F(CalcParsing, OptionsAndFilesMayComeInAnyOrder) {
    const std::string a = Save("a.clv", ValidWater()), b = Save("b.clv", ValidWater());
    const TRunOutput run = RunInProcess({"temperature", a, "--to", "-0.5e1", "--format=csv", b});
    // -5 degrees is a value (not an option), refused by the window's range.
    EXPECT_EQ(run.ExitCode, kExitInputFailed) << run.Err;
    const auto rows = CsvRows(run.Out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].back(), "--to -5 is outside the range 5 to 90.");
    EXPECT_EQ(rows[2][0], b);
}

// A trailer as the indices will be one: an object computed from what the record describes.
void WriteProbe(TRecordWriter& writer, const TRecordSubject& subject) {
    writer.BeginObject("probe");
    writer.Real("pH", subject.Treated ? subject.Treated->PHF : subject.Water->Ph());
    writer.Text("of", subject.Treated ? "treated" : "water");
    writer.EndObject();
}

std::vector<nlohmann::ordered_json> LinesOf(const std::ostringstream& out) {
    TRunOutput run;
    run.Out = out.str();
    return run.Lines();
}

using CalcRecordTrailers = CliFilesTest;

TEST_F(CalcRecordTrailers, CloseEveryRecordWithAWaterAndOnlyThose) {
    const std::vector<TRecordTrailer> trailers = {WriteProbe};
    TWaterDataset invalid = ValidWater();
    invalid.SetPh(0.5);
    const std::string good = Save("good.clv", ValidWater()), bad = Save("bad.clv", invalid);

    {
        SCOPED_TRACE("characterise: the characterised water");
        std::ostringstream out, err;
        EXPECT_EQ(RunCalvaroCalc({"characterise", good, bad}, out, err, CalcCommands(), trailers),
                  kExitInputFailed);
        const auto lines = LinesOf(out);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(KeysOf(lines[0]).back(), "probe");
        EXPECT_EQ(lines[0]["probe"]["of"], "water");
        EXPECT_EQ(lines[0]["probe"]["pH"], lines[0]["dataset"]["IPH"]);
        EXPECT_FALSE(lines[1].contains("probe")) << "an error record describes no water";
    }
    {
        SCOPED_TRACE("a run operation: the treated water, after the operation's own fields");
        std::ostringstream out, err;
        EXPECT_EQ(RunCalvaroCalc({"air", "--pco2", "0.01", good}, out, err, CalcCommands(), trailers),
                  kExitSuccess);
        const auto line = LinesOf(out).at(0);
        EXPECT_EQ(KeysOf(line),
                  (std::vector<std::string>{"input", "result", "DelC02", "EquilString", "probe"}));
        EXPECT_EQ(line["probe"]["of"], "treated");
        EXPECT_EQ(line["probe"]["pH"], line["result"]["PHF"]);
    }
    {
        SCOPED_TRACE("softening limits describe no water");
        std::ostringstream out, err;
        EXPECT_EQ(RunCalvaroCalc({"softening-limits", good}, out, err, CalcCommands(), trailers),
                  kExitSuccess);
        EXPECT_FALSE(LinesOf(out).at(0).contains("probe"));
    }
    {
        SCOPED_TRACE("CSV: the trailer's keys are the last columns before error");
        std::ostringstream out, err;
        EXPECT_EQ(RunCalvaroCalc({"blend-ph", "--ph", "7.5", "--format", "csv", good, good}, out, err,
                                 CalcCommands(), trailers),
                  kExitSuccess)
            << err.str();
        const auto rows = CsvRows(out.str());
        ASSERT_EQ(rows.size(), 2u);
        const auto& header = rows[0];
        ASSERT_GE(header.size(), 4u);
        EXPECT_EQ(std::vector<std::string>(header.end() - 5, header.end()),
                  (std::vector<std::string>{"PercentWaterA", "PercentWaterB", "pH", "of", "error"}));
        EXPECT_EQ(rows[1][header.size() - 2], "treated");
    }
    {
        SCOPED_TRACE("without trailers, the records end with the command's own fields");
        std::ostringstream out, err;
        EXPECT_EQ(RunCalvaroCalc({"air", "--pco2", "0.01", good}, out, err, CalcCommands(), {}),
                  kExitSuccess);
        EXPECT_EQ(KeysOf(LinesOf(out).at(0)),
                  (std::vector<std::string>{"input", "result", "DelC02", "EquilString"}));
    }
}

// A command as a curve will be declared: an optional option with its default, and one record per
// point, each closed with the trailers of its own treated water.
TCommandTable CurveCommands() {
    TCommand curve;
    curve.Name = "probe-curve";
    curve.Options = {NumberOption("--to"), NumberOption("--points", "N", 3)};
    curve.Description = "the water at N temperatures from its own to X";
    curve.Run = [](TCommandCall& call, TRecordWriter& writer) {
        const TWaterDataset& water = call.Water();
        const int points = static_cast<int>(call.Options.Number("--points"));
        const double from = water.Temperature(), to = call.Options.Number("--to");
        for (int i = 0; i < points; ++i) {
            if (i > 0) call.NextRecord();
            const double temperature = from + (to - from) * i / (points - 1);
            writer.Real("temperature", temperature);
            if (temperature > 90) throw TRefusal("beyond 90 degrees");
            WriteResult(call, writer, *RunTemperatureChange(water, temperature));
        }
    };
    TCommandTable table;
    table.Add(std::move(curve));
    return table;
}

using CalcCommandDeclarations = CliFilesTest;

TEST_F(CalcCommandDeclarations, AnOptionWithADefaultMayBeLeftOutAndACommandMayWriteARecordPerPoint) {
    const TCommandTable commands = CurveCommands();
    const std::vector<TRecordTrailer> trailers = {WriteProbe};
    EXPECT_NE(CalcUsage(commands).find("  probe-curve --to X [--points N] "), std::string::npos)
        << CalcUsage(commands);
    const std::string water = Save("w.clv", ValidWater()); // at 20 degrees

    std::ostringstream out, err;
    ASSERT_EQ(RunCalvaroCalc({"probe-curve", "--to", "60", water}, out, err, commands, trailers),
              kExitSuccess)
        << err.str();
    const auto lines = LinesOf(out);
    ASSERT_EQ(lines.size(), 3u);
    const double temperatures[] = {20, 40, 60};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(KeysOf(lines[i]), (std::vector<std::string>{"input", "temperature", "result", "probe"}));
        EXPECT_EQ(lines[i]["input"], water);
        EXPECT_EQ(lines[i]["temperature"], temperatures[i]);
        EXPECT_EQ(lines[i]["result"]["TF"], temperatures[i]);
        EXPECT_EQ(lines[i]["probe"]["pH"], lines[i]["result"]["PHF"]) << "each point's own water";
    }

    // A failure at the third point ends the curve there: the points before it stay, the failing
    // one becomes the error record.
    std::ostringstream failingOut, failingErr;
    EXPECT_EQ(RunCalvaroCalc({"probe-curve", "--to", "100", "--points", "3", water}, failingOut, failingErr,
                             commands, trailers),
              kExitInputFailed);
    const auto failing = LinesOf(failingOut);
    ASSERT_EQ(failing.size(), 3u);
    EXPECT_EQ(failing[1]["temperature"], 60);
    EXPECT_EQ(KeysOf(failing[2]), (std::vector<std::string>{"input", "error"}));
    EXPECT_EQ(failing[2]["error"], "beyond 90 degrees");

    std::ostringstream usageOut, usageErr;
    EXPECT_EQ(RunCalvaroCalc({"probe-curve", water}, usageOut, usageErr, commands, trailers), kExitUsage);
    EXPECT_NE(usageErr.str().find("probe-curve needs --to X."), std::string::npos) << usageErr.str();
}

} // namespace
