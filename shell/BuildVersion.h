#pragma once
// The program's version text: four numbers (major, minor, release, build) joined by ".", as shown
// on the main window's background and in the about box.

#include <QString>

// The version the program was built with, or "0.0.0.0" when the build set none.
QString GetBuildVersion();

// Turns a raw version text into the four-number form: missing numbers read as 0, anything after the
// fourth is dropped, and a text that is empty or not made of numbers gives "0.0.0.0".
QString NormaliseBuildVersion(const QString& raw);
