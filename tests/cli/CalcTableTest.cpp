// calvaro-calc --table: the rows of a lab table as the waters, one output per row in row order,
// with the row, its line and the carried columns; refused rows as error records; blends of rows.

#include "CliTestSupport.h"
#include "WaterTable.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

// A record without what says where its water came from: what remains is the calculation's.
nlohmann::ordered_json Computed(nlohmann::ordered_json record) {
    for (const char* key : {"input", "row", "line", "columns"})
        record.erase(key);
    return record;
}

struct TTableStyle {
    const char* Name;
    std::string Text;
};

// The same three waters (a pH, a sodium and a calcium apart), with two carried columns, in both
// naming styles of the header.
const TTableStyle kTableStyles[] = {
    {"FileKeysComma", "Sample ID,IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,Place\n"
                      "S-1,7.5,20,50,30,100,40,60,45.5,120,Well 1\n"
                      "S-2,8.1,12,80,30,100,40,60,45.5,120,\"Tap, kitchen\"\n"
                      "S-3,7.2,20,50,30,180,40,60,45.5,120,Well 3\n"},
    {"CaptionsSemicolonDecimalComma",
     "Sample ID;pH;Temperature;Total sodium;Total magnesium;Total calcium;Total sulphate;Total chloride;"
     "Conductivity;Total alkalinity;Place\r\n"
     "S-1;7,5;20;50;30;100;40;60;45,5;120;Well 1\r\n"
     "S-2;8,1;12;80;30;100;40;60;45,5;120;Tap, kitchen\r\n"
     "S-3;7,2;20;50;30;180;40;60;45,5;120;Well 3\r\n"},
};

class CalcTableStyles : public CliFilesTest, public ::testing::WithParamInterface<TTableStyle> {};

TEST_P(CalcTableStyles, EachRowGivesTheRecordOfItsWaterAsADataSetFileWould) {
    const std::string table = WriteText("lab.csv", GetParam().Text);
    const TRunOutput run = RunInProcess({"characterise", "--table", table});
    EXPECT_EQ(run.ExitCode, kExitSuccess) << run.Err;
    const auto lines = run.Lines();
    const auto rows = ReadWaterTableFile(table);
    ASSERT_EQ(lines.size(), 3u);
    const char* places[] = {"Well 1", "Tap, kitchen", "Well 3"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(KeysOf(lines[i]).at(0), "input");
        EXPECT_EQ(lines[i]["input"], table);
        EXPECT_EQ(lines[i]["row"], i + 1);
        EXPECT_EQ(lines[i]["line"], i + 2);
        EXPECT_EQ(lines[i]["columns"], (nlohmann::ordered_json{{"Sample ID", "S-" + std::to_string(i + 1)},
                                                               {"Place", places[i]}}));
        // The row's water through a data set file gives the very same figures.
        const std::string file = Save("row" + std::to_string(i) + ".clv", *rows.at(i).Dataset);
        EXPECT_EQ(Computed(lines[i]), Computed(RunInProcess({"characterise", file}).Lines().at(0)));
    }
    // A run operation too: one output per row, in row order.
    const auto treated = RunInProcess({"temperature", "--to", "60", "--table", table}).Lines();
    ASSERT_EQ(treated.size(), 3u);
    for (std::size_t i = 0; i < treated.size(); ++i)
        EXPECT_EQ(treated[i]["row"], i + 1);
    EXPECT_NE(treated[0]["result"], treated[1]["result"]);
}

INSTANTIATE_TEST_SUITE_P(Headers, CalcTableStyles, ::testing::ValuesIn(kTableStyles),
                         [](const auto& info) { return std::string(info.param.Name); });

const std::string kHeader = "Sample ID,IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK\n";

struct TBadRow {
    const char* Name;
    std::string Row;    // the second data row
    const char* Column; // the column named in the error record ("" when none)
    const char* Value;  // the cell named in the error record ("" when none)
};

const TBadRow kBadRows[] = {
    {"UnreadableNumber", "B-2,7.x,20,50,30,100,40,60,45.5,120", "IPH", "7.x"},
    {"OutOfRange", "B-2,7.5,20,50,30,5001,40,60,45.5,120", "ICA", "5001"},
    {"MissingValue", "B-2,,20,50,30,100,40,60,45.5,120", "IPH", ""},
};

class CalcTableBadRows : public CliFilesTest, public ::testing::WithParamInterface<TBadRow> {};

