#pragma once

#include <QString>

namespace parcelo::ui {

// Returns the width, in device-independent pixels, at which a window's title
// bar shows the whole caption beside the window's icon and its minimise,
// maximise and close buttons. The desktop draws title bars in a font of its
// own; this counts the application's font in bold, as most desktops draw
// captions.
int WidthForCaption(const QString& caption);

}  // namespace parcelo::ui
