#include "ui/start_path.h"

#include "io/path_kind.h"
#include "ui/core_path.h"
#include "ui/frm_main.h"

namespace parcelo::ui {

void OpenStartPath(FrmMain& window, const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i].isEmpty() || arguments[i].startsWith(QLatin1Char('-'))) continue;
    const QString path = AbsolutePathOf(arguments[i]);
    if (HoldsPartSet(CorePath(path))) {
      window.PrepareJoin(path);
    } else {
      window.SetSourcePath(path);
    }
    return;
  }
}

}  // namespace parcelo::ui
