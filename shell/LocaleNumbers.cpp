#include "LocaleNumbers.h"

#include "CalvaroUtils.h"

#include <QLocale>

#include <charconv>
#include <cmath>

bool ParseLocaleNumber(const QString& text, double& value) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return false;
    bool ok = false;
    const double parsed = QLocale().toDouble(trimmed, &ok);
    // QLocale also reads "nan" and "inf"; they name no amount, so they count as unreadable.
    if (!ok || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

QString FormatPattern(double value, int decimals) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

QString FormatGeneral(double value) {
    // The file's general form, with the locale's own symbols in place of "." and "-".
    const QLocale locale;
    QString text = QString::fromStdString(FormatFileNumber(value));
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    if (text.startsWith(QLatin1Char('-'))) text.replace(0, 1, locale.negativeSign());
    return text;
}

QString FormatBound(double value) {
    // Room for the fixed form of any double (1e308 has 309 digits).
    char digits[400];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed).ptr;
    return QString::fromLatin1(digits, static_cast<qsizetype>(end - digits));
}
