// The folder chooser: its title, what it preselects, and what it returns.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QtTest>

#include "operation/messages.h"
#include "support/temp_folder.h"
#include "ui/app_icon.h"
#include "ui/browse_fol_folder.h"

namespace text = parcelo::messages::window;
using parcelo::ui::ChooseFolder;

class BrowseFolFolderTest : public QObject {
  Q_OBJECT

  QString title, folder;
  Qt::WindowModality modality = Qt::NonModal;
  QWidget* parent = nullptr;
  qint64 icon = 0;

  // Answers the chooser once it is open: notes its title, folder and
  // modality, then accepts or cancels it.
  void answer(bool accept) {
    QTimer::singleShot(10, this, [this, accept] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return answer(accept);
      title = dialog->windowTitle();
      folder = dialog->directory().absolutePath();
      modality = dialog->windowModality();
      parent = dialog->parentWidget();
      icon = dialog->windowIcon().cacheKey();
      QDialog* asDialog = dialog;
      accept ? asDialog->accept() : asDialog->reject();
    });
  }

 private slots:
  void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

  void preselectsTheStartingFolderAndReturnsTheChoice() {
    parcelo::testing::TempFolder temp;
    const QString start = QString::fromStdString(temp.path());
    QWidget window;
    window.setWindowIcon(parcelo::ui::AppIcon());
    window.show();
    answer(true);
    QCOMPARE(ChooseFolder(&window, start + "/", text::kJoinFolderPrompt), start);
    QCOMPARE(title, text::kJoinFolderPrompt);
    QCOMPARE(folder, start);
    QCOMPARE(modality, Qt::ApplicationModal);
    QCOMPARE(parent, &window);
    QCOMPARE(icon, window.windowIcon().cacheKey());
    answer(true);
    QCOMPARE(ChooseFolder(&window, "/", "x"), "/");  // the root keeps its separator
  }

  void cancelReturnsNothingAndAMissingFolderPreselectsNothing() {
    for (const QString& start : {QString(), QString("/no/such/folder"), QString("94371842")}) {
      answer(false);
      QCOMPARE(ChooseFolder(nullptr, start, QString()), QString());
      QCOMPARE(title, text::kDefaultFolderPrompt);
      QCOMPARE(folder, QDir::homePath());
    }
  }
};

QTEST_MAIN(BrowseFolFolderTest)
#include "browse_fol_folder_test.moc"
