#include "CalvaroMainForm.h"

#include "AboutForm.h"
#include "BuildVersion.h"
#include "CalculationRegistry.h"
#include "CalvaroModel.h"
#include "CalvaroUtils.h"
#include "CommandGuard.h"
#include "Dialogs.h"
#include "HelpFile.h"
#include "MdiBackground.h"
#include "PanelStatusBar.h"
#include "ViewDatasetForm.h"
#include "WaterDatasetForm.h"
#include "WaterTableForm.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

namespace {

const QString kOpenTitle = QStringLiteral("Please select a Calvaro file...");
const QString kOpenFilter = QStringLiteral("Calvaro files (*.clv)");
const QString kSaveTitle = QStringLiteral("Please select where you would like to save this dataset");
const QString kSaveFilter = QStringLiteral("Calvaro files (*.clv)");
const QString kTableTitle = QStringLiteral("Please select a table of waters...");
const QString kTableFilter = QStringLiteral("Tables of waters (*.csv *.txt *.tsv);;All files (*)");
const QString kAddFilesTitle = QStringLiteral("Please select Calvaro files...");

// The editor inside a data set window (it sits in a scroll area, so that a small or tiled window
// can still reach every box).
TfrmWaterDataset* EditorOf(const QMdiSubWindow* window) {
    const auto* scroller = qobject_cast<const QScrollArea*>(window->widget());
    return scroller ? qobject_cast<TfrmWaterDataset*>(scroller->widget()) : nullptr;
}

// A path as the model's file functions take it: the file system's own encoding.
std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

TfrmCalvaroMain::TfrmCalvaroMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmCalvaroMain"));
    setWindowTitle(QStringLiteral("Calvaro V"));
    FormCreate();

    FMdiArea = new TMdiBackground(this);
    setCentralWidget(FMdiArea);
    FStatusBar = new TPanelStatusBar(400, this);
    FStatusBar->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(FStatusBar);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    connect(FMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        // The commands follow the window the operator works in.
        if (std::find(FDatasetWindows.begin(), FDatasetWindows.end(), window) == FDatasetWindows.end())
            return;
        if (TfrmWaterDataset* editor = EditorOf(window))
            RunCommand(this, [editor] { editor->ValidateDataset(); });
    });

    // The client area is 700 by 600 below the menu bar.
    setMinimumSize(500, 420);
    resize(700, 600 + menuBar()->sizeHint().height());
    if (const QScreen* display = screen()) move(display->availableGeometry().center() - rect().center());

    // The commands are in their start state also before the window is first shown.
    FormShow();
}

TfrmCalvaroMain::~TfrmCalvaroMain() {
    // The data set windows go first, while this window is still whole; closing the main window
    // destroys them without a question.
    disconnect(FMdiArea, nullptr, this, nullptr);
    const auto windows = FDatasetWindows;
    FDatasetWindows.clear();
    for (QMdiSubWindow* window : windows) {
        disconnect(window, nullptr, this, nullptr);
        delete window;
    }
}

void TfrmCalvaroMain::FormCreate() {
    FHelpFile = HelpFilePath();
}

void TfrmCalvaroMain::FormShow() {
    FMdiArea->SetVersionText(GetBuildVersion());
    OnFormChildrenChanged();
}

void TfrmCalvaroMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

QAction* TfrmCalvaroMain::NewAction(const QString& objectName, const QString& text,
                                    void (TfrmCalvaroMain::*command)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(objectName);
    if (command)
        connect(action, &QAction::triggered, this, Guarded(this, [this, command] { (this->*command)(); }));
    return action;
}

