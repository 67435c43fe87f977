#pragma once
// The program's pictures, by the numbers the resources give them.

#include <QIcon>
#include <QPixmap>

namespace tessarel {

// Makes the compiled-in resources available (once per process).
void LoadResources();

QIcon ResourceIcon(int number);
QPixmap ResourceBitmap(int number);
// One picture of a toolbar strip (toolbars 128 and 158, bitmap 146).
QIcon ToolbarImage(int strip, int index);
int ToolbarImageCount(int strip);

}  // namespace tessarel
