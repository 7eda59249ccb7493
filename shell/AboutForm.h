#pragma once
// TAboutBox: the program's name, icon, credits and version.

#include <QDialog>

class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner = nullptr);

    // Sets LabelVersion to GetBuildVersion; also runs when the box is shown.
    void FormShow();
    QString VersionText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* LabelVersion;
};