void TfrmCalvaroMain::CreateActions() {
    QAction* fileNew =
        NewAction(QStringLiteral("FileNew"), QStringLiteral("&New"), &TfrmCalvaroMain::FileNewExecute);
    fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    fileNew->setToolTip(QStringLiteral("New"));
    fileNew->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    QAction* fileOpen =
        NewAction(QStringLiteral("FileOpen"), QStringLiteral("&Open"), &TfrmCalvaroMain::FileOpenExecute);
    fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    fileOpen->setToolTip(QStringLiteral("Open"));
    fileOpen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    QAction* view =
        NewAction(QStringLiteral("ActionView"), QStringLiteral("View"), &TfrmCalvaroMain::ActionViewExecute);
    view->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    view->setToolTip(QStringLiteral("View the data set"));
    view->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    QAction* save =
        NewAction(QStringLiteral("FileSave"), QStringLiteral("&Save"), &TfrmCalvaroMain::FileSaveExecute);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setToolTip(QStringLiteral("Save"));
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    FValidityActions = {view, save};
}

QAction* TfrmCalvaroMain::NewCalculationAction(QMenu* menu, const QString& text, int calcIndex) {
    auto* action = menu->addAction(text);
    action->setObjectName(QStringLiteral("Calc%1").arg(calcIndex));
    connect(action, &QAction::triggered, this,
            Guarded(this, [this, calcIndex] { OnCalcMenuClicked(calcIndex); }));
    return action;
}

void TfrmCalvaroMain::CreateMenus() {
    FDatasetMenu = menuBar()->addMenu(QStringLiteral("&Data set"));
    FDatasetMenu->setObjectName(QStringLiteral("MnuDataset"));
    FDatasetMenu->addAction(Action(QStringLiteral("FileNew")));
    FDatasetMenu->addAction(Action(QStringLiteral("FileOpen")));
    FDatasetMenu->addAction(Action(QStringLiteral("ActionView")));
    FDatasetMenu->addAction(Action(QStringLiteral("FileSave")));
    FDatasetMenu->addSeparator();
    FDatasetMenu->addAction(NewAction(QStringLiteral("FileOpenTable"),
                                      QStringLiteral("Open table of waters..."),
                                      &TfrmCalvaroMain::FileOpenTableExecute));
    FDatasetMenu->addAction(NewAction(QStringLiteral("FileAddDatasetFiles"),
                                      QStringLiteral("Add data set files..."),
                                      &TfrmCalvaroMain::FileAddDatasetFilesExecute));

    FCalculationsMenu = menuBar()->addMenu(QStringLiteral("&Calculations"));
    FCalculationsMenu->setObjectName(QStringLiteral("MnuCalculations"));
    connect(FCalculationsMenu, &QMenu::aboutToShow, this, [this] { MnuCalculationsClick(); });
    // The items in the order of the calculation table; a submenu stands where its first item does.
    // Blending is never disabled: its windows bring their own waters.
    for (const TCalculationItem& item : CalculationItems()) {
        QMenu* menu = FCalculationsMenu;
        if (item.Menu != TCalculationMenu::Calculations) {
            const bool softening = item.Menu == TCalculationMenu::Softening;
            QMenu*& submenu = softening ? FSofteningMenu : FBlendingMenu;
            if (!submenu) {
                submenu = FCalculationsMenu->addMenu(softening ? QStringLiteral("Softening")
                                                               : QStringLiteral("Blending"));
                submenu->menuAction()->setObjectName(softening ? QStringLiteral("MnuSoftening")
                                                               : QStringLiteral("MnuBlending"));
                if (item.NeedsValidDataset) FValidityActions.push_back(submenu->menuAction());
            }
            menu = submenu;
        }
        QAction* action = NewCalculationAction(menu, QString::fromLatin1(item.Text), item.Index);
        if (menu == FCalculationsMenu && item.NeedsValidDataset) FValidityActions.push_back(action);
    }

    FHelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    FHelpMenu->setObjectName(QStringLiteral("MnuHelp"));
    FHelpMenu->addAction(NewAction(QStringLiteral("HelponCalculations1"), QStringLiteral("Open help file"),
                                   &TfrmCalvaroMain::HelponCalculations1Click));
    FHelpMenu->addSeparator();
    QAction* multiple =
        NewAction(QStringLiteral("MenuMultipleDatasets"), QStringLiteral("Allow mulitple data sets"),
                  &TfrmCalvaroMain::MenuMultipleDatasetsClick);
    multiple->setCheckable(true);
    multiple->setChecked(false);
    FHelpMenu->addAction(multiple);
    FArrangeMenu = FHelpMenu->addMenu(QStringLiteral("Arrange multiple data sets"));
    FArrangeMenu->menuAction()->setObjectName(QStringLiteral("MnuArrange"));
    FArrangeMenu->addAction(NewAction(QStringLiteral("WindowCascade"), QStringLiteral("&Cascade"),
                                      &TfrmCalvaroMain::CascadeDatasets));
    FArrangeMenu->addAction(NewAction(QStringLiteral("WindowTileHorizontal"),
                                      QStringLiteral("Tile &horisontally"),
                                      &TfrmCalvaroMain::TileDatasetsHorizontally));
    FArrangeMenu->addAction(NewAction(QStringLiteral("WindowTileVertical"),
                                      QStringLiteral("Tile &vertically"),
                                      &TfrmCalvaroMain::TileDatasetsVertically));
    FArrangeMenu->addAction(NewAction(QStringLiteral("WindowMinimizeAll"), QStringLiteral("&Minimise all"),
                                      &TfrmCalvaroMain::MinimiseAllDatasets));
    FHelpMenu->addSeparator();
    FHelpMenu->addAction(NewAction(QStringLiteral("HelpAbout1"), QStringLiteral("&About..."),
                                   &TfrmCalvaroMain::HelpAbout1Execute));
    // The Help menu is also the window menu: the open data set windows are listed at its end.
    connect(FHelpMenu, &QMenu::aboutToShow, this, Guarded(this, [this] { UpdateWindowMenu(); }));
    MenuMultipleDatasetsClick();
}

