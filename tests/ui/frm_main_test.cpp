// Drives the real main window with clicks, keys and drops, with the boxes, the
// open-file dialog and the folder chooser replaced by a log of what it asks.

#include <QtTest>
#include <QtWidgets>

#include "io/sys_calls.h"
#include "operation/messages.h"
#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/frm_main.h"
#include "ui/start_path.h"

namespace messages = parcelo::messages;
namespace support = parcelo::testing;

// What the log shows of a box and of a folder chooser the window opens.
QString Box(const parcelo::Message& box) { return QString::fromStdString(box.title + ": " + box.text); }
QString Chooser(const QString& start) { return messages::window::kJoinFolderPrompt + (" (FrmMain): " + start); }

// Logs the boxes and each folder chooser's prompt, parent and start; the
// choosers answer with the preset paths.
struct LoggingDialogs : parcelo::ui::Dialogs {
  QStringList log;
  QString openResult, folderResult;
  void ShowMessage(QWidget*, const parcelo::Message& message) override { log << Box(message); }
  QString ShowOpen(QWidget*) override { return openResult; }
  QString ChooseFolder(QWidget* parent, const QString& start, const QString& prompt) override {
    log << QString("%1 (%2): %3").arg(prompt, parent ? parent->objectName() : "no parent", start);
    return folderResult;
  }
};

class FrmMainTest : public QObject {
  Q_OBJECT
  support::TempFolder files;  // a file and folders that hold sets or not
  LoggingDialogs* dialogs = nullptr;
  parcelo::ui::FrmMain* window = nullptr;

