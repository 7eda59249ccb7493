// calvaro-calc --version: the project version as the desktop program's about box shows it.

#include "CliTestSupport.h"

namespace {

struct TVersionRow {
    const char* Raw;
    const char* Shown;
};

// The about box's rules: four numbers of 0..65535; missing parts are 0, extra parts dropped,
// anything else 0.0.0.0.
const TVersionRow kVersionRows[] = {
    {"5.0.0.1", "5.0.0.1"},   {" 5.0.0.17 ", "5.0.0.17"},     {"5.1", "5.1.0.0"},
    {"5.0.0.1.9", "5.0.0.1"}, {"5.0.0.65535", "5.0.0.65535"}, {"5.0.0.65536", "0.0.0.0"},
    {"5.x.0.1", "0.0.0.0"},   {"5..0.1", "0.0.0.0"},          {"", "0.0.0.0"},
    {"-5.0.0.1", "0.0.0.0"},
};

class CalcVersionTexts : public ::testing::TestWithParam<TVersionRow> {};

TEST_P(CalcVersionTexts, AreFourNumbersAsTheAboutBoxShowsThem) {
    EXPECT_EQ(NormaliseVersion(GetParam().Raw), GetParam().Shown) << '"' << GetParam().Raw << '"';
}

INSTANTIATE_TEST_SUITE_P(Versions, CalcVersionTexts, ::testing::ValuesIn(kVersionRows));

TEST(CalcVersion, IsPrintedAloneAndListedInTheUsage) {
    const TRunOutput run = RunInProcess({"--version"});
    EXPECT_EQ(run.ExitCode, kExitSuccess);
    EXPECT_EQ(run.Out, "calvaro-calc " + NormaliseVersion(CALVARO_EXPECTED_VERSION) + "\n");
    EXPECT_EQ(run.Out, CalcVersionLine() + "\n");
    EXPECT_NE(CalcUsage().find("--version"), std::string::npos);
    // After a command it is an unknown option of that command.
    EXPECT_EQ(RunInProcess({"characterise", "--version", "w.clv"}).ExitCode, kExitUsage);
}

} // namespace
