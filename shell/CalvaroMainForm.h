#pragma once
// TfrmCalvaroMain: the frame of the desktop program.
//
//   menus / tool bar --> command (asks through Dialogs()) --> logic (OpenDatasetFile, SaveDatasetAs,
//   ShowCalculationForm, ...) --> data set windows (TfrmWaterDataset in the MDI area)
//   each editor's verdict (DatasetValidated) --> OnCurDatasetValidated --> enabled commands
//
// The window holds no data of its own beyond its windows: each data set belongs to its editor.
// Every command catches its own errors at its boundary (RunCommand) and shows them in the error
// box; the logic functions let them travel, so tests and other callers see them.

#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QMdiSubWindow;
class QMenu;
class TMdiBackground;
class TPanelStatusBar;
class TWaterDataset;
class TfrmWaterDataset;
class TfrmWaterTable;

class TfrmCalvaroMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmCalvaroMain(QWidget* parent = nullptr);
    ~TfrmCalvaroMain() override;

    // --- Commands (menu items, tool buttons, shortcuts); each reports its own errors. ---
    void FileNewExecute();
    // Asks for a file, then OpenDatasetFile and OnFormChildrenChanged.
    void FileOpenExecute();
    // Asks where to save the active data set, then SaveDatasetAs.
    void FileSaveExecute();
    // Asks for a lab table (CSV), then OpenWaterTable.
    void FileOpenTableExecute();
    // Asks for data set files (several at once), then AddDatasetFiles.
    void FileAddDatasetFilesExecute();
    void ActionViewExecute();
    // The Calculations menu opens: re-checks the active data set and says when it is invalid.
    void MnuCalculationsClick();
    void OnCalcMenuClicked(int calcIndex) { ShowCalculationForm(calcIndex); }
    // Opens the calculation window of an index modally on a copy of the active data set and takes
    // the treated water over when it closes with OK.
    void ShowCalculationForm(int calcIndex);
    void MenuMultipleDatasetsClick();
    void HelponCalculations1Click();
    void HelpAbout1Execute();
    void CascadeDatasets();
    void TileDatasetsHorizontally(); // one above the other, each the full width
    void TileDatasetsVertically();   // side by side, each the full height
    void MinimiseAllDatasets();

    // --- Logic. These let errors travel. ---
    // Creates a data set window (which then owns `dataset`) titled `title`, shown maximised.
    TfrmWaterDataset* OpenDatasetWindow(const QString& title, std::unique_ptr<TWaterDataset> dataset);
    // Loads a file into a new window titled by its bare name; nullptr (after the "Couldn't load
    // file" message) for an empty file. Throws the load's errors; then no window is opened.
    TfrmWaterDataset* OpenDatasetFile(const QString& path);
    // Writes the window's data set to `path`; on success the window takes the path and the bare
    // name as caption and the success message is shown. False when nothing could be written.
    bool SaveDatasetAs(TfrmWaterDataset* window, const QString& path);
    // A new batch window reading the lab table at `path`; throws when the table cannot be read.
    TfrmWaterTable* OpenWaterTable(const QString& path);
    // The data set files added to the active batch window, or to a new one when none is active.
    TfrmWaterTable* AddDatasetFiles(const QStringList& paths);
    // The open batch windows in the order they were opened.
    std::vector<TfrmWaterTable*> WaterTableWindows() const;

    // The active data set window, or nullptr.
    TfrmWaterDataset* GetChildForm() const;
    // The open data set windows in the order they were opened.
    std::vector<TfrmWaterDataset*> DatasetWindows() const;
    // Re-evaluation after data set windows were opened or closed: the multiple-data-set rule, then
    // the menu state from the active window's verdict.
    void OnFormChildrenChanged();
    void OnCurDatasetValidated(bool valid);

    bool MultipleDatasetsAllowed() const;
    QString HelpFile() const { return FHelpFile; }
    TPanelStatusBar* StatusPanel() const { return FStatusBar; }
    TMdiBackground* MdiArea() const { return FMdiArea; }

    // The actions behind the menus and tool bar, by their object names (FileNew, FileOpen,
    // ActionView, FileSave, MnuSoftening, MnuBlending, Calc7, ..., MenuMultipleDatasets,
    // MnuArrange, HelpAbout1, ...), for tests and for the calculation windows' own menus.
    QAction* Action(const QString& objectName) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    QAction* NewAction(const QString& objectName, const QString& text, void (TfrmCalvaroMain::*command)());
    QAction* NewCalculationAction(QMenu* menu, const QString& text, int calcIndex);
    void UpdateWindowMenu();
    void Notification(QObject* destroyed);
    void CloseDatasetWindow(QMdiSubWindow* window);
    QMdiSubWindow* SubWindowOf(const TfrmWaterDataset* editor) const;
    void TileDatasets(bool horizontally);
    TfrmWaterTable* NewWaterTableWindow(const QString& title);

    QString FHelpFile;
    TMdiBackground* FMdiArea = nullptr;
    TPanelStatusBar* FStatusBar = nullptr;
    std::vector<QMdiSubWindow*> FDatasetWindows;

    QMenu* FDatasetMenu = nullptr;
    QMenu* FCalculationsMenu = nullptr;
    QMenu* FSofteningMenu = nullptr;
    QMenu* FBlendingMenu = nullptr;
    QMenu* FHelpMenu = nullptr;
    QMenu* FArrangeMenu = nullptr;
    QAction* FWindowListSeparator = nullptr;
    std::vector<QAction*> FWindowListActions;
    std::vector<QAction*> FValidityActions; // enabled exactly while the active data set is valid
};
