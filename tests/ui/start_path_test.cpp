// The path the window is started with: a file goes into the path box, a
// part set's folder readies the join, and neither asks the user anything.

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/frm_main.h"
#include "ui/start_path.h"

namespace support = parcelo::testing;

// Records what the window asks; every chooser is cancelled.
struct AskedDialogs : parcelo::ui::Dialogs {
  QStringList asked, chooserStarts;
  void ShowMessage(QWidget*, const parcelo::Message& message) override {
    asked << QString::fromStdString(message.title);
  }
  QString ShowOpen(QWidget*) override { return asked << "ShowOpen", QString(); }
  QString ChooseFolder(QWidget*, const QString& startingFolder, const QString&) override {
    chooserStarts << startingFolder;
    return {};
  }
};

class StartPathTest : public QObject {
  Q_OBJECT

 private slots:
  void fileGoesIntoThePathBoxAndASetFolderReadiesTheJoin_data() {
    QTest::addColumn<QStringList>("files");      // made in a temporary folder T
    QTest::addColumn<QStringList>("arguments");  // after the program's name; "T" stands for T
    QTest::addColumn<QString>("pathBox");        // what txtPut shows
    QTest::addColumn<QString>("chooserStart");   // where the join's chooser then starts
    QTest::addColumn<bool>("joinHasFocus");
    const QStringList set = {"set/Infa.inf", "set/001.drb", "set/002.drb"};
    QTest::newRow("file") << QStringList{"film.avi"} << QStringList{"T/film.avi"} << "T/film.avi"
                          << "T" << false;
    QTest::newRow("missing file") << QStringList{} << QStringList{"T/gone.avi"} << "T/gone.avi"
                                  << "T" << false;
    QTest::newRow("relative") << QStringList{} << QStringList{"gone.avi"} << QDir::currentPath() + "/gone.avi"
                              << QDir::currentPath() << false;
    QTest::newRow("set folder") << set << QStringList{"T/set"} << ""
                                << "T/set" << true;
    QTest::newRow("set folder, trailing slash") << set << QStringList{"T/set/"} << ""
                                                << "T/set" << true;
    QTest::newRow("capital .DRB") << QStringList{"set/Infa.inf", "set/001.DRB"} << QStringList{"T/set"} << ""
                                  << "T/set" << true;
    QTest::newRow("no info file") << QStringList{"set/001.drb"} << QStringList{"T/set"} << "T/set"
                                  << "T" << false;
    QTest::newRow("no part") << QStringList{"set/Infa.inf"} << QStringList{"T/set"} << "T/set"
                             << "T" << false;
    QTest::newRow("options skipped") << QStringList{"film.avi"} << QStringList{"--x", "T/film.avi", "T/other"}
                                     << "T/film.avi"
                                     << "T" << false;
    QTest::newRow("nothing") << QStringList{} << QStringList{} << ""
                             << "" << false;
  }

  void fileGoesIntoThePathBoxAndASetFolderReadiesTheJoin() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, arguments);
    QFETCH(QString, pathBox);
    QFETCH(QString, chooserStart);
    QFETCH(bool, joinHasFocus);
    support::TempFolder temp;
    const QString root = QString::fromStdString(temp.path());
    for (const QString& file : files) {
      QVERIFY(QDir(root).mkpath(QFileInfo(file).path()));
      support::WriteFile((root + "/" + file).toStdString(), "x");
    }
    QStringList argv = {"parcelo"};
    for (const QString& argument : arguments) argv << QString(argument).replace(QRegularExpression("^T"), root);
    pathBox.replace(QRegularExpression("^T"), root);
    chooserStart.replace(QRegularExpression("^T"), root);

    AskedDialogs dialogs;
    parcelo::ui::FrmMain window(dialogs);
    parcelo::ui::OpenStartPath(window, argv);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.findChild<QLineEdit*>("txtPut")->text(), pathBox);
    auto* cmdSobrat = window.findChild<QPushButton*>("cmdSobrat");
    QCOMPARE(window.focusWidget() == cmdSobrat, joinHasFocus);
    QCOMPARE(dialogs.asked + dialogs.chooserStarts, QStringList());  // nothing asked before a click
    QTest::mouseClick(cmdSobrat, Qt::LeftButton);
    QCOMPARE(dialogs.chooserStarts, QStringList{chooserStart});
    QCOMPARE(dialogs.asked, QStringList());  // the cancelled chooser joins nothing
  }
};

QTEST_MAIN(StartPathTest)
#include "start_path_test.moc"
