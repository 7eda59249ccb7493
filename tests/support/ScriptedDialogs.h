#pragma once
// A stand-in for every modal interaction: records what the program showed and answers from queues
// the test fills. An unanswered question counts as No, an unanswered file dialog as Cancel, and a
// modal window without a script is rejected at once, so nothing ever waits for a person.
//
//   TScriptedDialogs dialogs;               // installs itself, uninstalls on destruction
//   dialogs.YesNoAnswers.push_back(true);
//   dialogs.ModalScripts.push_back([](QDialog& d) { ...; return QDialog::Accepted; });
//   ... run the command ...
//   EXPECT_EQ(dialogs.Shown.back().Text, "Successfully saved the file.");

#include "Dialogs.h"

#include <QDialog>
#include <QPrinter>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

struct TShownDialog {
    enum class TKind { Message, Error, Question, OpenFile, SaveFile, Print, Modal, Document };
    TKind Kind;
    QString Text;                 // message or question text, dialog title, window title or document path
    QString Detail;               // the proposed file name of a save dialog
    QString Filter = {};          // the file filter of an open or save dialog
    QString DefaultSuffix = {};   // the default extension of a save dialog
    bool FolderMustExist = false; // a save dialog's must-exist option
};

class TScriptedDialogs final : public TDialogs {
public:
    TScriptedDialogs() { SetDialogs(this); }
    ~TScriptedDialogs() override { SetDialogs(nullptr); }

    std::vector<TShownDialog> Shown;
    std::deque<bool> YesNoAnswers;
    std::deque<QString> OpenFileAnswers;
    std::deque<QStringList> OpenFilesAnswers;
    std::deque<QString> SaveFileAnswers;
    // Each answer prepares the printer (output file, copies) and returns false to cancel.
    std::deque<std::function<bool(QPrinter&)>> PrintAnswers;
    std::deque<std::function<int(QDialog&)>> ModalScripts;
    bool DocumentOpens = true;

    void ShowMessage(QWidget*, const QString& text) override { Record(TShownDialog::TKind::Message, text); }
    void ShowError(QWidget*, const QString& text) override { Record(TShownDialog::TKind::Error, text); }
    bool AskYesNo(QWidget*, const QString& question) override {
        Record(TShownDialog::TKind::Question, question);
        return Pop(YesNoAnswers, false);
    }
    QString AskOpenFileName(QWidget*, const TOpenDialogOptions& options) override {
        Record(TShownDialog::TKind::OpenFile, options.Title);
        Shown.back().Filter = options.Filter;
        return Pop(OpenFileAnswers, QString());
    }
    QStringList AskOpenFileNames(QWidget*, const TOpenDialogOptions& options) override {
        Record(TShownDialog::TKind::OpenFile, options.Title);
        Shown.back().Filter = options.Filter;
        return Pop(OpenFilesAnswers, QStringList());
    }
    // Each answer is a name the operator gives; one the dialog refuses (a missing folder) is
    // recorded as an error box with the refusal, and the next answer is taken, as the operator
    // would choose again. When no answer is left the dialog is cancelled.
    QString AskSaveFileName(QWidget*, const TSaveDialogOptions& options) override {
        Record(TShownDialog::TKind::SaveFile, options.Title, options.ProposedName);
        Shown.back().Filter = options.Filter;
        Shown.back().DefaultSuffix = options.DefaultSuffix;
        Shown.back().FolderMustExist = options.FolderMustExist;
        for (;;) {
            const QString answer = Pop(SaveFileAnswers, QString());
            if (answer.isEmpty()) return answer;
            const QString refusal = SaveDialogRefusal(answer, options);
            if (refusal.isEmpty()) return answer;
            Record(TShownDialog::TKind::Error, refusal);
        }
    }
    bool AskPrint(QWidget*, QPrinter& printer) override {
        Record(TShownDialog::TKind::Print, QString());
        auto answer = Pop(PrintAnswers, std::function<bool(QPrinter&)>());
        return answer ? answer(printer) : false;
    }
    int ExecModal(QDialog& dialog) override {
        Record(TShownDialog::TKind::Modal, dialog.windowTitle());
        auto script = Pop(ModalScripts, std::function<int(QDialog&)>());
        if (!script) return QDialog::Rejected;
        dialog.show();
        const int result = script(dialog);
        dialog.hide();
        return result;
    }
    bool OpenDocument(const QString& path) override {
        Record(TShownDialog::TKind::Document, path);
        return DocumentOpens;
    }

    // The texts of the dialogs of one kind shown so far, in order.
    QStringList TextsOf(TShownDialog::TKind kind) const {
        QStringList texts;
        for (const auto& s : Shown)
            if (s.Kind == kind) texts << s.Text;
        return texts;
    }

    // The texts of the message and error boxes shown so far, in order.
    QStringList Messages() const {
        QStringList texts;
        for (const auto& s : Shown)
            if (s.Kind == TShownDialog::TKind::Message || s.Kind == TShownDialog::TKind::Error)
                texts << s.Text;
        return texts;
    }

private:
    void Record(TShownDialog::TKind kind, const QString& text, const QString& detail = {}) {
        Shown.push_back({kind, text, detail});
    }
    template <typename T> static T Pop(std::deque<T>& queue, T fallback) {
        if (queue.empty()) return fallback;
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
};
