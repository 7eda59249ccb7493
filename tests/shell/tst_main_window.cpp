// The main window: data set windows and their titles, the multiple-data-set rule, open and save
// with their messages, the menu state that follows the active data set, the calculation windows'
// path (copy in, treated water back only on OK), help and about.

#include "AboutForm.h"
#include "BuildVersion.h"
#include "CalculationRegistry.h"
#include "CalvaroMainForm.h"
#include "CalvaroModel.h"
#include "CalvaroUtils.h"
#include "HelpFile.h"
#include "MdiBackground.h"
#include "PanelStatusBar.h"
#include "ScriptedDialogs.h"
#include "ShellTestSupport.h"
#include "WaterDatasetForm.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>
#include <stdexcept>

namespace {

// A stand-in for a calculation window: the test's script plays the operator.
class TTestCalcWindow : public QDialog {
public:
    TTestCalcWindow(QWidget* owner, TWaterDataset* dataset) : QDialog(owner), FDataset(dataset) {
        setWindowTitle(QStringLiteral("Test calculation"));
    }
    TWaterDataset* FDataset;
};

TCalcFormFactory TestWindowFactory() {
    return [](QWidget* owner, TWaterDataset* dataset) { return new TTestCalcWindow(owner, dataset); };
}

// Fills the four boxes that a new data set holds out of range.
void MakeValid(TfrmWaterDataset* editor) {
    for (const auto& [name, text] :
         {std::pair{"txtPh", "7.5"}, std::pair{"txtTemperature", "20"},
          std::pair{"txtWaterCharacter", "45.5"}, std::pair{"txtCarboSystemChar", "120"}})
        editor->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
}

const char* const kValidityActions[] = {"ActionView", "FileSave", "MnuSoftening", "Calc2", "Calc4",
                                        "Calc5",      "Calc6",    "Calc7",        "Calc8", "Calc9"};

} // namespace

