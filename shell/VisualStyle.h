#pragma once
// The program's own visual style, "Sapphire Kamri": the Fusion style with a sapphire palette and a
// style sheet carried in the program's resources. The input check's colours are set on each box
// itself and so show through it.

#include <QString>

class QApplication;

QString VisualStyleName();
// The style sheet text from the resources (empty if the resources are missing).
QString VisualStyleSheet();
// Applies style, palette, style sheet and the program icon to the application.
void ApplyVisualStyle(QApplication& application);
// Makes the shell library's resources (style sheet, pictures) available; idempotent.
void InitShellResources();
