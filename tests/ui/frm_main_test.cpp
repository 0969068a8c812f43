// Drives the real main window with clicks, keys and drops. The test stands in
// for the boxes, the open-file dialog and the folder chooser, and logs what
// the window asks of them.

#include <QtTest>
#include <QtWidgets>

#include "io/sys_calls.h"
#include "operation/messages.h"
#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/frm_main.h"
#include "ui/start_path.h"
#include "ui/window_texts.h"

namespace messages = parcelo::messages;
namespace support = parcelo::testing;

// What the log shows of a box and of a folder chooser the window opens.
QString Box(const parcelo::Message& box) { return QString::fromStdString(box.title + ": " + box.text); }
QString Chooser(const QString& start) { return parcelo::ui::text::kJoinFolderPrompt + (" (FrmMain): " + start); }

class FrmMainTest : public QObject, parcelo::ui::Dialogs {
  Q_OBJECT
  support::TempFolder files;  // what the work and the start paths find
  parcelo::ui::FrmMain* window = nullptr;
  QStringList log;
  QString openResult, folderResult;  // each dialog's next answer; a cancel after it

  void ShowMessage(QWidget*, const parcelo::Message& message) override { log << Box(message); }
  bool Ask(QWidget*, const parcelo::Message& question) override { return log << "? " + Box(question), false; }
  QString ShowOpen(QWidget*) override { return std::exchange(openResult, {}); }
  QString ChooseFolder(QWidget* parent, const QString& start, const QString& prompt) override {
    log << QString("%1 (%2): %3").arg(prompt, parent ? parent->objectName() : "no parent", start);
    return std::exchange(folderResult, {});
  }

  // A new window, as `parcelo ARGUMENTS` opens it; nothing is logged yet.
  void open(const QStringList& arguments) {
    delete window;
    log.clear();
    window = new parcelo::ui::FrmMain(*this);
    parcelo::ui::OpenStartPath(*window, QStringList("parcelo") + arguments);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
  }
  QWidget* control(const char* name) { return window->findChild<QWidget*>(name); }
  QLineEdit* box(const char* name) { return window->findChild<QLineEdit*>(name); }
  void click(std::initializer_list<const char*> buttons) {
    for (const char* button : buttons) QTest::mouseClick(control(button), Qt::LeftButton);
  }

 private slots:
  void init() { open({}); }
  void cleanup() { delete std::exchange(window, nullptr); }

