// The desktop program's command line: its parse, the files opened as Open opens them (a good file
// gets its window; a missing, malformed or empty file is reported and the next file still opens;
// the multiple-data-sets option decides which windows stay), and the help file found beside the
// executable or in the installed layout.

#include "CalvaroMainForm.h"
#include "CommandLine.h"
#include "HelpFile.h"
#include "ScriptedDialogs.h"
#include "ShellTestSupport.h"
#include "WaterDatasetForm.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <iterator>
#include <memory>

namespace {

const QString kExamples = QStringLiteral(CALVARO_EXAMPLES_DIR);

QString Example(const char* name) {
    return kExamples + QLatin1Char('/') + QString::fromLatin1(name);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct TParseRow {
    const char* Name;
    QStringList Arguments;
    bool Help, Version, Multiple;
    QStringList Files;
    bool Error;
};

const TParseRow kParseRows[] = {
    {"nothing", {}, false, false, false, {}, false},
    {"two files", {"a.clv", "b.clv"}, false, false, false, {"a.clv", "b.clv"}, false},
    {"help", {"--help"}, true, false, false, {}, false},
    {"short version", {"-v"}, false, true, false, {}, false},
    {"multiple before a file", {"-m", "a.clv"}, false, false, true, {"a.clv"}, false},
    {"dash file after --", {"--", "-odd.clv", "--help"}, false, false, false, {"-odd.clv", "--help"}, false},
    {"unknown option", {"--frobnicate", "a.clv"}, false, false, false, {"a.clv"}, true},
    {"a lone dash is a file name", {"-"}, false, false, false, {"-"}, false},
};

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    std::unique_ptr<TfrmCalvaroMain> FMain;
    std::unique_ptr<QTemporaryDir> FFolder;

    QStringList Titles() const {
        QStringList titles;
        for (const TfrmWaterDataset* editor : FMain->DatasetWindows())
            titles << editor->windowTitle();
        return titles;
    }
    QStringList Errors() const { return FDialogs->TextsOf(TShownDialog::TKind::Error); }
    QStringList Messages() const { return FDialogs->TextsOf(TShownDialog::TKind::Message); }
    void Open(const QStringList& arguments) { OpenCommandLineFiles(*FMain, ParseCommandLine(arguments)); }

private slots:
    void init() {
        FDialogs = std::make_unique<TScriptedDialogs>();
        FFolder = std::make_unique<QTemporaryDir>();
        QVERIFY(FFolder->isValid());
        FMain = std::make_unique<TfrmCalvaroMain>();
        FMain->show();
    }
    void cleanup() {
        FMain.reset();
        FDialogs.reset();
        FFolder.reset();
        VERIFY_NO_TOP_LEVEL_LEAK();
    }

    void parsesOptionsAndFiles_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kParseRows)); ++i)
            QTest::newRow(kParseRows[i].Name) << i;
    }
    void parsesOptionsAndFiles() {
        QFETCH(int, row);
        const TParseRow& expected = kParseRows[row];
        const TCommandLine line = ParseCommandLine(expected.Arguments);
        QVERIFY2(line.Help == expected.Help, expected.Name);
        QVERIFY2(line.Version == expected.Version, expected.Name);
        QVERIFY2(line.MultipleDatasets == expected.Multiple, expected.Name);
        QCOMPARE(line.Files, expected.Files);
        QVERIFY2(line.Error.isEmpty() != expected.Error, expected.Name);
        if (expected.Error) QVERIFY(line.Error.contains(QStringLiteral("--frobnicate")));
    }

    void versionLineNamesTheProgramAndItsVersion() {
        QVERIFY(CommandLineVersion().startsWith(QStringLiteral("Calvaro V 5.")));
        QVERIFY(CommandLineVersion().endsWith(QLatin1Char('\n')));
    }

    void aGoodFileOpensInItsWindow() {
        Open({Example("hard-groundwater.clv")});
        QCOMPARE(Titles(), QStringList{QStringLiteral("hard-groundwater.clv")});
        QCOMPARE(FDialogs->Shown.size(), std::size_t(0));
        // The window's data set is the file's: the menus follow its (valid) verdict.
        QVERIFY(FMain->Action(QStringLiteral("ActionView"))->isEnabled());
        QCOMPARE(FMain->GetChildForm()->Dataset()->Calcium(), 280.0);
    }

    // Each bad file ends its own command with its message; the program and the next file go on.
    void badFilesAreReportedAndTheNextFileStillOpens() {
        const QString missing = FFolder->filePath(QStringLiteral("missing.clv"));
        const QString malformed = FFolder->filePath(QStringLiteral("malformed.clv"));
        const QString empty = FFolder->filePath(QStringLiteral("empty.clv"));
        QVERIFY(WriteFile(malformed, "this is not a data set"));
        QVERIFY(WriteFile(empty, ""));
        Open({missing, malformed, empty, Example("upland-soft-surface.clv")});

        const QStringList errors = Errors();
        QCOMPARE(errors.size(), 2);
        QVERIFY2(errors[0].contains(QStringLiteral("missing.clv")), qPrintable(errors[0]));
        QCOMPARE(errors[1], QStringLiteral("The input value is not a valid Object."));
        QCOMPARE(Messages(), QStringList{QStringLiteral("Couldn't load file ") + empty +
                                         QStringLiteral(" it may be corrupt!")});
        QCOMPARE(Titles(), QStringList{QStringLiteral("upland-soft-surface.clv")});
        QVERIFY(FMain->isVisible());
    }

    void onlyBadFilesLeaveTheEmptyMainWindow() {
        Open({FFolder->filePath(QStringLiteral("nowhere.clv"))});
        QCOMPARE(Errors().size(), 1);
        QVERIFY(Titles().isEmpty());
        QVERIFY(!FMain->Action(QStringLiteral("ActionView"))->isEnabled());
    }

    // As with Open one file after another: without the option only the last window stays.
    void withoutTheOptionOnlyTheLastFileStays() {
        Open({Example("blend-river.clv"), Example("blend-borehole.clv")});
        QCOMPARE(Titles(), QStringList{QStringLiteral("blend-borehole.clv")});
        QVERIFY(!FMain->MultipleDatasetsAllowed());
    }

    void withMultipleEveryFileKeepsItsWindow() {
        Open({QStringLiteral("--multiple"), Example("blend-river.clv"), Example("blend-borehole.clv")});
        QCOMPARE(Titles(),
                 (QStringList{QStringLiteral("blend-river.clv"), QStringLiteral("blend-borehole.clv")}));
        QVERIFY(FMain->MultipleDatasetsAllowed());
        // The option's own command ran: the arrange menu is offered.
        QVERIFY(FMain->Action(QStringLiteral("MnuArrange"))->isEnabled());
    }

    void helpFileBesideTheExecutableInTheBuildFolder() {
        QDir folder(FFolder->path());
        QVERIFY(folder.mkpath(QStringLiteral("build/bin")));
        const QString program = folder.filePath(QStringLiteral("build/bin"));
        QVERIFY(WriteFile(program + QStringLiteral("/help.chm"), "ITSF"));
        QCOMPARE(HelpFilePathFor(program), program + QStringLiteral("/help.chm"));
    }

    void helpFileInTheInstalledLayout() {
        QDir folder(FFolder->path());
        const QString docs =
            QDir::cleanPath(folder.filePath(QStringLiteral("usr/bin/" CALVARO_INSTALLED_HELP_DIR)));
        QVERIFY(docs.endsWith(QStringLiteral("/usr/share/doc/calvaro")));
        QVERIFY(folder.mkpath(QStringLiteral("usr/bin")));
        QVERIFY(folder.mkpath(docs));
        QVERIFY(WriteFile(docs + QStringLiteral("/help.chm"), "ITSF"));
        QCOMPARE(HelpFilePathFor(folder.filePath(QStringLiteral("usr/bin"))),
                 docs + QStringLiteral("/help.chm"));
    }

    void noHelpFileNamesThePathBesideTheExecutable() {
        QDir folder(FFolder->path());
        QVERIFY(folder.mkpath(QStringLiteral("usr/bin")));
        const QString program = folder.filePath(QStringLiteral("usr/bin"));
        QCOMPARE(HelpFilePathFor(program), program + QStringLiteral("/help.chm"));
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
