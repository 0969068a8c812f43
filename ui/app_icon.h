#pragma once

#include <QIcon>

namespace parcelo::ui {

// Returns the program's icon, drawn at 32×32 and 16×16: a sheet of paper
// cut into stacked pieces.
QIcon AppIcon();

}  // namespace parcelo::ui
