#pragma once
// What the two blending windows' input pages share: the frame of the waters with its page control,
// sized so that an embedded data set editor fits a page.

#include <QString>

class QGroupBox;
class QLineEdit;
class QTabWidget;

// The page control "PageControlDatasets" (button-style tabs) filling `frame`; its pages are wide
// and tall enough for a data set editor whose top `hiddenTop` pixels lie above the page.
QTabWidget* AddDatasetPages(QGroupBox* frame, int hiddenTop);

// Gives the caption label of an input box (its buddy) the object name `name`.
void NameCaptionOf(QLineEdit* box, const QString& name);