TEST_P(CalcTableBadRows, GiveAnErrorRecordNamingRowColumnAndValueAndTheOtherRowsAreComputed) {
    const std::string table =
        WriteText("bad.csv", kHeader + "B-1,7.5,20,50,30,100,40,60,45.5,120\n" + GetParam().Row +
                                 "\nB-3,7.8,20,50,30,100,40,60,45.5,120\n");
    const TRunOutput run = RunInProcess({"characterise", "--table", table});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].contains("PrecipitationPotential"));
    EXPECT_TRUE(lines[2].contains("PrecipitationPotential"));
    const auto& bad = lines[1];
    EXPECT_EQ(bad["row"], 2);
    EXPECT_EQ(bad["line"], 3);
    EXPECT_EQ(bad["columns"]["Sample ID"], "B-2");
    const std::string error = bad["error"];
    EXPECT_NE(error.find(GetParam().Column), std::string::npos) << error;
    EXPECT_EQ(bad.value("errorColumn", ""), GetParam().Column);
    EXPECT_EQ(bad.value("errorValue", ""), GetParam().Value);
    if (*GetParam().Value != 0) {
        EXPECT_NE(error.find(GetParam().Value), std::string::npos) << error;
    }
    EXPECT_FALSE(bad.contains("PrecipitationPotential"));
}

INSTANTIATE_TEST_SUITE_P(Rows, CalcTableBadRows, ::testing::ValuesIn(kBadRows),
                         [](const auto& info) { return std::string(info.param.Name); });

class CalcTable : public CliFilesTest {};

TEST_F(CalcTable, CsvHasTheRowAndCarriedColumnsFirstAndTheErrorColumnsLast) {
    const std::string table = WriteText("lab.csv", kHeader + "E-1,7.x,20,50,30,100,40,60,45.5,120\n" +
                                                       "E-2,7.5,20,50,30,100,40,60,45.5,120\n");
    const TRunOutput run = RunInProcess({"characterise", "--format", "csv", "--table", table});
    EXPECT_EQ(run.ExitCode, kExitInputFailed);
    const auto rows = CsvRows(run.Out);
    ASSERT_EQ(rows.size(), 3u);
    const auto& header = rows[0];
    ASSERT_GE(header.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(header.begin(), header.begin() + 5),
              (std::vector<std::string>{"input", "row", "line", "Sample ID", "PrecipitationPotential"}));
    EXPECT_EQ(std::vector<std::string>(header.end() - 3, header.end()),
              (std::vector<std::string>{"error", "errorColumn", "errorValue"}));
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), header.size());
    // The refused row came first; it is laid out by its keys.
    EXPECT_EQ(rows[1][1], "1");
    EXPECT_EQ(rows[1][3], "E-1");
    EXPECT_EQ(rows[1][4], "");
    EXPECT_EQ(rows[1][header.size() - 2], "IPH");
    EXPECT_EQ(rows[1][header.size() - 1], "7.x");
    EXPECT_EQ(rows[2][1], "2");
    EXPECT_EQ(rows[2][3], "E-2");
    EXPECT_EQ(ParseDouble(rows[2][4]), RunInProcess({"characterise", "--table", table})
                                           .Lines()
                                           .at(1)["PrecipitationPotential"]
                                           .get<double>());
    EXPECT_EQ(rows[2][header.size() - 3], "");
}

TEST_F(CalcTable, CarriedColumnsWithSeparatorsQuotesAndLatin1ReadBackFromTheCsv) {
    // A header name with a comma, a cell with a comma and quotes, a Latin-1 cell (read as such).
    const std::string table =
        WriteText("odd.csv", "Sample ID,\"Place, site\",IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK\n"
                             "S-1,\"Moor, \"\"east\"\"\",7.5,20,50,30,100,40,60,45.5,120\n"
                             "S-2,Kl\xE4ranlage,7.x,20,50,30,100,40,60,45.5,120\n");
    const std::vector<std::vector<std::string>> carried = {{"S-1", "Moor, \"east\""},
                                                           {"S-2", "Kl\xC3\xA4ranlage"}};
    const TRunOutput json = RunInProcess({"characterise", "--table", table});
    const auto lines = json.Lines();
    ASSERT_EQ(lines.size(), 2u);
    const TRunOutput csv = RunInProcess({"characterise", "--format", "csv", "--table", table});
    EXPECT_EQ(csv.ExitCode, kExitInputFailed);
    const auto rows = CsvRows(csv.Out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(rows[0].begin() + 3, rows[0].begin() + 5),
              (std::vector<std::string>{"Sample ID", "Place, site"}));
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(rows[i + 1].size(), rows[0].size());
        EXPECT_EQ(std::vector<std::string>(rows[i + 1].begin() + 3, rows[i + 1].begin() + 5), carried[i]);
        EXPECT_EQ(lines[i]["columns"]["Place, site"], carried[i][1]);
    }
    EXPECT_EQ(rows[2].back(), "7.x");
}

