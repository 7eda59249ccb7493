#include "InputCheck.h"

#include "LocaleNumbers.h"

#include <QLineEdit>

bool CheckControlRange(QLineEdit* box, double minimum, double maximum) {
    double value = 0;
    const bool valid = ParseLocaleNumber(box->text(), value) && minimum <= value && value <= maximum;
    ColourInputBox(box, valid);
    return valid;
}

void ColourInputBox(QLineEdit* box, bool valid) {
    // A style sheet on the widget itself outranks the application's style and style sheet.
    static const QString kValid =
        QStringLiteral("QLineEdit { background-color: rgb(255, 255, 255); color: rgb(0, 0, 0); }");
    static const QString kInvalid =
        QStringLiteral("QLineEdit { background-color: rgb(31, 70, 118); color: rgb(255, 255, 255); }");
    const QString& sheet = valid ? kValid : kInvalid;
    if (box->styleSheet() != sheet) box->setStyleSheet(sheet);
    box->setProperty("valid", valid);
}
