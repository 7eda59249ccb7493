#pragma once
// Numbers as the operator sees and types them: the user's locale supplies the decimal and
// thousands separators. The data set file never goes through here (it always uses ".").

#include <QString>

// Reads a typed number with the locale's decimal separator (blanks around it allowed, an exponent
// allowed). False for an empty text, one that does not parse, and "nan" or "inf", which are no number.
bool ParseLocaleNumber(const QString& text, double& value);

// "###,##0.00"-style pattern: at least one integer digit, thousands grouped with the locale's
// separator, exactly `decimals` decimals.
QString FormatPattern(double value, int decimals);

// The shortest general form (up to 15 significant digits) with the locale's decimal separator;
// what the editor shows for a stored value and what prompts show. It parses back to the value
// reduced to 15 significant digits.
QString FormatGeneral(double value);
