#pragma once
// The check of one input box against an inclusive range, shared by the data set editor and every
// calculation window. The verdict also colours the box: white with black text when valid, dark blue
// RGB(31, 70, 118) with white text when not, set on the box itself so no style can paint over it.

class QLineEdit;

// Empty text, a text that does not parse with the locale's decimal separator, NaN or a value
// outside [minimum, maximum] is invalid. Nothing is reported besides the colour.
bool CheckControlRange(QLineEdit* box, double minimum, double maximum);

// The colours alone, for boxes whose verdict comes from elsewhere.
void ColourInputBox(QLineEdit* box, bool valid);
