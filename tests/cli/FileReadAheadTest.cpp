// Files read ahead on a second thread give what each file gives when it is read in its turn: its
// bytes or the loader's refusal, in the order of the paths, over more files than are held at once;
// and calvaro-calc writes the same records and exit status either way.

#include "FileReadAhead.h"
#include "CliTestSupport.h"

#include <sys/stat.h>

#include <optional>

namespace {

// A file read in its turn: the bytes, or the message of the error reading it gave.
struct TReadInTurn {
    std::optional<std::string> Bytes;
    std::string Error;
};

TReadInTurn ReadInTurn(const std::string& path) {
    TReadInTurn read;
    std::vector<char> buffer;
    try {
        read.Bytes = std::string(ReadDatasetFileBytes(path, buffer));
    } catch (const std::exception& e) {
        read.Error = e.what();
    }
    return read;
}

class FileReadAheadTest : public CliFilesTest {
protected:
    // 200 inputs: varied waters, and among them every kind of file the loader refuses unread or
    // cannot read (a missing file, a folder, a FIFO without a writer, a character device, a file
    // over the size limit), an empty file and texts that are not data sets.
    std::vector<std::string> MixedInputs() const {
        std::vector<std::string> paths;
        const std::string fifo = PathOf("pipe.clv");
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::filesystem::create_directories(PathOf("folder.clv"));
        const std::string oversized = WriteText("large.clv", std::string(kMaxDatasetFileBytes + 1, ' '));
        for (int i = 0; i < 200; ++i) {
            std::string name = "w";
            name.append(std::to_string(i)).append(".clv");
            switch (i % 25) {
            case 3:
                paths.push_back(PathOf("missing-" + name));
                break;
            case 7:
                paths.push_back(PathOf("folder.clv"));
                break;
            case 11:
                paths.push_back(fifo);
                break;
            case 13:
                paths.push_back("/dev/zero");
                break;
            case 17:
                paths.push_back(oversized);
                break;
            case 19:
                paths.push_back(WriteText(name, ""));
                break;
            case 23:
                paths.push_back(WriteText(name, "{\"type\":\"CalvaroModel.TWaterDataset\",\"id\":1}"));
                break;
            default: {
                TWaterDataset water = ValidWater();
                water.SetPh(6.5 + 0.01 * i);
                water.SetCalcium(20 + i);
                paths.push_back(Save(name, water));
            }
            }
        }
        return paths;
    }
};

TEST_F(FileReadAheadTest, GivesEveryFileItsBytesOrItsErrorInOrder) {
    const std::vector<std::string> paths = MixedInputs();
    std::vector<TReadInTurn> expected;
    for (const auto& path : paths)
        expected.push_back(ReadInTurn(path));

    TFileReadAhead ahead(paths);
    int read = 0, refused = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // Every fifth file is passed over without its bytes being asked for, as a command that
        // refuses its options first passes over its file.
        if (i % 5 != 4) {
            SCOPED_TRACE("file " + std::to_string(i) + ": " + paths[i]);
            try {
                const std::string_view bytes = ahead.Bytes(i);
                ASSERT_TRUE(expected[i].Bytes.has_value()) << "read, but in its turn: " << expected[i].Error;
                EXPECT_EQ(bytes, *expected[i].Bytes);
                ++read;
            } catch (const TFileError& e) {
                ASSERT_FALSE(expected[i].Bytes.has_value()) << "refused, but read in its turn: " << e.what();
                EXPECT_EQ(e.what(), expected[i].Error);
                ++refused;
            }
        }
        ahead.Release(i);
    }
    EXPECT_EQ(read, 120);
    EXPECT_EQ(refused, 40);
}

TEST_F(FileReadAheadTest, StopsWhenTheCallerGivesUpPartWay) {
    const std::vector<std::string> paths = MixedInputs();
    for (const std::size_t stopAfter : {std::size_t{0}, std::size_t{1}, std::size_t{70}}) {
        TFileReadAhead ahead(paths);
        for (std::size_t i = 0; i < stopAfter; ++i) {
            if (i % 25 == 0) {
                EXPECT_EQ(ahead.Bytes(i), *ReadInTurn(paths[i]).Bytes);
            }
            ahead.Release(i);
        }
    } // each reader is stopped and joined here; a reader that did not stop would hang the test
}

TRunOutput RunReading(const std::vector<std::string>& arguments, TFileReading reading) {
    std::ostringstream out, err;
    TRunOutput run;
    run.ExitCode = RunCalvaroCalc(arguments, out, err, CalcCommands(), RecordTrailers(), reading);
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

TEST_F(FileReadAheadTest, CalvaroCalcWritesTheSameRecordsAsWhenEachFileIsReadInItsTurn) {
    std::vector<std::string> paths = MixedInputs();
    TWaterDataset invalid = ValidWater();
    invalid.SetPh(0.5);
    paths.insert(paths.begin() + 40, Save("invalid.clv", invalid));
    const std::vector<std::vector<std::string>> commands = {
        {"characterise"},
        {"characterise", "--format", "csv"},
        {"ph-adjustment", "--chemical", "1", "--ph", "8.5"},
        {"temperature", "--to", "200"}, // every water read, then its option refused
    };
    for (const auto& command : commands) {
        std::vector<std::string> arguments = command;
        arguments.push_back("--");
        arguments.insert(arguments.end(), paths.begin(), paths.end());
        std::string commandLine;
        for (const auto& word : command)
            commandLine.append(word).append(" ");
        SCOPED_TRACE(commandLine);
        const TRunOutput inTurn = RunReading(arguments, TFileReading::InTurn);
        const TRunOutput ahead = RunReading(arguments, TFileReading::Ahead);
        EXPECT_EQ(ahead.ExitCode, kExitInputFailed);
        EXPECT_EQ(ahead.ExitCode, inTurn.ExitCode);
        EXPECT_EQ(ahead.Err, inTurn.Err);
        EXPECT_EQ(ahead.Out, inTurn.Out);
        EXPECT_GE(std::count(ahead.Out.begin(), ahead.Out.end(), '\n'), 201);
    }
}

} // namespace
