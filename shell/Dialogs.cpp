#include "Dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

QString Caption() {
    return QApplication::applicationDisplayName().isEmpty() ? QStringLiteral("Calvaro V")
                                                            : QApplication::applicationDisplayName();
}

class TQtDialogs final : public TDialogs {
public:
    void ShowMessage(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Information, Caption(), text, QMessageBox::Ok, parent);
        box.exec();
    }
    void ShowError(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Critical, Caption(), text, QMessageBox::Ok, parent);
        box.exec();
    }
    bool AskYesNo(QWidget* parent, const QString& question) override {
        QMessageBox box(QMessageBox::NoIcon, Caption(), question, QMessageBox::Yes | QMessageBox::No, parent);
        return box.exec() == QMessageBox::Yes;
    }
    QString AskOpenFileName(QWidget* parent, const TOpenDialogOptions& options) override {
        QFileDialog dialog(parent);
        ConfigureOpenDialog(dialog, options);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().first();
    }
    QStringList AskOpenFileNames(QWidget* parent, const TOpenDialogOptions& options) override {
        QFileDialog dialog(parent);
        ConfigureOpenDialog(dialog, options);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (dialog.exec() != QDialog::Accepted) return {};
        return dialog.selectedFiles();
    }
    QString AskSaveFileName(QWidget* parent, const TSaveDialogOptions& options) override {
        TSaveDialogOptions asked = options;
        for (;;) {
            TSaveFileDialog dialog(parent, asked);
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
            const QString path = dialog.selectedFiles().first();
            // A desktop's own dialog closes without asking accept(); the check is made here too.
            const QString refusal = SaveDialogRefusal(path, asked);
            if (refusal.isEmpty()) return path;
            dialog.ShowRefusal(refusal);
            asked.ProposedName = QFileInfo(path).fileName();
        }
    }
    bool AskPrint(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    int ExecModal(QDialog& dialog) override { return dialog.exec(); }
    bool OpenDocument(const QString& path) override {
        const QString viewer = DocumentViewerProgram(path);
        if (!viewer.isEmpty()) return QProcess::startDetached(viewer, {path});
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

TQtDialogs gQtDialogs;
TDialogs* gDialogs = &gQtDialogs;

} // namespace

QString DocumentViewerProgram(const QString& path) {
    if (!path.endsWith(QStringLiteral(".chm"), Qt::CaseInsensitive)) return {};
    return QStandardPaths::findExecutable(QStringLiteral("xchm"));
}

void ConfigureOpenDialog(QFileDialog& dialog, const TOpenDialogOptions& options) {
    dialog.setWindowTitle(options.Title);
    dialog.setNameFilter(options.Filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
}

void ConfigureSaveDialog(QFileDialog& dialog, const TSaveDialogOptions& options) {
    dialog.setWindowTitle(options.Title);
    dialog.setNameFilter(options.Filter);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(options.DefaultSuffix);
    if (!options.ProposedName.isEmpty()) dialog.selectFile(options.ProposedName);
}

QString SaveDialogRefusal(const QString& path, const TSaveDialogOptions& options) {
    if (!options.FolderMustExist) return {};
    const QFileInfo chosen(path);
    const QFileInfo folder(chosen.absolutePath());
    if (folder.isDir()) return {};
    return QStringLiteral("The folder \"%1\" does not exist. Please choose a folder that exists.")
        .arg(QDir::toNativeSeparators(chosen.absolutePath()));
}

TSaveFileDialog::TSaveFileDialog(QWidget* parent, const TSaveDialogOptions& options)
    : QFileDialog(parent), FOptions(options) {
    ConfigureSaveDialog(*this, options);
}

void TSaveFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
        const QString refusal = SaveDialogRefusal(files.first(), FOptions);
        if (!refusal.isEmpty()) {
            FLastRefusal = refusal;
            ShowRefusal(refusal);
            return; // the dialog stays open for another choice
        }
    }
    QFileDialog::accept();
}

void TSaveFileDialog::ShowRefusal(const QString& refusal) {
    QMessageBox box(QMessageBox::Warning, Caption(), refusal, QMessageBox::Ok, this);
    box.exec();
}

TDialogs& Dialogs() {
    return *gDialogs;
}

void SetDialogs(TDialogs* dialogs) {
    gDialogs = dialogs ? dialogs : &gQtDialogs;
}

QString ErrorBoxText(const QString& message) {
    if (message.isEmpty() || message.back().unicode() <= u'.') return message;
    return message + QLatin1Char('.');
}

void ShowErrorBox(QWidget* parent, const std::exception& error) {
    Dialogs().ShowError(parent, ErrorBoxText(QString::fromStdString(error.what())));
}
