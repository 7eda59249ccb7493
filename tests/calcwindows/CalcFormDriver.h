#pragma once
// Drives a calculation window the way an operator does (typing, clicking tabs and buttons, keys),
// for the calculation window tests. Everything modal goes through TScriptedDialogs.

#include "CalculationBaseForm.h"
#include "EngineFacade.h"
#include "LocaleNumbers.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <optional>

namespace CalcFormDriver {

inline QTabWidget* Tabs(QWidget& form) {
    return form.findChild<QTabWidget*>(QStringLiteral("TabControl"));
}
inline int Page(QWidget& form) {
    return Tabs(form)->currentIndex();
}

template <typename T = QWidget> T* Control(QWidget& form, const QString& name) {
    T* control = form.findChild<T*>(name);
    if (!control) qFatal("no control named %s", qPrintable(name));
    return control;
}

// Replaces the text of a box by typing, so every keystroke fires its change.
inline void Type(QWidget& form, const QString& box, const QString& text) {
    auto* edit = Control<QLineEdit>(form, box);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

inline bool IsColouredValid(QWidget& form, const QString& box) {
    return Control<QLineEdit>(form, box)->property("valid").toBool();
}

inline void ClickTab(QWidget& form, int index) {
    QTabBar* bar = Tabs(form)->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
}
inline void TurnToResults(QWidget& form) {
    ClickTab(form, TCalcForm::kResultsPage);
}
inline void TurnToInputs(QWidget& form) {
    ClickTab(form, TCalcForm::kInputPage);
}

inline void Click(QWidget& form, const QString& button) {
    QTest::mouseClick(Control<QPushButton>(form, button), Qt::LeftButton);
}

inline bool ExportAndPrintVisible(QWidget& form) {
    const bool exportShown = !Control<QPushButton>(form, QStringLiteral("ButtonExport"))->isHidden();
    const bool printShown = !Control<QPushButton>(form, QStringLiteral("ButtonPrint"))->isHidden();
    if (exportShown != printShown) qFatal("Export and Print disagree");
    return exportShown;
}

// The lines of a CSV file, each without its CR LF; QStringList() when the file is missing.
inline QStringList CsvLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

// The treated water's index rows every results export ends with: caption, value (an empty field
// when the water does not define the index), reading (none for the saturation pH).
inline constexpr int kIndexExportRows = 4;
inline QStringList IndexExportRows(const std::optional<TWaterIndices>& indices) {
    struct TRow {
        const char* Caption;
        std::optional<double> TWaterIndices::*Field;
        std::string (*Reading)(double);
    };
    const TRow rows[] = {{"Saturation index", &TWaterIndices::SaturationIndex, &SaturationIndexReading},
                         {"Saturation pH", &TWaterIndices::SaturationPh, nullptr},
                         {"Langelier index", &TWaterIndices::LangelierIndex, &LangelierReading},
                         {"Ryznar index", &TWaterIndices::RyznarIndex, &RyznarReading}};
    QStringList lines;
    for (const TRow& row : rows) {
        const std::optional<double> value = indices ? (*indices).*row.Field : std::nullopt;
        QString text = value ? FormatPattern(*value, 2) : QString();
        if (text.contains(u',')) text = u'"' + text + u'"';
        const QString reading =
            value && row.Reading ? QString::fromStdString(row.Reading(*value)) : QString();
        lines << QString::fromLatin1(row.Caption) + u',' + text + u',' + reading;
    }
    return lines;
}

} // namespace CalcFormDriver
