#pragma once
// The one seam for every modal interaction of the program: message boxes, Yes/No questions, the
// open, save and print dialogs, modal windows and the request to the desktop to open the help file.
// Production uses Qt's dialogs; tests install a scripted stand-in (tests/support/ScriptedDialogs.h)
// that records what was shown and gives the answers the test chose, so no test waits on a box.

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <exception>

class QDialog;
class QPrinter;
class QWidget;

struct TOpenDialogOptions {
    QString Title;
    QString Filter; // Qt form, e.g. "Calvaro files (*.clv)"
};

struct TSaveDialogOptions {
    QString Title;
    QString Filter;
    QString DefaultSuffix; // without the dot, appended when the name has none
    QString ProposedName;
    // The folder of the chosen name must exist: a name in a missing folder is refused in the
    // dialog, which asks again, so nothing is written and no folder is created.
    bool FolderMustExist = true;
};

// Why a save dialog with these options refuses `path`, or an empty string when it takes it.
QString SaveDialogRefusal(const QString& path, const TSaveDialogOptions& options);

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // Information box with OK; the caption is the application title "Calvaro V".
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // Error box with the error icon; `text` is shown as given (see ErrorBoxText).
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // Plain question with Yes and No, without an icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& question) = 0;
    // The chosen existing file, or an empty string when the operator cancelled.
    virtual QString AskOpenFileName(QWidget* parent, const TOpenDialogOptions& options) = 0;
    // The chosen existing files (several may be chosen), or none when the operator cancelled.
    virtual QStringList AskOpenFileNames(QWidget* parent, const TOpenDialogOptions& options) = 0;
    // The chosen path, or an empty string when cancelled. A path the options refuse (see
    // SaveDialogRefusal) is never returned: the operator is told why and chooses again.
    virtual QString AskSaveFileName(QWidget* parent, const TSaveDialogOptions& options) = 0;
    // The print dialog; false when cancelled. On true the printer holds the chosen copies.
    virtual bool AskPrint(QWidget* parent, QPrinter& printer) = 0;
    // Shows a window modally and returns its result (QDialog::Accepted or Rejected).
    virtual int ExecModal(QDialog& dialog) = 0;
    // Opens a document with DocumentViewerProgram, or else asks the desktop; false when no viewer
    // could be started.
    virtual bool OpenDocument(const QString& path) = 0;
};

// How Qt's file dialogs are set up for these options. A save dialog names its filter without the
// pattern ("Calvaro files", "CSV Files"), as the operators know it; the open dialog shows it whole.
void ConfigureOpenDialog(QFileDialog& dialog, const TOpenDialogOptions& options);
void ConfigureSaveDialog(QFileDialog& dialog, const TSaveDialogOptions& options);

// Qt's save dialog with the must-exist check on its OK button: a refused name keeps the dialog
// open with a warning that gives the reason.
class TSaveFileDialog : public QFileDialog {
public:
    TSaveFileDialog(QWidget* parent, const TSaveDialogOptions& options);
    void accept() override;
    // What the last refused OK showed, for tests; empty while nothing was refused.
    const QString& LastRefusal() const { return FLastRefusal; }
    // Shows the refusal; tests replace it so that no box waits.
    virtual void ShowRefusal(const QString& refusal);

private:
    TSaveDialogOptions FOptions;
    QString FLastRefusal;
};

// The program that shows a document directly: xchm (on the PATH) for a compiled help file, so the
// help opens also on a desktop that has no default viewer for .chm files; empty when there is none
// and the desktop is asked instead.
QString DocumentViewerProgram(const QString& path);

// The dialogs in force.
TDialogs& Dialogs();
// Installs a stand-in (not owned); nullptr puts Qt's dialogs back.
void SetDialogs(TDialogs* dialogs);

// The error box's text: the message followed by "." unless its last character's code is at or
// below that of "." (so "…!" and "…." get none, nor does an empty message).
QString ErrorBoxText(const QString& message);
// Shows an error that a command did not handle in the error box.
void ShowErrorBox(QWidget* parent, const std::exception& error);
