// The CSV row writer: the bytes of the file after every row, the switch to UTF-8, the quoting of
// items that would split a row, and the file-system errors.
#include "ExportUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::string kNoBreakSpace = "\xC2\xA0";

class CsvWriter : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "calvaro-export-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        FFolder = pattern;
        FPath = (FFolder / "results.csv").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(FFolder, ignored);
    }
    std::string Bytes() const {
        std::ifstream in(FPath, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(FFolder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path FFolder;
    std::string FPath;
};

struct TRowCase {
    const char* Name;
    std::vector<std::string> Items;
    std::string Bytes;
};

const TRowCase kRowCases[] = {
    {"SingleItemHasNoComma", {"View data set"}, "View data set\r\n"},
    {"ThreeItems", {"Sodium", "50.00", "mgNa/l"}, "Sodium,50.00,mgNa/l\r\n"},
    {"EmptyLastItem", {"pH", "7.50", ""}, "pH,7.50,\r\n"},
    {"TwoEmptyItems", {"", ""}, ",\r\n"},
    {"NoItems", {}, "\r\n"},
    {"BlanksAndSemicolonsAsGiven", {" 12 345.00 ", "a;b", "'x'"}, " 12 345.00 ,a;b,'x'\r\n"},
    // The mend: these items used to be written bare and split or broke the row when read back.
    {"ThousandsSeparatorIsQuoted",
     {"Calcium", "1,234.50", "mg/l as CaCO3"},
     "Calcium,\"1,234.50\",mg/l as CaCO3\r\n"},
    {"InnerQuotesAreDoubled", {"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
    {"LineFeedIsQuoted", {"two\nlines", "x"}, "\"two\nlines\",x\r\n"},
    {"CarriageReturnIsQuoted", {"a\rb"}, "\"a\rb\"\r\n"},
    {"OnlyAComma", {","}, "\",\"\r\n"},
};

class CsvRowBytes : public CsvWriter, public ::testing::WithParamInterface<TRowCase> {};

TEST_P(CsvRowBytes, RowIsWrittenAsItsItemsAndCrLf) {
    const auto& row = GetParam();
    TCsvWriter writer("", FPath);
    writer.AddRow(row.Items);
    writer.Close();
    EXPECT_EQ(Bytes(), row.Bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, CsvRowBytes, ::testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CsvWriter, CreationEmptiesAnExistingFileAtOnce) {
    std::ofstream(FPath, std::ios::binary) << "old content\r\n";
    TCsvWriter writer("View data set", FPath);
    EXPECT_EQ(Bytes(), "");
    EXPECT_TRUE(fs::exists(FPath));
    EXPECT_EQ(writer.Description(), "View data set");
    EXPECT_EQ(writer.FilePath(), FPath);
}

TEST_F(CsvWriter, EveryRowIsOnDiskWhenTheCallReturns) {
    TCsvWriter writer("", FPath);
    writer.AddRow({"View data set"});
    EXPECT_EQ(Bytes(), "View data set\r\n");
    writer.AddRow({"Sodium", "50.00", "mgNa/l"});
    EXPECT_EQ(Bytes(), "View data set\r\nSodium,50.00,mgNa/l\r\n");
}

TEST_F(CsvWriter, FirstNonAsciiRowPutsAByteOrderMarkBeforeTheRowsAlreadyWritten) {
    TCsvWriter writer("", FPath);
    writer.AddRow({"Sodium", "50.00", "mgNa/l"});
    writer.AddRow({"pH", "7.50", ""});
    EXPECT_EQ(Bytes(), "Sodium,50.00,mgNa/l\r\npH,7.50,\r\n") << "plain ASCII so far";
    writer.AddRow({"TDS", "1" + kNoBreakSpace + "234.50", "mg/l"});
    const std::string utf8Row = "TDS,1" + kNoBreakSpace + "234.50,mg/l\r\n";
    EXPECT_EQ(Bytes(), kBom + "Sodium,50.00,mgNa/l\r\npH,7.50,\r\n" + utf8Row);
    writer.AddRow({"Temperature", "20.00", "degrees C"});
    writer.AddRow({"Chloride", "2" + kNoBreakSpace + "000.00", "mgCl/l"});
    EXPECT_EQ(Bytes(), kBom + "Sodium,50.00,mgNa/l\r\npH,7.50,\r\n" + utf8Row +
                           "Temperature,20.00,degrees C\r\n" + "Chloride,2" + kNoBreakSpace +
                           "000.00,mgCl/l\r\n")
        << "one byte-order mark only";
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"results.csv"});
}

TEST_F(CsvWriter, NonAsciiFirstRowStartsTheFileWithTheMark) {
    TCsvWriter writer("", FPath);
    writer.AddRow({"Temperature", "20,00",
                   "\xC2\xB0"
                   "C"});
    EXPECT_EQ(Bytes(), kBom + "Temperature,\"20,00\",\xC2\xB0"
                              "C\r\n");
}

TEST_F(CsvWriter, ExportingTwiceLeavesOnlyTheSecondExport) {
    {
        TCsvWriter first("", FPath);
        first.AddRow({"Sodium", "50.00", "mgNa/l"});
        first.AddRow({"TDS", "1" + kNoBreakSpace + "234.50", "mg/l"});
        first.Close();
    }
    TCsvWriter second("", FPath);
    second.AddRow({"View data set"});
    second.Close();
    EXPECT_EQ(Bytes(), "View data set\r\n") << "no mark and no row of the first export";
}

TEST_F(CsvWriter, FileInAMissingFolderCannotBeCreated) {
    const std::string path = (FFolder / "missing" / "results.csv").string();
    try {
        TCsvWriter writer("", path);
        ADD_FAILURE() << "created a file in a missing folder";
    } catch (const TExportError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\": " + std::strerror(ENOENT));
    }
}

TEST_F(CsvWriter, FolderGoneBetweenRowsStopsTheExportWithTheSystemMessage) {
    const fs::path folder = FFolder / "gone";
    fs::create_directory(folder);
    const std::string path = (folder / "results.csv").string();
    TCsvWriter writer("", path);
    writer.AddRow({"View data set"});
    fs::remove_all(folder);
    try {
        writer.AddRow({"Sodium", "50.00", "mgNa/l"});
        ADD_FAILURE() << "appended to a file whose folder is gone";
    } catch (const TExportError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot append to file \"" + path + "\": " + std::strerror(ENOENT));
    }
}

// A file-size limit makes a row fail part-way, as a full disk would.
class CsvWriterWithSizeLimit : public CsvWriter {
protected:
    void Limit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &FSaved), 0);
        rlimit limited = FSaved;
        limited.rlim_cur = bytes;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        FLimited = true;
    }
    void TearDown() override {
        if (FLimited) ::setrlimit(RLIMIT_FSIZE, &FSaved);
        CsvWriter::TearDown();
    }
    rlimit FSaved{};
    bool FLimited = false;
};

