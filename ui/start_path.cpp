#include "ui/start_path.h"

#include <QDir>

#include "io/path_kind.h"
#include "partset/case_folding.h"
#include "partset/part_number.h"
#include "ui/core_path.h"
#include "ui/frm_main.h"

namespace parcelo::ui {
namespace {

// True for a part or the info file of a set, as a file manager hands it
// to the program that opens part sets: the set is what the user means.
bool IsSetMember(const QString& path) {
  const std::string name = CorePath(path.section(QDir::separator(), -1));
  return (HasPartExtension(name) || EqualIgnoringAsciiCase(name, kInfoFileName)) &&
         KindOfPath(CorePath(path)) == PathKind::File &&
         HoldsPartSet(CorePath(AbsoluteFolderOf(path)));
}

}  // namespace

void OpenStartPath(FrmMain& window, const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i].isEmpty() || arguments[i].startsWith(QLatin1Char('-'))) continue;
    const QString path = AbsolutePathOf(arguments[i]);
    if (HoldsPartSet(CorePath(path))) {
      window.PrepareJoin(path);
    } else if (IsSetMember(path)) {
      window.PrepareJoin(AbsoluteFolderOf(path));
    } else {
      window.SetSourcePath(path);
    }
    return;
  }
}

}  // namespace parcelo::ui
