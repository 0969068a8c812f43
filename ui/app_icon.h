#pragma once

#include <QIcon>
#include <QImage>

namespace parcelo::ui {

// Returns the program's icon, drawn at 32×32 and 16×16: a sheet of paper
// cut into stacked pieces.
QIcon AppIcon();

// Returns the icon's picture at any size, size x size pixels; the desktop
// icon files are rendered from it.
QImage AppIconImage(int size);

}  // namespace parcelo::ui