TEST_F(CsvWriterWithSizeLimit, FailingRowLeavesTheWholeRowsWrittenBefore) {
    TCsvWriter writer("", FPath);
    writer.AddRow({"View data set"});
    writer.AddRow({"Sodium", "50.00", "mgNa/l"});
    Limit(40);
    try {
        writer.AddRow({"Magnesium", "30.00", "mg/l as CaCO3"});
        ADD_FAILURE() << "a row beyond the size limit was written";
    } catch (const TExportError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot append to file \"" + FPath + "\": " + std::strerror(EFBIG));
    }
    EXPECT_EQ(Bytes(), "View data set\r\nSodium,50.00,mgNa/l\r\n");
}

TEST_F(CsvWriterWithSizeLimit, FailedSwitchToUtf8KeepsTheAsciiRows) {
    TCsvWriter writer("", FPath);
    writer.AddRow({"Sodium", "50.00", "mgNa/l"});
    writer.AddRow({"pH", "7.50", ""});
    Limit(32);
    EXPECT_THROW(writer.AddRow({"TDS", "1" + kNoBreakSpace + "234.50", "mg/l"}), TExportError);
    EXPECT_EQ(Bytes(), "Sodium,50.00,mgNa/l\r\npH,7.50,\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"results.csv"});
}

} // namespace