  QWidget* control(const QString& name) { return name == "FrmMain" ? window : window->findChild<QWidget*>(name); }
  void click(const char* button) { QTest::mouseClick(control(button), Qt::LeftButton); }
  QString text(const char* box) { return static_cast<QLineEdit*>(control(box))->text(); }
  void fill(const char* box, const std::string& value) {
    static_cast<QLineEdit*>(control(box))->setText(value.c_str());
  }
  // Where the focus goes on each of `presses` presses of Tab.
  QStringList tabStops(int presses) {
    QStringList stops;
    while (presses-- > 0) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      stops << QApplication::focusWidget()->objectName();
    }
    return stops;
  }

 private slots:
  void initTestCase() {
    for (const char* name : {"film.avi", "set/Infa.inf", "set/001.DRB", "noinfo/001.drb"}) {
      std::filesystem::create_directories(std::filesystem::path(files / name).parent_path());
      support::WriteFile(files / name, "x");
    }
  }
  void init() {
    dialogs = new LoggingDialogs;
    window = new parcelo::ui::FrmMain(*dialogs);
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
  }
  void cleanup() { delete window, delete dialogs; }

  // The window's tests run at scale factors 1, 1.5 and 2 (see CMakeLists.txt):
  // a large scale thins the window manager's frame in device-independent pixels.
  void eachStateShowsItsPanelsWholeAndTabStopsOnlyOnControlsInSight() {
    QWidget* lower = control("Frame2");
    QTest::qWait(300);  // the window sizes itself again once framed
    // The upper panel whole, and no strip of the lower one below it.
    QVERIFY(control("Frame1")->geometry().bottom() < window->height() && lower->y() >= window->height());
    QCOMPARE(tabStops(6), QStringList({"cmdGo", "cmdSobrat", "cmddir", "cmdOptions", "txtPut", "cmdGo"}));
    click("cmdOptions");  // the upper panel's controls are disabled; the lower panel's take the keys
    QTest::qWait(300);
    QVERIFY(lower->geometry().bottom() < window->height());
    QCOMPARE(QApplication::focusWidget(), control("txtKusok"));
    QCOMPARE(tabStops(3), QStringList({"cmdOk", "optSameDir", "txtKusok"}));
    click("optSubDir");
    QCOMPARE(tabStops(4), QStringList({"txtPapka", "txtKusok", "cmdOk", "optSubDir"}));
    click("optSameDir");
    QVERIFY(!control("txtPapka")->isEnabled());
    click("cmdOk");
    QVERIFY(lower->y() >= window->height());
    QCOMPARE(QApplication::focusWidget(), control("cmdOptions"));
    QCOMPARE(tabStops(5), QStringList({"txtPut", "cmdGo", "cmdSobrat", "cmddir", "cmdOptions"}));
  }

  // Enter starts nothing; "..." fills the path box, and its cancel empties it.
  // A refusal, an error, a split and a join show one box each, and the window
  // stays usable. The names are Cyrillic, as they reach the core from the boxes.
  void eachWorkShowsItsOneBox() {
    support::TempFolder folder;
    const std::string source = folder / "фильм.avi", bytes = support::PatternBytes(10007);
    for (const char* name : {"cmdGo", "cmdSobrat"}) QTest::keyClick(control(name), Qt::Key_Return);
    dialogs->openResult = "/data/film.avi";
    click("cmddir");
    QCOMPARE(text("txtPut"), "/data/film.avi");
    dialogs->openResult.clear();
    click("cmddir");
    click("cmdGo");
    fill("txtPut", source);
    click("cmdGo");
    support::WriteFile(source, bytes);
    click("cmdOptions");
    click("optSubDir");
    fill("txtPapka", "части");
    fill("txtKusok", "4 000");
    click("cmdOk");
    click("cmdGo");
    dialogs->folderResult = QString::fromStdString(folder / "части");
    click("cmdSobrat");
    QCOMPARE(dialogs->log,
             QStringList({Box({{}, messages::kReadErrorTitle, messages::kNoSource}),
                          Box(messages::ErrorReport({ENOENT, parcelo::FileOperation::Open, source}).message),
                          Box({{}, messages::kSplitDoneTitle, messages::SplitDone(source, "3")}),
                          Chooser(QString::fromStdString(folder.path())),  // where the file lies
                          Box({{}, messages::kJoinDoneTitle, messages::JoinDone(folder / "части/фильм.avi")})}));
    QCOMPARE(support::FolderEntries(folder / "части"),
             (std::vector<std::string>{"001.drb", "002.drb", "003.drb", "Infa.inf", "фильм.avi"}));
    QVERIFY(support::ReadFile(folder / "части/фильм.avi") == bytes);
  }

  // Work made slow enough to be stopped by a hand: "Отмена", Esc and the
  // progress display's close button stop it, and so does closing the window
  // (last: the others leave it usable); what it wrote is gone.
  void cancelOrCloseDuringWorkStopsItAndCleansUp() {
    struct SlowWrites : parcelo::SysCalls {
      ssize_t Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset) override {
        QThread::msleep(20);
        return SysCalls::Pwrite(fd, buffer, std::min<std::size_t>(count, 1 << 16), offset);
      }
    } slow;
    parcelo::ScopedSysCalls scope(slow);
    support::TempFolder folder;
    support::WriteFile(folder / "film.avi", support::PatternBytes(8 << 20));
    fill("txtPut", folder / "film.avi");
    for (const QString how : {"Отмена", "Esc", "close button", "window closed"}) {
      const bool closeWindow = how == "window closed";
      QTimer::singleShot(800, window, [&] {
        auto* progress = window->findChild<QProgressDialog*>();
        if (how == "Отмена") QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        if (how == "Esc") QTest::keyClick(progress, Qt::Key_Escape);
        if (how == "close button") progress->close();
        if (closeWindow) window->close();
      });
      click("cmdGo");
      QVERIFY2(support::FolderEntries(folder.path()) == std::vector<std::string>{"film.avi"}, qPrintable(how));
      QCOMPARE(window->isVisible(), !closeWindow);
      QCOMPARE(dialogs->log, closeWindow
                                 ? QStringList()
                                 : QStringList(Box({{}, messages::kSplitCancelledTitle, messages::kCancelled})));
      dialogs->log.clear();
    }
  }

  // Only one local file, dropped on the window or the path box, sets the path.
  void onlyOneDroppedLocalFileSetsThePath() {
    const QUrl file = QUrl::fromLocalFile(QString::fromStdString(files / "film.avi"));
    const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(files.path())), page("https://example.org/a");
    const std::tuple<const char*, QList<QUrl>, bool> rows[] = {
        {"FrmMain", {file}, true},        {"txtPut", {file}, true},
        {"FrmMain", {file, file}, false}, {"txtPut", {folder}, false},
        {"txtPut", {page}, false},        {"txtKusok", {file}, false}};  // the piece size, the settings open
    for (const auto& [target, carried, takesPath] : rows) {
      if (target == std::string("txtKusok")) click("cmdOptions");
      fill("txtPut", "before");
      QMimeData data;  // as file managers fill it: the addresses, and as plain text too
      data.setUrls(carried);
      data.setText(carried[0].toString());
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(control(target), &enter);
      QCOMPARE(enter.isAccepted(), takesPath);
      QApplication::sendEvent(control(target), &drop);
      QCOMPARE(text("txtPut") + " " + text("txtKusok"), (takesPath ? carried[0].toLocalFile() : "before") + " 1000000");
    }
  }

  // `parcelo PATH`: a file goes into the path box, a part set's folder readies
  // the join; nothing is asked before a click.
  void startPathFillsThePathBoxOrReadiesTheJoin() {
    const QString t = QString::fromStdString(files.path()), here = QDir::currentPath();
    // The arguments after the program's name; the path box (empty where the
    // join is readied); where the join's chooser starts.
    const std::tuple<QStringList, QString, QString> rows[] = {
        {{"-x", t + "/film.avi", t + "/set"}, t + "/film.avi", t},  // options skipped
        {{"gone.avi"}, here + "/gone.avi", here},                   // relative
        {{t + "/set/"}, "", t + "/set"},
        {{t + "/noinfo"}, t + "/noinfo", t}};
    for (const auto& [arguments, pathBox, chooserStart] : rows) {
      parcelo::ui::FrmMain started(*dialogs);
      parcelo::ui::OpenStartPath(started, QStringList("parcelo") + arguments);
      started.show();
      QVERIFY(QTest::qWaitForWindowExposed(&started));
      QCOMPARE(started.findChild<QLineEdit*>("txtPut")->text(), pathBox);
      auto* join = started.findChild<QPushButton*>("cmdSobrat");
      QCOMPARE(started.focusWidget() == join, pathBox.isEmpty());
      QCOMPARE(dialogs->log, QStringList());  // nothing is asked before a click
      QTest::mouseClick(join, Qt::LeftButton);
      QCOMPARE(dialogs->log, QStringList(Chooser(chooserStart)));  // and a cancel there starts nothing
      dialogs->log.clear();
    }
  }
};

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