TEST_F(CalcTable, BlendTakesTheRowsAsItsWaters) {
    TWaterDataset a = ValidWater(), b = ValidWater();
    a.SetFraction(40);
    b.SetFraction(60);
    b.SetCalcium(200);
    b.SetPh(8.2);
    const std::string table = WriteText("blend.csv", "Source,IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,FRAC\n"
                                                     "River,7.5,20,50,30,100,40,60,45.5,120,40\n"
                                                     "Bore,8.2,20,50,30,200,40,60,45.5,120,60\n");
    const auto fromTable = RunInProcess({"blend", "--table", table});
    EXPECT_EQ(fromTable.ExitCode, kExitSuccess) << fromTable.Out;
    const auto record = fromTable.Lines().at(0);
    EXPECT_EQ(record["input"], table);
    EXPECT_EQ(record["rows"], (nlohmann::ordered_json{1, 2}));
    const auto fromFiles = RunInProcess({"blend", Save("a.clv", a), Save("b.clv", b)}).Lines().at(0);
    EXPECT_EQ(record["result"], fromFiles["result"]);

    const auto toPh = RunInProcess({"blend-ph", "--ph", "7.8", "--table", table}).Lines().at(0);
    EXPECT_TRUE(toPh.contains("PercentWaterA")) << toPh;

    // A blend of one row, or of a refused row, is refused naming the row.
    const std::string one = WriteText("one.csv", "IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,FRAC\n"
                                                 "7.5,20,50,30,100,40,60,45.5,120,100\n");
    const auto single = RunInProcess({"blend", "--table", one});
    EXPECT_EQ(single.ExitCode, kExitInputFailed);
    EXPECT_EQ(single.Lines().at(0)["error"], "blend takes 2 to 20 waters; the table has 1 rows.");
    const std::string bad = WriteText("badblend.csv", "IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK,FRAC\n"
                                                      "7.5,20,50,30,100,40,60,45.5,120,50\n"
                                                      "7.5,20,50,30,x,40,60,45.5,120,50\n");
    const std::string error = RunInProcess({"blend", "--table", bad}).Lines().at(0)["error"];
    EXPECT_EQ(error.rfind("Row 2 (line 3): ", 0), 0u) << error;
}

TEST_F(CalcTable, ATableThatCannotBeReadIsOneErrorRecordAndAMixWithFilesAUsageError) {
    const std::string noWater = WriteText("notes.csv", "Sample ID,Notes\nS-1,clear\n");
    const auto refused = RunInProcess({"characterise", "--table", noWater});
    EXPECT_EQ(refused.ExitCode, kExitInputFailed);
    ASSERT_EQ(refused.Lines().size(), 1u);
    EXPECT_EQ(KeysOf(refused.Lines()[0]), (std::vector<std::string>{"input", "error"}));

    const std::string missing = PathOf("missing.csv");
    const auto absent = RunInProcess({"characterise", "--table", missing});
    EXPECT_EQ(absent.ExitCode, kExitInputFailed);
    EXPECT_EQ(absent.Lines().at(0)["error"],
              "Cannot open file \"" + missing + "\": No such file or directory");

    const std::string table = WriteText("lab.csv", kHeader + "S-1,7.5,20,50,30,100,40,60,45.5,120\n");
    EXPECT_EQ(RunInProcess({"characterise", "--table", table, Save("w.clv", ValidWater())}).ExitCode,
              kExitUsage);
    EXPECT_EQ(RunInProcess({"characterise", "--table", table, "--table", table}).ExitCode, kExitUsage);
    EXPECT_EQ(RunInProcess({"characterise", "--table"}).ExitCode, kExitUsage);
}

TEST_F(CalcTable, TheRealExecutableReadsTheTableFromStandardInput) {
    const std::string table = WriteText("lab.csv", kHeader + "S-1,7.5,20,50,30,100,40,60,45.5,120\n" +
                                                       "S-2,7.9,20,50,30,100,40,60,45.5,120\n");
    const std::string out = PathOf("out.jsonl");
    const std::string command = std::string("'") + CALVARO_CALC_EXECUTABLE + "' characterise --table - <'" +
                                table + "' >'" + out + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitSuccess);
    std::ifstream in(out);
    TRunOutput run;
    run.Out.assign(std::istreambuf_iterator<char>(in), {});
    const auto lines = run.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["input"], "-");
    EXPECT_EQ(lines[1]["columns"]["Sample ID"], "S-2");
    EXPECT_EQ(Computed(lines[1]), Computed(RunInProcess({"characterise", "--table", table}).Lines().at(1)));
}

} // namespace