class TestMainWindow : public QObject {
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
    bool Enabled(const char* action) const { return FMain->Action(QString::fromLatin1(action))->isEnabled(); }
    void AllowMultiple(bool allowed) {
        QAction* option = FMain->Action(QStringLiteral("MenuMultipleDatasets"));
        if (option->isChecked() != allowed) option->trigger(); // toggles, then runs the command
    }
    QString FolderPath(const QString& name) const { return FFolder->filePath(name); }
    void CloseViews() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QStringLiteral("FormViewDataset")) widget->close();
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        FDialogs = std::make_unique<TScriptedDialogs>();
        FFolder = std::make_unique<QTemporaryDir>();
        QVERIFY(FFolder->isValid());
        FMain = std::make_unique<TfrmCalvaroMain>();
        FMain->show();
    }
    void cleanup() {
        CloseViews();
        FMain.reset();
        FDialogs.reset();
        FFolder.reset();
        QFile::remove(HelpFilePath());
        VERIFY_NO_TOP_LEVEL_LEAK();
    }

    void frameCaptionSizesAndToolBar() {
        QCOMPARE(FMain->windowTitle(), QStringLiteral("Calvaro V"));
        QCOMPARE(FMain->minimumSize(), QSize(500, 420));
        QCOMPARE(FMain->width(), 700);
        QCOMPARE(FMain->height() - FMain->menuBar()->height(), 600);
        const auto* bar = FMain->findChild<QToolBar*>(QStringLiteral("ToolBar"));
        QVERIFY(bar);
        QStringList tips;
        for (const QAction* action : bar->actions())
            tips << action->toolTip();
        QCOMPARE(tips, (QStringList{"New", "Open", "View the data set", "Save"}));
        QCOMPARE(FMain->StatusPanel()->findChild<QLabel*>(QStringLiteral("StatusPanel"))->width(), 400);
    }

    void menusAsTheOperatorKnowsThem() {
        // Texts, accelerators, shortcuts and order of every menu, submenus indented by their parent.
        QStringList shown;
        std::function<void(const QMenu*, const QString&)> walk = [&](const QMenu* menu,
                                                                     const QString& indent) {
            for (const QAction* action : menu->actions()) {
                if (action->objectName() == QStringLiteral("WindowListItem")) continue;
                QString line = indent + (action->isSeparator() ? QStringLiteral("-") : action->text());
                if (!action->shortcut().isEmpty())
                    line += QStringLiteral(" [") + action->shortcut().toString() + ']';
                if (action->isCheckable()) line += QStringLiteral(" (check)");
                shown << line;
                if (action->menu()) walk(action->menu(), indent + QStringLiteral("  "));
            }
        };
        for (const QAction* top : FMain->menuBar()->actions()) {
            shown << top->text();
            walk(top->menu(), QStringLiteral("  "));
        }
        const QStringList expected = {"&Data set",
                                      "  &New [Ctrl+N]",
                                      "  &Open [Ctrl+O]",
                                      "  View [Ctrl+L]",
                                      "  &Save [Ctrl+S]",
                                      "  -",
                                      "  Open table of waters...",
                                      "  Add data set files...",
                                      "&Calculations",
                                      "  Softening",
                                      "    Softening to desired Ca value",
                                      "    Softening to desired Mg value",
                                      "    Softening to desired Ca and Mg values",
                                      "  pH adjustment",
                                      "  Stabilisation",
                                      "  Blending",
                                      "    Blend to specified pH",
                                      "    Determine water condition after blending",
                                      "  Equilibrium with the air",
                                      "  Temperature change",
                                      "  Concentration change",
                                      "  Underground water",
                                      "  Ca and carbonate species deficient waters",
                                      "  Dosing curve",
                                      "&Help",
                                      "  Open help file",
                                      "  -",
                                      "  Allow mulitple data sets (check)",
                                      "  Arrange multiple data sets",
                                      "    &Cascade",
                                      "    Tile &horisontally",
                                      "    Tile &vertically",
                                      "    &Minimise all",
                                      "  -",
                                      "  &About..."};
        QCOMPARE(shown, expected);
        QVERIFY(!FMain->Action(QStringLiteral("MenuMultipleDatasets"))->isChecked());
    }

    void calculationItemsCarryTheirIndices() {
        // Each item opens the window registered for its number.
        const std::pair<const char*, int> items[] = {{"Softening to desired Ca value", 11},
                                                     {"Softening to desired Mg value", 12},
                                                     {"Softening to desired Ca and Mg values", 13},
                                                     {"pH adjustment", 7},
                                                     {"Stabilisation", 2},
                                                     {"Blend to specified pH", 31},
                                                     {"Determine water condition after blending", 32},
                                                     {"Equilibrium with the air", 4},
                                                     {"Temperature change", 5},
                                                     {"Concentration change", 6},
                                                     {"Underground water", 8},
                                                     {"Ca and carbonate species deficient waters", 9},
                                                     {"Dosing curve", 14}};
        int opened = -1;
        for (const auto& [text, index] : items) {
            RegisterCalculationForm(index, [&opened, index = index](QWidget* owner, TWaterDataset* dataset) {
                opened = index;
                return new TTestCalcWindow(owner, dataset);
            });
        }
        for (const auto& [text, index] : items) {
            QAction* action = FMain->Action(QStringLiteral("Calc%1").arg(index));
            QVERIFY(action);
            QCOMPARE(action->text(), QString::fromLatin1(text));
            opened = -1;
            FMain->OnCalcMenuClicked(index);
            QCOMPARE(opened, index);
        }
        for (const auto& [text, index] : items)
            RegisterCalculationForm(index, TestWindowFactory());
    }

    void newTwiceWithoutMultipleDatasets() {
        FMain->FileNewExecute();
        QCOMPARE(Titles(), QStringList{"Unknown 1"});
        FMain->FileNewExecute();
        QCOMPARE(Titles(), QStringList{"Unknown 2"});
        QCOMPARE(FMain->GetChildForm()->FilePath(), QStringLiteral("Unknown 2"));
        QVERIFY(FDialogs->Shown.empty()); // closed without a question
    }

    void multipleDatasetsThenUncheckLeavesTheNewest() {
        AllowMultiple(true);
        FMain->FileNewExecute();
        FMain->FileNewExecute();
        FMain->FileNewExecute();
        QCOMPARE(Titles(), (QStringList{"Unknown 1", "Unknown 2", "Unknown 3"}));
        AllowMultiple(false);
        QCOMPARE(Titles().size(), 3); // unchecking closes nothing at once
        FMain->FileNewExecute();
        QCOMPARE(Titles(), QStringList{"Unknown 4"});
        QCOMPARE(FMain->GetChildForm()->windowTitle(), QStringLiteral("Unknown 4"));
    }

    void windowMenuListsTheDataSetsWithTheActiveChecked() {
        AllowMultiple(true);
        FMain->FileNewExecute();
        FMain->FileNewExecute();
        auto* help = FMain->menuBar()->findChild<QMenu*>(QStringLiteral("MnuHelp"));
        QVERIFY(help);
        emit help->aboutToShow();
        QStringList listed;
        QStringList checked;
        for (const QAction* action : help->actions()) {
            if (action->objectName() != QStringLiteral("WindowListItem")) continue;
            listed << action->text();
            if (action->isChecked()) checked << action->text();
        }
        QCOMPARE(listed, (QStringList{"&1 Unknown 1", "&2 Unknown 2"}));
        QCOMPARE(checked, QStringList{"&2 Unknown 2"});
        // Picking the first makes it the active data set window.
        for (QAction* action : help->actions())
            if (action->text() == QStringLiteral("&1 Unknown 1")) action->trigger();
        QCOMPARE(FMain->GetChildForm()->windowTitle(), QStringLiteral("Unknown 1"));
    }

    void arrangeCommandsFollowTheOption() {
        QAction* arrange = FMain->Action(QStringLiteral("MnuArrange"));
        const auto items = arrange->menu()->actions();
        QVERIFY(!arrange->isEnabled());
        for (const QAction* item : items)
            QVERIFY(!item->isVisible());
        AllowMultiple(true);
        QVERIFY(arrange->isEnabled());
        for (const QAction* item : items)
            QVERIFY(item->isVisible());
        FMain->FileNewExecute();
        FMain->FileNewExecute();
        FMain->TileDatasetsHorizontally();
        const auto windows = FMain->MdiArea()->subWindowList();
        QCOMPARE(windows.size(), 2);
        QCOMPARE(windows[0]->width(), FMain->MdiArea()->viewport()->width());
        QVERIFY(windows[1]->y() >= windows[0]->y() + windows[0]->height());
        FMain->TileDatasetsVertically();
        QCOMPARE(windows[0]->height(), FMain->MdiArea()->viewport()->height());
        QVERIFY(windows[1]->x() >= windows[0]->x() + windows[0]->width());
        FMain->MinimiseAllDatasets();
        for (const QMdiSubWindow* window : windows)
            QVERIFY(window->isMinimized());
        AllowMultiple(false);
        QVERIFY(!arrange->isEnabled());
        for (const QAction* item : items)
            QVERIFY(!item->isVisible());
    }

    void commandsFollowTheActiveDataSet() {
        for (const char* action : kValidityActions)
            QVERIFY2(!Enabled(action), action);
        for (const char* action : {"FileNew", "FileOpen", "MnuBlending", "Calc31", "Calc32"})
            QVERIFY2(Enabled(action), action);
        FMain->FileNewExecute();
        for (const char* action : kValidityActions)
            QVERIFY2(!Enabled(action), action);
        QVERIFY(Enabled("MnuBlending"));
        // Each of the four boxes a new data set holds out of range keeps the commands off alone.
        TfrmWaterDataset* editor = FMain->GetChildForm();
        const char* const boxes[] = {"txtPh", "txtTemperature", "txtWaterCharacter", "txtCarboSystemChar"};
        for (const char* missing : boxes) {
            MakeValid(editor);
            editor->findChild<QLineEdit*>(QString::fromLatin1(missing))->setText(QStringLiteral("0"));
            QVERIFY2(!Enabled("ActionView"), missing);
        }
        MakeValid(editor);
        for (const char* action : kValidityActions)
            QVERIFY2(Enabled(action), action);
        // The shortcut goes with the action.
        QCOMPARE(FMain->Action(QStringLiteral("FileSave"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        TypeIntoBox(editor->findChild<QLineEdit*>(QStringLiteral("txtPh")), QStringLiteral("abc"));
        QCOMPARE(editor->Dataset()->Ph(), 0.0);
        for (const char* action : kValidityActions)
            QVERIFY2(!Enabled(action), action);
    }

    void closingADataSetWindowReevaluates() {
        FMain->FileNewExecute();
        MakeValid(FMain->GetChildForm());
        QVERIFY(Enabled("ActionView"));
        QVERIFY(!FMain->MdiArea()->BackgroundShown());
        QPointer<TfrmWaterDataset> editor = FMain->GetChildForm();
        FMain->MdiArea()->subWindowList().first()->close(); // its close button
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(editor.isNull()); // the window and its data set are gone
        QVERIFY(FMain->DatasetWindows().empty());
        QVERIFY(!Enabled("ActionView"));
        QVERIFY(!Enabled("FileSave"));
        QVERIFY(FMain->MdiArea()->BackgroundShown());
    }

    void embeddedEditorReportsToNobody() {
        FMain->FileNewExecute();
        MakeValid(FMain->GetChildForm());
        QVERIFY(Enabled("ActionView"));
        QWidget host;
        TfrmWaterDataset embedded(&host, std::make_unique<TWaterDataset>());
        QVERIFY(!embedded.ValidateDataset());
        QVERIFY(Enabled("ActionView"));
    }

    void promptOfTheActiveEditorInTheMainStatusBar() {
        FMain->FileNewExecute();
        auto* ph = FMain->GetChildForm()->findChild<QLineEdit*>(QStringLiteral("txtPh"));
        EnterBox(ph);
        QCOMPARE(FMain->StatusPanel()->PanelText(), QStringLiteral("Enter a pH between 1 and 14."));
        LeaveBox(ph);
        QCOMPARE(FMain->StatusPanel()->PanelText(), QString());
    }

    void openingAFileTitlesItByItsBareName() {
        TWaterDataset water;
        water.SetPh(7.5);
        water.SetCreateDate(41556);
        const QString path = FolderPath(QStringLiteral("river.clv"));
        SaveDatasetToFile(water, path.toStdString());
        FDialogs->OpenFileAnswers.push_back(path);
        FMain->FileOpenExecute();
        QCOMPARE(FDialogs->Shown.front().Text, QStringLiteral("Please select a Calvaro file..."));
        QCOMPARE(Titles(), QStringList{"river.clv"});
        QCOMPARE(FMain->GetChildForm()->FilePath(), QStringLiteral("river.clv"));
        QCOMPARE(FMain->GetChildForm()->Dataset()->Ph(), 7.5);
        QCOMPARE(FMain->GetChildForm()->findChild<QDateEdit*>()->date(), QDate(2013, 10, 9));
    }

    void openingAnEmptyFileKeepsTheOpenWindow() {
        FMain->FileNewExecute();
        const QString path = FolderPath(QStringLiteral("empty.clv"));
        QVERIFY(WriteWholeFile(path, QByteArray()));
        FDialogs->OpenFileAnswers.push_back(path);
        FMain->FileOpenExecute();
        QCOMPARE(FDialogs->Messages(), QStringList{QStringLiteral("Couldn't load file ") + path +
                                                   QStringLiteral(" it may be corrupt!")});
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Message);
        QCOMPARE(Titles(), QStringList{"Unknown 1"});
    }

    void openingANonJsonFileShowsTheErrorBox() {
        FMain->FileNewExecute();
        const QString path = FolderPath(QStringLiteral("letter.clv"));
        QVERIFY(WriteWholeFile(path, "Dear operator"));
        FDialogs->OpenFileAnswers.push_back(path);
        FMain->FileOpenExecute();
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QCOMPARE(FDialogs->Shown.back().Text, QStringLiteral("The input value is not a valid Object."));
        QCOMPARE(Titles(), QStringList{"Unknown 1"});
        // The program goes on.
        FMain->FileNewExecute();
        QCOMPARE(Titles(), QStringList{"Unknown 2"});
    }

    void openingAMissingFileShowsTheFileSystemsError() {
        FDialogs->OpenFileAnswers.push_back(FolderPath(QStringLiteral("gone.clv")));
        FMain->FileOpenExecute();
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QVERIFY(FDialogs->Shown.back().Text.contains(QStringLiteral("gone.clv")));
        QVERIFY(FMain->DatasetWindows().empty());
    }

    void fileDialogsAsTheOperatorSeesThem() {
        FMain->FileOpenExecute();
        FMain->FileNewExecute();
        FMain->FileSaveExecute();
        QCOMPARE(FDialogs->Shown.size(), std::size_t{2});
        QCOMPARE(FDialogs->Shown[0].Filter, QStringLiteral("Calvaro files (*.clv)"));
        QCOMPARE(FDialogs->Shown[1].Filter, QStringLiteral("Calvaro files (*.clv)"));
        QCOMPARE(FDialogs->Shown[1].DefaultSuffix, QStringLiteral("clv"));

        // The open dialog lists its filter with the pattern, the save dialog by its name alone.
        const auto shownFilter = [](const QFileDialog& dialog) {
            const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            return types ? types->currentText() : QStringLiteral("<no filter list>");
        };
        QFileDialog open;
        open.setOption(QFileDialog::DontUseNativeDialog);
        ConfigureOpenDialog(open,
                            {QStringLiteral("Please select a Calvaro file..."), FDialogs->Shown[0].Filter});
        QCOMPARE(open.windowTitle(), QStringLiteral("Please select a Calvaro file..."));
        QCOMPARE(shownFilter(open), QStringLiteral("Calvaro files (*.clv)"));
        QCOMPARE(open.fileMode(), QFileDialog::ExistingFile);

        QFileDialog save;
        save.setOption(QFileDialog::DontUseNativeDialog);
        ConfigureSaveDialog(save, {FDialogs->Shown[1].Text, FDialogs->Shown[1].Filter,
                                   FDialogs->Shown[1].DefaultSuffix, FDialogs->Shown[1].Detail});
        QCOMPARE(save.windowTitle(),
                 QStringLiteral("Please select where you would like to save this dataset"));
        QCOMPARE(shownFilter(save), QStringLiteral("Calvaro files"));
        QCOMPARE(save.nameFilters(), QStringList{"Calvaro files (*.clv)"}); // still filters on *.clv
        QCOMPARE(save.defaultSuffix(), QStringLiteral("clv"));
        QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(save.testOption(QFileDialog::DontConfirmOverwrite));
    }

    void cancelledOpenDoesNothing() {
        FMain->FileOpenExecute();
        QCOMPARE(FDialogs->Shown.size(), std::size_t{1});
        QVERIFY(FMain->DatasetWindows().empty());
    }

    void savingProposesTheTitleThenTheFullPath() {
        FMain->FileNewExecute();
        TfrmWaterDataset* editor = FMain->GetChildForm();
        editor->findChild<QLineEdit*>(QStringLiteral("txtPh"))
            ->setText(QStringLiteral("8.1")); // pending edit
        const QString path = FolderPath(QStringLiteral("river.clv"));
        FDialogs->SaveFileAnswers.push_back(path);
        FMain->FileSaveExecute();
        QCOMPARE(FDialogs->Shown[0].Kind, TShownDialog::TKind::SaveFile);
        QCOMPARE(FDialogs->Shown[0].Text,
                 QStringLiteral("Please select where you would like to save this dataset"));
        QCOMPARE(FDialogs->Shown[0].Detail, QStringLiteral("Unknown 1"));
        QCOMPARE(FDialogs->Messages(), QStringList{"Successfully saved the file."});
        QCOMPARE(editor->windowTitle(), QStringLiteral("river.clv"));
        QCOMPARE(editor->FilePath(), path);
        const auto saved = LoadDatasetFromFile(path.toStdString());
        QVERIFY(saved);
        QCOMPARE(saved->Ph(), 8.1);

        FDialogs->SaveFileAnswers.push_back(path);
        FMain->FileSaveExecute();
        QCOMPARE(FDialogs->Shown[2].Detail, path);
    }

    void saveWithoutADataSetWindow() {
        FMain->FileSaveExecute();
        QCOMPARE(FDialogs->Messages(), QStringList{"No dataset form found!"});
        QCOMPARE(FDialogs->Shown.size(), std::size_t{1}); // no save dialog
    }

    void saveIntoAMissingFolderKeepsPathAndCaption() {
        FMain->FileNewExecute();
        FDialogs->SaveFileAnswers.push_back(FolderPath(QStringLiteral("no such folder/river.clv")));
        FMain->FileSaveExecute();
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QVERIFY(FDialogs->Shown.back().Text.endsWith(u'.'));
        QCOMPARE(FMain->GetChildForm()->windowTitle(), QStringLiteral("Unknown 1"));
        QCOMPARE(FMain->GetChildForm()->FilePath(), QStringLiteral("Unknown 1"));
    }

    // The save dialog's folder must exist: a name in a missing folder is refused by the dialog
    // before anything is written, and the operator chooses again.
    void saveDialogRefusesAMissingFolderAndTakesTheNextChoice() {
        FMain->FileNewExecute();
        const QString missing = FolderPath(QStringLiteral("no such folder"));
        const QString good = FolderPath(QStringLiteral("river.clv"));
        FDialogs->SaveFileAnswers = {missing + QStringLiteral("/river.clv"), good};
        FMain->FileSaveExecute();
        QCOMPARE(FDialogs->Shown.size(), std::size_t{3});
        QVERIFY(FDialogs->Shown[0].FolderMustExist);
        QCOMPARE(FDialogs->Messages(),
                 (QStringList{
                     QStringLiteral("The folder \"%1\" does not exist. Please choose a folder that exists.")
                         .arg(QDir::toNativeSeparators(missing)),
                     QStringLiteral("Successfully saved the file.")}));
        QVERIFY(!QFileInfo::exists(missing));
        QCOMPARE(FMain->GetChildForm()->FilePath(), good);
        QVERIFY(LoadDatasetFromFile(good.toStdString()));
    }

    // Qt's own save dialog: OK on a name in a missing folder keeps the dialog open with the reason.
    void qtSaveDialogKeepsAMissingFolderFromItsOkButton() {
        class TQuietSaveDialog final : public TSaveFileDialog {
        public:
            using TSaveFileDialog::TSaveFileDialog;
            void ShowRefusal(const QString&) override { ++Refusals; }
            int Refusals = 0;
        };
        TQuietSaveDialog dialog(nullptr,
                                {QStringLiteral("Please select where you would like to save this dataset"),
                                 QStringLiteral("Calvaro files (*.clv)"), QStringLiteral("clv"), QString()});
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setDirectory(FFolder->path());
        dialog.open();
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(QStringLiteral("no such folder/river.clv"));
        dialog.accept();
        QCOMPARE(dialog.Refusals, 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.LastRefusal(),
                 QStringLiteral("The folder \"%1\" does not exist. Please choose a folder that exists.")
                     .arg(QDir::toNativeSeparators(FolderPath(QStringLiteral("no such folder")))));
        name->setText(QStringLiteral("river"));
        dialog.accept();
        QCOMPARE(dialog.Refusals, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.selectedFiles(), QStringList{FolderPath(QStringLiteral("river.clv"))});
        QVERIFY(QDir(FFolder->path()).isEmpty());
    }

    void cancelledSaveWritesNothing() {
        FMain->FileNewExecute();
        FMain->FileSaveExecute();
        QCOMPARE(FDialogs->Shown.size(), std::size_t{1});
        QCOMPARE(FMain->GetChildForm()->windowTitle(), QStringLiteral("Unknown 1"));
        QVERIFY(QDir(FFolder->path()).isEmpty());
    }

    void viewOfAnInvalidOrMissingDataSet() {
        FMain->ActionViewExecute();
        FMain->FileNewExecute();
        FMain->ActionViewExecute();
        QCOMPARE(FDialogs->Messages(), (QStringList{"Invalid dataset ", "Invalid dataset "}));
    }

    void calculationsMenuWarnsOfAnInvalidDataSet() {
        FMain->MnuCalculationsClick();
        QVERIFY(FDialogs->Shown.empty()); // no data set window: nothing to say
        FMain->FileNewExecute();
        FMain->MnuCalculationsClick();
        QCOMPARE(FDialogs->Messages(),
                 QStringList{"The current dataset has one or more invalid inputs. Please "
                             "correct them before running a calculation."});
        MakeValid(FMain->GetChildForm());
        FMain->MnuCalculationsClick();
        QCOMPARE(FDialogs->Messages().size(), 1);
    }

    void calculationClosedWithOkTakesTheTreatedWaterButNotTheDate() {
        RegisterCalculationForm(7, TestWindowFactory());
        FMain->FileNewExecute();
        TfrmWaterDataset* editor = FMain->GetChildForm();
        MakeValid(editor);
        editor->findChild<QLineEdit*>(QStringLiteral("txtTotalSodium"))
            ->setText(QStringLiteral("12")); // pending
        const double date = editor->Dataset()->CreateDate();
        double sodiumSeen = -1;
        bool gotACopy = false;
        FDialogs->ModalScripts.push_back([&](QDialog& dialog) {
            auto& window = static_cast<TTestCalcWindow&>(dialog);
            sodiumSeen = window.FDataset->Sodium();
            gotACopy = window.FDataset != editor->Dataset();
            window.FDataset->SetPh(8.25);
            window.FDataset->SetCreateDate(date - 100);
            window.FDataset->SetWaterCharacterIndex(0);
            window.FDataset->SetTDS(300);
            return int(QDialog::Accepted);
        });
        FMain->ShowCalculationForm(7);
        QCOMPARE(FDialogs->Shown.back().Text, QStringLiteral("Test calculation"));
        QVERIFY(gotACopy);
        QCOMPARE(sodiumSeen, 12.0); // pending edits reached the copy
        QCOMPARE(editor->Dataset()->Ph(), 8.25);
        QCOMPARE(editor->Dataset()->TDS(), 300.0);
        QCOMPARE(editor->Dataset()->CreateDate(), date);
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("txtPh"))->text(), QStringLiteral("8.25"));
        QCOMPARE(editor->findChild<QComboBox*>(QStringLiteral("cmbWaterCharacter"))->currentText(),
                 QStringLiteral("TDS"));
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("txtWaterCharacter"))->text(),
                 QStringLiteral("300"));
        QVERIFY(Enabled("ActionView"));
    }

    void calculationClosedWithCancelLeavesTheDataSet() {
        RegisterCalculationForm(7, TestWindowFactory());
        FMain->FileNewExecute();
        TfrmWaterDataset* editor = FMain->GetChildForm();
        MakeValid(editor);
        editor->ApplyModelUpdates();
        const TWaterDataset before = *editor->Dataset();
        FDialogs->ModalScripts.push_back([](QDialog& dialog) {
            static_cast<TTestCalcWindow&>(dialog).FDataset->SetPh(3);
            return int(QDialog::Rejected);
        });
        FMain->ShowCalculationForm(7);
        QVERIFY(*editor->Dataset() == before);
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("txtPh"))->text(), QStringLiteral("7.5"));
    }

    void blendingWithoutADataSetWindowGetsAFreshWater() {
        RegisterCalculationForm(31, TestWindowFactory());
        QVERIFY(Enabled("MnuBlending"));
        TWaterDataset received;
        FDialogs->ModalScripts.push_back([&](QDialog& dialog) {
            received = *static_cast<TTestCalcWindow&>(dialog).FDataset;
            static_cast<TTestCalcWindow&>(dialog).FDataset->SetPh(9);
            return int(QDialog::Accepted);
        });
        FMain->ShowCalculationForm(31);
        QVERIFY(received == TWaterDataset());
        QVERIFY(FMain->DatasetWindows().empty()); // nothing to take the water over into
    }

    void unknownIndexOpensNothing() {
        // An index outside the calculation table is a fault of the program: a debug build stops at
        // its assertion; a release build opens nothing and says nothing to the operator.
#ifndef QT_NO_DEBUG
        QSKIP("an unknown calculation index stops a debug build at its assertion");
#endif
        FMain->ShowCalculationForm(99);
        QVERIFY(FDialogs->Shown.empty());
    }

    void errorInACommandIsShownAndTheProgramGoesOn() {
        RegisterCalculationForm(5, [](QWidget*, TWaterDataset*) -> QDialog* {
            throw std::runtime_error("The window could not be built");
        });
        FMain->ShowCalculationForm(5);
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QCOMPARE(FDialogs->Shown.back().Text, QStringLiteral("The window could not be built."));
        RegisterCalculationForm(5, TestWindowFactory());
        FMain->FileNewExecute();
        QCOMPARE(Titles(), QStringList{"Unknown 1"});

        // The same through the menu item, as the operator runs it: the error ends at the command that
        // runs it, not in the event loop (the application object catches nothing).
        RegisterCalculationForm(5, [](QWidget*, TWaterDataset*) -> QDialog* {
            throw std::runtime_error("The window could not be built");
        });
        MakeValid(FMain->GetChildForm());
        FDialogs->Shown.clear();
        FMain->Action(QStringLiteral("Calc5"))->trigger();
        QCOMPARE(FDialogs->Shown.size(), std::size_t{1});
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QCOMPARE(FDialogs->Shown.back().Text, QStringLiteral("The window could not be built."));
        RegisterCalculationForm(5, TestWindowFactory());
    }

    void helpFileBesideTheExecutable() {
        QCOMPARE(FMain->HelpFile(), QCoreApplication::applicationDirPath() + QStringLiteral("/help.chm"));
        FMain->HelponCalculations1Click();
        QCOMPARE(FDialogs->Messages(), QStringList{MissingHelpFileMessage(FMain->HelpFile())});
        QVERIFY(FDialogs->Messages().first().contains(FMain->HelpFile()));
        QVERIFY(FDialogs->Messages().first().contains(QStringLiteral("fp-utils")));

        QVERIFY(WriteWholeFile(HelpFilePath(), "ITSF"));
        FDialogs->Shown.clear();
        FMain->HelponCalculations1Click();
        QCOMPARE(FDialogs->Shown.size(), std::size_t{1});
        QCOMPARE(FDialogs->Shown[0].Kind, TShownDialog::TKind::Document);
        QCOMPARE(FDialogs->Shown[0].Text, HelpFilePath());

        FDialogs->DocumentOpens = false;
        FMain->HelponCalculations1Click();
        QCOMPARE(FDialogs->Messages(), QStringList{NoHelpViewerMessage(HelpFilePath())});
        QVERIFY(FDialogs->Messages().first().contains(QStringLiteral("xchm")));
    }

    void aboutBoxShowsTheVersion() {
        QString version;
        FDialogs->ModalScripts.push_back([&](QDialog& dialog) {
            version = static_cast<TAboutBox&>(dialog).VersionText();
            return int(QDialog::Accepted);
        });
        FMain->HelpAbout1Execute();
        QCOMPARE(FDialogs->Shown.back().Text, QStringLiteral("About"));
        QCOMPARE(version, GetBuildVersion());
    }

    void backgroundWhileNoDataSetWindowIsOpen() {
        QVERIFY(FMain->MdiArea()->BackgroundShown());
        QCOMPARE(FMain->MdiArea()->VersionText(), GetBuildVersion());
        FMain->FileNewExecute();
        QVERIFY(!FMain->MdiArea()->BackgroundShown());
        QVERIFY(FMain->MdiArea()->subWindowList().first()->isMaximized());
    }

    void backgroundTilesAtItsFrameStep() {
        // A 50 pixel picture is still placed every 105 pixels, not every 50.
        QPixmap picture(50, 50);
        picture.fill(Qt::red);
        QImage canvas(320, 220, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        TMdiBackground::TileBackground(painter, picture, canvas.size());
        painter.end();
        for (const QPoint at :
             {QPoint(0, 0), QPoint(105, 0), QPoint(210, 105), QPoint(315, 210), QPoint(154, 154)})
            QCOMPARE(QColor(canvas.pixel(at)), QColor(Qt::red));
        for (const QPoint at : {QPoint(60, 0), QPoint(0, 60), QPoint(104, 104), QPoint(160, 0)})
            QCOMPARE(QColor(canvas.pixel(at)), QColor(Qt::black));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