  // In each state the panel in sight is whole, no strip of the lower one
  // shows in the Normal state, and Tab goes round the controls in sight
  // alone, from where the focus is. The window's tests run at scale factors
  // 1, 1.5 and 2 (see CMakeLists.txt): a large scale thins the window
  // manager's frame in device-independent pixels.
  void eachStateShowsItsPanelsWholeAndTabStopsOnlyOnControlsInSight() {
    // The button clicked, whether the settings show, and the tab stops.
    const std::tuple<const char*, bool, QStringList> states[] = {
        {nullptr, false, {"cmdGo", "cmdSobrat", "cmddir", "cmdOptions", "txtPut"}},
        {"cmdOptions", true, {"cmdOk", "optSameDir", "txtKusok"}},  // the upper panel's controls are disabled
        {"optSubDir", true, {"txtPapka", "txtKusok", "cmdOk", "optSubDir"}},
        {"optSameDir", true, {"txtKusok", "cmdOk", "optSameDir"}},
        {"cmdOk", false, {"txtPut", "cmdGo", "cmdSobrat", "cmddir", "cmdOptions"}}};
    for (const auto& [button, settings, stops] : states) {
      if (button) click({button});
      QTest::qWait(300);  // the window sizes itself again once framed
      QVERIFY(control(settings ? "Frame2" : "Frame1")->geometry().bottom() < window->height());
      QCOMPARE(control("Frame2")->y() < window->height(), settings);
      for (const QString& stop : stops) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), stop);
      }
    }
  }

  // Enter starts nothing; "..." fills the path box, and its cancel empties it.
  // An error, a refusal, a split and a join show one box each, and the window
  // stays usable. The names are Cyrillic, as they reach the core from the boxes.
  // A file edited after the split stays after "Нет" to the question.
  void eachWorkShowsItsOneBox() {
    const std::string source = files / "фильм.avi";
    for (const char* name : {"cmdGo", "cmdSobrat"}) QTest::keyClick(control(name), Qt::Key_Return);
    openResult = source.c_str();
    click({"cmddir", "cmdGo", "cmddir", "cmdGo"});  // the file is not there yet; the dialog cancelled
    support::WriteFile(source, support::PatternBytes(10007));
    box("txtPut")->setText(source.c_str());
    click({"cmdOptions", "optSubDir"});
    box("txtPapka")->setText("части");
    box("txtKusok")->setText("4 000");
    click({"cmdOk", "cmdGo"});
    const std::string output = files / "части/фильм.avi";
    support::WriteFile(output, "edited");
    std::filesystem::last_write_time(output,
                                     std::filesystem::last_write_time(files / "части/001.drb") + std::chrono::hours(1));
    folderResult = QString::fromStdString(files / "части");
    click({"cmdSobrat"});
    QCOMPARE(support::ReadFile(output), "edited");
    QCOMPARE(log, QStringList({Box(messages::ErrorReport({ENOENT, parcelo::FileOperation::Open, source}).message),
                               Box({{}, messages::kReadErrorTitle, messages::kNoSource}),
                               Box({{}, messages::kSplitDoneTitle, messages::SplitDone(source, "3")}),
                               Chooser(QString::fromStdString(files.path())),  // where the file lies
                               "? " + Box({{}, messages::kReplaceEditedTitle, messages::ReplaceEdited("фильм.avi")}),
                               Box({{}, messages::kJoinCancelledTitle, messages::kCancelled})}));
    // The file list shows the join's listing, taken before the output was made: 3 parts, Infa.inf
    // and the edited file.
    const QListWidget* listed = window->findChild<QListWidget*>("File1");
    QCOMPARE(std::pair(listed->count(), listed->item(3)->text()), std::pair(5, QString("Infa.inf")));
  }

  // Work made slow enough to be stopped by a hand: Esc and the progress
  // display's close button stop it, each with its one box ("Отмена":
  // progress_display_test), and so does closing the window, without one
  // (last: the others leave it usable); what it wrote is gone.
  void cancelOrCloseDuringWorkStopsItAndCleansUp() {
    struct SlowWrites : parcelo::SysCalls {
      int WriteAt(parcelo::Handle file, const void* buffer, std::size_t count, std::uint64_t offset,
                  std::size_t* done) override {
        QThread::msleep(20);
        return SysCalls::WriteAt(file, buffer, std::min<std::size_t>(count, 1 << 16), offset, done);
      }
    } slow;
    parcelo::ScopedSysCalls scope(slow);
    support::TempFolder folder;
    support::WriteFile(folder / "film.avi", support::PatternBytes(8 << 20));
    box("txtPut")->setText((folder / "film.avi").c_str());
    for (const QString how : {"Esc", "close button", "window closed"}) {
      QTimer::singleShot(800, window, [&] {
        auto* progress = window->findChild<QProgressDialog*>();
        if (how == "Esc") QTest::keyClick(progress, Qt::Key_Escape);
        if (how == "close button") progress->close();
        if (how == "window closed") window->close();
      });
      click({"cmdGo"});
      QVERIFY2(support::FolderEntries(folder.path()) == std::vector<std::string>{"film.avi"}, qPrintable(how));
      QCOMPARE(window->isVisible(), how != "window closed");
    }
    QCOMPARE(log, QStringList(2, Box({{}, messages::kSplitCancelledTitle, messages::kCancelled})));
  }

  // Only one local file, dropped on the window or the path box, sets the path.
  void onlyOneDroppedLocalFileSetsThePath() {
    const QUrl file = QUrl::fromLocalFile(QCoreApplication::applicationFilePath());  // any file
    const QUrl folder = QUrl::fromLocalFile(QCoreApplication::applicationDirPath()), page("https://example.org/a");
    const std::tuple<QWidget*, QList<QUrl>, bool> rows[] = {
        {window, {file}, true},         {box("txtPut"), {file}, true},
        {window, {file, file}, false},  {box("txtPut"), {folder}, false},
        {box("txtPut"), {page}, false}, {box("txtKusok"), {file}, false}};  // the piece size, the settings open
    for (const auto& [target, carried, takesPath] : rows) {
      if (target == box("txtKusok")) click({"cmdOptions"});
      box("txtPut")->setText("before");
      QMimeData data;  // as file managers fill it: the addresses, and as plain text too
      data.setUrls(carried);
      data.setText(carried[0].toString());
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(target, &enter);
      QCOMPARE(enter.isAccepted(), takesPath);
      QApplication::sendEvent(target, &drop);
      QCOMPARE(box("txtPut")->text() + " " + box("txtKusok")->text(),
               (takesPath ? carried[0].toLocalFile() : "before") + " 1000000");
    }
  }

  // `parcelo PATH`: a file, existing or not, goes into the path box; a part
  // set's folder (as HoldsPartSet tells it) readies the join. Nothing is
  // asked before a click.
  void startPathFillsThePathBoxOrReadiesTheJoin() {
    for (const char* name : {"set/Infa.inf", "set/001.DRB"}) {
      std::filesystem::create_directories(std::filesystem::path(files / name).parent_path());
      support::WriteFile(files / name, "x");
    }
    const QString t = QString::fromStdString(files.path()), here = QDir::currentPath();
    // The arguments after the program's name; the path box (empty where the
    // join is readied); where the join's chooser starts.
    const std::tuple<QStringList, QString, QString> rows[] = {
        {{"-x", "gone.avi", t + "/set"}, here + "/gone.avi", here},  // options skipped; relative
        {{t + "/set/"}, "", t + "/set"}};
    for (const auto& [arguments, pathBox, chooserStart] : rows) {
      open(arguments);
      QCOMPARE(box("txtPut")->text(), pathBox);
      QCOMPARE(QApplication::focusWidget() == control("cmdSobrat"), pathBox.isEmpty());
      click({"cmdSobrat"});
      QCOMPARE(log, QStringList(Chooser(chooserStart)));  // and a cancel there starts nothing
    }
  }
};

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