void TfrmCalvaroMain::CreateToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Data set"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    for (const char* name : {"FileNew", "FileOpen", "ActionView", "FileSave"})
        bar->addAction(Action(QString::fromLatin1(name)));
}

QAction* TfrmCalvaroMain::Action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

bool TfrmCalvaroMain::MultipleDatasetsAllowed() const {
    return Action(QStringLiteral("MenuMultipleDatasets"))->isChecked();
}

void TfrmCalvaroMain::UpdateWindowMenu() {
    for (QAction* action : FWindowListActions)
        delete action;
    FWindowListActions.clear();
    delete FWindowListSeparator;
    FWindowListSeparator = nullptr;
    if (FDatasetWindows.empty()) return;
    FWindowListSeparator = FHelpMenu->addSeparator();
    const QMdiSubWindow* current = FMdiArea->currentSubWindow();
    int number = 0;
    for (QMdiSubWindow* window : FDatasetWindows) {
        ++number;
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(window->windowTitle())
                                         : QStringLiteral("%1 %2").arg(number).arg(window->windowTitle());
        QAction* action = FHelpMenu->addAction(text);
        action->setObjectName(QStringLiteral("WindowListItem"));
        action->setCheckable(true);
        action->setChecked(window == current);
        connect(action, &QAction::triggered, this, Guarded(this, [this, window] {
                    if (std::find(FDatasetWindows.begin(), FDatasetWindows.end(), window) !=
                        FDatasetWindows.end())
                        FMdiArea->setActiveSubWindow(window);
                }));
        FWindowListActions.push_back(action);
    }
}

// --- Data set windows -----------------------------------------------------------------------

