// parcelo-render-icon: writes the program's icon for the desktop's icon
// theme, drawn by the same code as the window's icon. Run by the build:
//   parcelo-render-icon FOLDER SIZE...
// writes FOLDER/SIZExSIZE/apps/parcelo.png for each size.

#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "ui/app_icon.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: parcelo-render-icon FOLDER SIZE...\n", stderr);
    return 64;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    const QString apps = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    const QString file = apps + QStringLiteral("/parcelo.png");
    if (size <= 0 || !QDir().mkpath(apps) || !parcelo::ui::AppIconImage(size).save(file, "PNG")) {
      std::fprintf(stderr, "parcelo-render-icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
