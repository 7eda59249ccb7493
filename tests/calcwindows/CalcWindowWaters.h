#pragma once
// Waters and small helpers shared by the tests of the softening, blending, air, underground,
// temperature and concentration windows.

#include "CalcFormDriver.h"
#include "CalvaroModel.h"
#include "ExportUtil.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <cmath>
#include <string>
#include <vector>

namespace CalcWindowWaters {

// A hard water (150 mg/l as CaCO3 calcium, 50 magnesium) given by conductivity and alkalinity. Its
// lowest calcium with lime is 13 mg/l as Ca, shown as 32.50 mg/l as CaCO3.
inline TWaterDataset HardWater() {
    TWaterDataset water;
    water.SetPh(7.5);
    water.SetTemperature(20);
    water.SetCalcium(150);
    water.SetMagnesium(50);
    water.SetSodium(20);
    water.SetChloride(30);
    water.SetSulphate(40);
    water.SetWaterCharacterIndex(1);
    water.SetConductivity(50);
    water.SetCarbonCharacterIndex(0);
    water.SetAlkalinity(127.5);
    return water;
}

// A soft, acid water with low alkalinity: a second water to blend with the hard one.
inline TWaterDataset SoftWater() {
    TWaterDataset water;
    water.SetPh(6.2);
    water.SetTemperature(15);
    water.SetCalcium(20);
    water.SetMagnesium(8);
    water.SetSodium(12);
    water.SetChloride(15);
    water.SetSulphate(10);
    water.SetWaterCharacterIndex(1);
    water.SetConductivity(12);
    water.SetCarbonCharacterIndex(0);
    water.SetAlkalinity(15);
    return water;
}

// A saline water whose TDS shows with a thousands separator (over 1,000 mg/l).
inline TWaterDataset SalineWater() {
    TWaterDataset water = HardWater();
    water.SetSodium(400);
    water.SetChloride(600);
    water.SetConductivity(200);
    return water;
}

inline const QLocale kEnglish(QLocale::English, QLocale::UnitedKingdom);
inline const QLocale kGerman(QLocale::German, QLocale::Germany);

// The data set's rounding of a treated water's value: divided by the step (0.01 or 0.0001), half
// away from zero.
inline double Rounded(double value, int decimals = 2) {
    const double step = decimals == 4 ? 0.0001 : 0.01;
    const double scaled = value / step;
    return std::trunc(scaled + (scaled < 0 ? -0.5 : 0.5)) / std::pow(10.0, decimals);
}

// The window's status panel.
inline QString StatusText(QWidget& form) {
    return CalcFormDriver::Control<QLabel>(form, "StatusPanel")->text();
}

// The prompt of a box in `container` (the window itself, or an editor embedded in it), as the
// window's status bar shows it while the box has the focus.
inline QString PromptOf(QWidget& form, QWidget& container, const QString& box) {
    auto* edit = CalcFormDriver::Control<QLineEdit>(container, box);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &focusIn);
    const QString prompt = StatusText(form);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &focusOut);
    return prompt;
}
inline QString PromptOf(QWidget& form, const QString& box) {
    return PromptOf(form, form, box);
}

// An export row as the CSV file holds it (without its line end).
inline QString Row(const QStringList& items) {
    std::vector<std::string> utf8;
    for (const QString& item : items)
        utf8.push_back(item.toStdString());
    return QString::fromStdString(CsvRow(utf8));
}

inline QString Text(QWidget& form, const QString& name) {
    return CalcFormDriver::Control<QLabel>(form, name)->text();
}

// A label of the results page (the embedded editors of the blending windows use some of its names).
inline QString ResultText(QWidget& form, const QString& name) {
    return Text(*CalcFormDriver::Control<QWidget>(form, "TabSheetResults"), name);
}

} // namespace CalcWindowWaters