TfrmWaterDataset* TfrmCalvaroMain::OpenDatasetWindow(const QString& title,
                                                     std::unique_ptr<TWaterDataset> dataset) {
    auto* editor = new TfrmWaterDataset(this, std::move(dataset));
    editor->SetFilePath(title);
    editor->setWindowTitle(title);
    editor->SetStatusBar(FStatusBar);
    connect(editor, &TfrmWaterDataset::DatasetValidated, this, &TfrmCalvaroMain::OnCurDatasetValidated);
    auto* scroller = new QScrollArea;
    scroller->setObjectName(QStringLiteral("DatasetScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(editor);
    QMdiSubWindow* window = FMdiArea->addSubWindow(scroller);
    window->setWindowTitle(title);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    FDatasetWindows.push_back(window);
    connect(window, &QObject::destroyed, this, &TfrmCalvaroMain::Notification);
    window->showMaximized();
    FMdiArea->setActiveSubWindow(window);
    return editor;
}

TfrmWaterDataset* TfrmCalvaroMain::OpenDatasetFile(const QString& path) {
    std::unique_ptr<TWaterDataset> dataset = LoadDatasetFromFile(LocalPath(path));
    if (!dataset) {
        Dialogs().ShowMessage(this, QStringLiteral("Couldn't load file ") + path +
                                        QStringLiteral(" it may be corrupt!"));
        return nullptr;
    }
    return OpenDatasetWindow(QFileInfo(path).fileName(), std::move(dataset));
}

bool TfrmCalvaroMain::SaveDatasetAs(TfrmWaterDataset* window, const QString& path) {
    window->ApplyModelUpdates();
    SaveDatasetToFile(*window->Dataset(), LocalPath(path)); // a failure raises, the window keeps its name
    window->SetFilePath(path);
    window->setWindowTitle(QFileInfo(path).fileName());
    if (QMdiSubWindow* sub = SubWindowOf(window)) {
        sub->setWindowTitle(window->windowTitle());
        sub->update();
    }
    Dialogs().ShowMessage(this, QStringLiteral("Successfully saved the file."));
    return true;
}

TfrmWaterTable* TfrmCalvaroMain::NewWaterTableWindow(const QString& title) {
    // A row opens as a data set window the way Open does: the multiple-data-set rule applies.
    auto* table =
        new TfrmWaterTable(this, [this](const QString& rowTitle, std::unique_ptr<TWaterDataset> water) {
            OpenDatasetWindow(rowTitle, std::move(water));
            OnFormChildrenChanged();
        });
    table->setWindowTitle(title);
    QMdiSubWindow* window = FMdiArea->addSubWindow(table);
    window->setObjectName(QStringLiteral("WaterTableWindow"));
    window->setWindowTitle(title);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    window->showMaximized();
    FMdiArea->setActiveSubWindow(window);
    return table;
}

TfrmWaterTable* TfrmCalvaroMain::OpenWaterTable(const QString& path) {
    TfrmWaterTable* table = NewWaterTableWindow(QFileInfo(path).fileName());
    try {
        table->OpenTable(path);
    } catch (...) {
        delete table->parentWidget(); // the table could not be read: no window stays
        throw;
    }
    return table;
}

TfrmWaterTable* TfrmCalvaroMain::AddDatasetFiles(const QStringList& paths) {
    TfrmWaterTable* table = nullptr;
    if (const QMdiSubWindow* current = FMdiArea->currentSubWindow())
        table = qobject_cast<TfrmWaterTable*>(current->widget());
    if (!table) table = NewWaterTableWindow(QStringLiteral("Data set files"));
    table->AddDatasetFiles(paths);
    return table;
}

std::vector<TfrmWaterTable*> TfrmCalvaroMain::WaterTableWindows() const {
    std::vector<TfrmWaterTable*> tables;
    for (QMdiSubWindow* window : FMdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* table = qobject_cast<TfrmWaterTable*>(window->widget())) tables.push_back(table);
    return tables;
}

QMdiSubWindow* TfrmCalvaroMain::SubWindowOf(const TfrmWaterDataset* editor) const {
    for (QMdiSubWindow* window : FDatasetWindows)
        if (EditorOf(window) == editor) return window;
    return nullptr;
}

TfrmWaterDataset* TfrmCalvaroMain::GetChildForm() const {
    QMdiSubWindow* window = FMdiArea->currentSubWindow();
    if (!window || std::find(FDatasetWindows.begin(), FDatasetWindows.end(), window) == FDatasetWindows.end())
        return nullptr;
    return EditorOf(window);
}

std::vector<TfrmWaterDataset*> TfrmCalvaroMain::DatasetWindows() const {
    std::vector<TfrmWaterDataset*> editors;
    for (QMdiSubWindow* window : FDatasetWindows)
        if (TfrmWaterDataset* editor = EditorOf(window)) editors.push_back(editor);
    return editors;
}

void TfrmCalvaroMain::CloseDatasetWindow(QMdiSubWindow* window) {
    FDatasetWindows.erase(std::remove(FDatasetWindows.begin(), FDatasetWindows.end(), window),
                          FDatasetWindows.end());
    disconnect(window, &QObject::destroyed, this, &TfrmCalvaroMain::Notification);
    delete window; // with its editor and the editor's data set
}

void TfrmCalvaroMain::Notification(QObject* destroyed) {
    const auto found = std::find(FDatasetWindows.begin(), FDatasetWindows.end(), destroyed);
    if (found == FDatasetWindows.end()) return;
    FDatasetWindows.erase(found);
    OnFormChildrenChanged();
}

void TfrmCalvaroMain::OnFormChildrenChanged() {
    TfrmWaterDataset* active = GetChildForm();
    const bool valid = !FDatasetWindows.empty() && active && active->ValidateDataset();
    if (FDatasetWindows.size() > 1 && !MultipleDatasetsAllowed()) {
        // Without an active window the newest one is kept, never none.
        QMdiSubWindow* kept = active ? SubWindowOf(active) : FDatasetWindows.back();
        const auto windows = FDatasetWindows;
        for (QMdiSubWindow* window : windows)
            if (window != kept) CloseDatasetWindow(window);
    }
    OnCurDatasetValidated(valid);
    FMdiArea->viewport()->update();
}

void TfrmCalvaroMain::OnCurDatasetValidated(bool valid) {
    for (QAction* action : FValidityActions)
        action->setEnabled(valid);
}

// --- Commands -------------------------------------------------------------------------------

void TfrmCalvaroMain::FileNewExecute() {
    RunCommand(this, [this] {
        const QString title = QStringLiteral("Unknown %1").arg(FDatasetWindows.size() + 1);
        OpenDatasetWindow(title, std::make_unique<TWaterDataset>());
        OnFormChildrenChanged();
    });
}

void TfrmCalvaroMain::FileOpenExecute() {
    RunCommand(this, [this] {
        const QString path = Dialogs().AskOpenFileName(this, TOpenDialogOptions{kOpenTitle, kOpenFilter});
        if (path.isEmpty()) return;
        OpenDatasetFile(path);
        OnFormChildrenChanged();
    });
}

void TfrmCalvaroMain::FileSaveExecute() {
    RunCommand(this, [this] {
        TfrmWaterDataset* window = GetChildForm();
        if (!window) {
            Dialogs().ShowMessage(this, QStringLiteral("No dataset form found!"));
            return;
        }
        const QString path = Dialogs().AskSaveFileName(
            this, TSaveDialogOptions{kSaveTitle, kSaveFilter, QStringLiteral("clv"), window->FilePath()});
        if (path.isEmpty()) return;
        SaveDatasetAs(window, path);
    });
}

void TfrmCalvaroMain::FileOpenTableExecute() {
    RunCommand(this, [this] {
        const QString path = Dialogs().AskOpenFileName(this, TOpenDialogOptions{kTableTitle, kTableFilter});
        if (path.isEmpty()) return;
        OpenWaterTable(path);
    });
}

void TfrmCalvaroMain::FileAddDatasetFilesExecute() {
    RunCommand(this, [this] {
        const QStringList paths =
            Dialogs().AskOpenFileNames(this, TOpenDialogOptions{kAddFilesTitle, kOpenFilter});
        if (paths.isEmpty()) return;
        AddDatasetFiles(paths);
    });
}

void TfrmCalvaroMain::ActionViewExecute() {
    RunCommand(this, [this] {
        TfrmWaterDataset* window = GetChildForm();
        if (!window || !window->Dataset() || !window->ValidateDataset()) {
            Dialogs().ShowMessage(this, QStringLiteral("Invalid dataset "));
            return;
        }
        window->ApplyModelUpdates();
        // The view characterises the window's own data set, not a copy.
        auto view = std::make_unique<TFormViewDataset>(this, window->Dataset());
        view->FormShow();
        view.release()->show();
    });
}

void TfrmCalvaroMain::MnuCalculationsClick() {
    RunCommand(this, [this] {
        if (FDatasetWindows.empty()) return;
        TfrmWaterDataset* window = GetChildForm();
        if (window && !window->ValidateDataset())
            Dialogs().ShowMessage(this,
                                  QStringLiteral("The current dataset has one or more invalid inputs. Please "
                                                 "correct them before running a calculation."));
    });
}

void TfrmCalvaroMain::ShowCalculationForm(int calcIndex) {
    RunCommand(this, [this, calcIndex] {
        QPointer<TfrmWaterDataset> window = GetChildForm();
        std::unique_ptr<TWaterDataset> copy;
        if (window && window->Dataset()) {
            window->ApplyModelUpdates();
            copy = CloneDataset(*window->Dataset());
        } else {
            window = nullptr;
            copy = std::make_unique<TWaterDataset>();
        }
        std::unique_ptr<QDialog> form(CreateCalculationForm(calcIndex, this, copy.get()));
        // Every index of the calculation table has its window (the calculation window tests hold the
        // registry against the table): an index without one is a fault of the program, not of the
        // operator. A release build opens nothing for it.
        Q_ASSERT_X(form, "ShowCalculationForm", "no calculation window is registered for this index");
        if (!form) return;
        const int result = Dialogs().ExecModal(*form);
        form.reset();
        // Only a window that ended with OK has written the treated water into the copy.
        if (window && result == QDialog::Accepted) window->UpdateUiFromModel(*copy);
    });
}

void TfrmCalvaroMain::MenuMultipleDatasetsClick() {
    const bool allowed = MultipleDatasetsAllowed();
    FArrangeMenu->menuAction()->setEnabled(allowed);
    for (QAction* action : FArrangeMenu->actions())
        action->setVisible(allowed);
}

void TfrmCalvaroMain::HelponCalculations1Click() {
    RunCommand(this, [this] { ShowHelpContents(this); });
}

void TfrmCalvaroMain::HelpAbout1Execute() {
    RunCommand(this, [this] {
        TAboutBox box(this);
        Dialogs().ExecModal(box);
    });
}

void TfrmCalvaroMain::CascadeDatasets() {
    FMdiArea->cascadeSubWindows();
}

void TfrmCalvaroMain::TileDatasetsHorizontally() {
    TileDatasets(true);
}

void TfrmCalvaroMain::TileDatasetsVertically() {
    TileDatasets(false);
}

void TfrmCalvaroMain::TileDatasets(bool horizontally) {
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : FDatasetWindows)
        if (!window->isMinimized()) windows.push_back(window);
    if (windows.empty()) return;
    const QRect area = FMdiArea->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[static_cast<std::size_t>(i)];
        window->showNormal();
        if (horizontally) {
            const int top = area.height() * i / count;
            window->setGeometry(0, top, area.width(), area.height() * (i + 1) / count - top);
        } else {
            const int left = area.width() * i / count;
            window->setGeometry(left, 0, area.width() * (i + 1) / count - left, area.height());
        }
    }
}

void TfrmCalvaroMain::MinimiseAllDatasets() {
    for (QMdiSubWindow* window : FDatasetWindows)
        window->showMinimized();
}
