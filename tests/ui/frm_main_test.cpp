// Drives the real main window with clicks, keys and drops. The test stands in
// for the boxes, the open-file dialog and the folder chooser, and logs what
// the window asks of them.

#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <mutex>

#include "io/stop_signals.h"
#include "io/sys_calls.h"
#include "operation/messages.h"
#include "support/temp_folder.h"
#include "ui/close_on_stop_signal.h"
#include "ui/dialogs.h"
#include "ui/frm_main.h"
#include "ui/start_path.h"
#include "ui/window_texts.h"

namespace messages = parcelo::messages;
namespace support = parcelo::testing;

// What the log shows of a box and of a folder chooser the window opens.
QString Box(const parcelo::Message& box) { return QString::fromStdString(box.title + ": " + box.text); }
QString Chooser(const QString& start) { return parcelo::ui::text::kJoinFolderPrompt + (" (FrmMain): " + start); }

// Writes that wait while the test holds `gate`: work stopped half-way for as long as a test needs.
struct HeldWrites : parcelo::SysCalls {
  std::mutex gate;
  std::atomic<int> tried = 0;
  int WriteAt(parcelo::Handle file, const void* buffer, std::size_t count, std::uint64_t offset,
              std::size_t* done) override {
    ++tried;
    const std::lock_guard pass(gate);
    return SysCalls::WriteAt(file, buffer, count, offset, done);
  }
};

class FrmMainTest : public QObject, parcelo::ui::Dialogs {
  Q_OBJECT
  support::TempFolder files;  // what the work and the start paths find
  parcelo::ui::FrmMain* window = nullptr;
  QStringList log;
  QString openResult, folderResult;  // each dialog's next answer; a cancel after it
  std::function<void()> whileAsked;  // runs while a question is open
  HeldWrites held;

  void ShowMessage(QWidget*, const parcelo::Message& message) override { log << Box(message); }
  bool Ask(QWidget*, const parcelo::Message& question) override {
    log << "? " + Box(question);
    if (whileAsked) whileAsked();
    return false;
  }
  QString ShowOpen(QWidget*, const QString& start) override {
    return log << "open: " + start, std::exchange(openResult, {});
  }
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
  // Clicks each button and waits for the work it starts, if any, to end.
  void click(std::initializer_list<const char*> buttons) {
    for (const char* button : buttons) {
      QTest::mouseClick(control(button), Qt::LeftButton);
      QTRY_VERIFY(!window->IsWorking());
    }
  }

 private slots:
  void init() { open({}); }
  void cleanup() { delete std::exchange(window, nullptr); }

  // In each state the window has its designed outer height, the panel in
  // sight is whole, the lower one shows only in the Settings state, and Tab
  // goes round the controls in sight alone, from where the focus is. The
  // window's tests run at scale factors 1, 1.5 and 2 (see CMakeLists.txt): a
  // large scale thins the window manager's frame in device-independent pixels.
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
      QCOMPARE(std::pair(control("Frame2")->isVisible(), window->frameGeometry().height()),
               std::pair(settings, parcelo::ui::FrmMain::Px(settings ? 4680 : 2520)));
      for (const QString& stop : stops) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), stop);
      }
    }
  }

  // An error, a refusal, a split and a join show one box each, and the window
  // stays usable. The names are Cyrillic, as they reach the core from the boxes.
  // A file edited after the split stays after "Нет" to the question.
  void eachWorkShowsItsOneBox() {
    const std::string source = files / "фильм.avi";
    box("txtPut")->setText(source.c_str());
    click({"cmdGo"});  // the file is not there yet
    box("txtPut")->clear();
    click({"cmdGo"});
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

  // While work runs, stuck in a write, the progress display shows; the controls are disabled and a
  // start that still gets through starts no second work. Esc, the display's close button and closing
  // the window stop the work at its next step ("Отмена": progress_display_test); the first two show
  // their one box. The window and the display stay until the work has cleaned up all it wrote.
  void workRunsOneAtATimeAndStopsCleanly() {
    const support::TempFolder folder;
    const parcelo::ScopedSysCalls scope(held);
    support::WriteFile(folder / "film.avi", support::PatternBytes(3 << 20));
    for (const QString how : {"Esc", "close button", "window closed"}) {
      box("txtPut")->setText((folder / "film.avi").c_str());
      std::unique_lock hold(held.gate);
      QTest::mouseClick(control("cmdGo"), Qt::LeftButton);
      QTRY_VERIFY(window->findChild<QProgressDialog*>());
      for (const char* name : {"cmdGo", "cmdSobrat", "cmddir", "txtPut", "cmdOptions", "optSubDir", "txtKusok"}) {
        QVERIFY2(!control(name)->isEnabled(), name);
      }
      QMetaObject::invokeMethod(window, "cmdGo_Click");
      auto* progress = window->findChild<QProgressDialog*>();
      if (how == "Esc") QTest::keyClick(progress, Qt::Key_Escape);
      if (how == "close button") progress->close();
      if (how == "window closed") window->close();
      QVERIFY2(window->isVisible() && progress->isVisible() && window->IsWorking(), qPrintable(how));
      hold.unlock();
      QTRY_VERIFY(!window->IsWorking());
      QVERIFY2(support::FolderEntries(folder.path()) == std::vector<std::string>{"film.avi"}, qPrintable(how));
      QCOMPARE(window->isVisible(), how != "window closed");
    }
    QCOMPARE(log, QStringList(2, Box({{}, messages::kSplitCancelledTitle, messages::kCancelled})));
  }

  // Enter presses the focused button, and in a text box starts nothing. "..."
  // opens in the folder of the path in the box, read as "~" and a file://
  // address stand for, as is the path the split takes; a cancel there puts the
  // last picked name back.
  void enterAndTheOpenDialogTakeThePathInTheBox() {
    const QString t = QString::fromStdString(files.path()), home = QDir::homePath(), picked = t + "/a.avi";
    // The path box's text, where the dialog opens, what it answers.
    const std::tuple<QString, QString, QString> rows[] = {{"", "", picked},
                                                          {t + "/sub/b.avi", t + "/sub", ""},
                                                          {"~/нет.avi", home, ""},
                                                          {"file://" + t + "/sub/%D0%B2%20x.avi", t + "/sub", ""}};
    QStringList expected;
    for (const auto& [text, start, answer] : rows) {
      box("txtPut")->setText(text);
      QTest::keyClick(box("txtPut"), Qt::Key_Return);
      openResult = answer;
      QTest::keyClick(control("cmddir"), Qt::Key_Return);
      expected << "open: " + start;
      QCOMPARE(box("txtPut")->text(), picked);
    }
    box("txtPut")->setText("~/нет.avi");
    QTest::keyClick(control("cmdGo"), Qt::Key_Enter);
    QTRY_VERIFY(!window->IsWorking());
    const parcelo::FileError gone(ENOENT, parcelo::FileOperation::Open, (home + "/нет.avi").toStdString());
    QCOMPARE(log, expected << Box(messages::ErrorReport(gone).message));
  }

  // Only one local file, dropped on the window or the path box, sets the path. Text dropped on a box
  // replaces its text with the text's first line.
  void dropsSetThePathOrReplaceABoxsText() {
    const QUrl file = QUrl::fromLocalFile(QCoreApplication::applicationFilePath());  // any file
    const QUrl folder = QUrl::fromLocalFile(QCoreApplication::applicationDirPath()), page("https://example.org/a");
    const QString path = file.toLocalFile(), text = "1 000\r\nmore";
    // Where the drop lands, the addresses it carries (none: text only), then the path box and the piece size.
    const std::tuple<QWidget*, QList<QUrl>, QString> rows[] = {
        {window, {file}, path + " 1000000"},         {box("txtPut"), {file}, path + " 1000000"},
        {window, {file, file}, "before 1000000"},    {box("txtPut"), {folder}, "before 1000000"},
        {box("txtPut"), {page}, "before 1000000"},   {box("txtPut"), {}, "1 000 1000000"},
        {box("txtKusok"), {file}, "before 1000000"},  // from here on the settings show
        {box("txtKusok"), {}, "before 1 000"}};
    for (const auto& [target, carried, boxes] : rows) {
      if (target == box("txtKusok")) click({"cmdOptions"});
      box("txtPut")->setText("before");
      QMimeData data;  // as file managers fill it: the addresses, and as plain text too
      if (!carried.isEmpty()) data.setUrls(carried);
      data.setText(carried.isEmpty() ? text : carried[0].toString());
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(target, &enter);
      QCOMPARE(enter.isAccepted(), !boxes.contains("before 1000000"));
      QApplication::sendEvent(target, &drop);
      QCOMPARE(box("txtPut")->text() + " " + box("txtKusok")->text(), boxes);
    }
  }

  // `parcelo PATH`: a file, existing or not, goes into the path box; a part
  // set's folder (as HoldsPartSet tells it), or a part or Infa.inf in it,
  // readies the join. Nothing is asked before a click.
  void startPathFillsThePathBoxOrReadiesTheJoin() {
    for (const char* name : {"set/Infa.inf", "set/001.DRB", "noinfo/001.drb"}) {
      std::filesystem::create_directories(std::filesystem::path(files / name).parent_path());
      support::WriteFile(files / name, "x");
    }
    const QString t = QString::fromStdString(files.path()), here = QDir::currentPath();
    // The arguments after the program's name; the path box (empty where the
    // join is readied); where the join's chooser starts.
    const std::tuple<QStringList, QString, QString> rows[] = {
        {{"-x", "gone.avi", t + "/set"}, here + "/gone.avi", here},  // options skipped; relative
        {{t + "/set/"}, "", t + "/set"},
        {{t + "/set/001.DRB"}, "", t + "/set"},
        {{t + "/set/Infa.inf"}, "", t + "/set"},
        {{t + "/noinfo/001.drb"}, t + "/noinfo/001.drb", t + "/noinfo"}};
    for (const auto& [arguments, pathBox, chooserStart] : rows) {
      open(arguments);
      QCOMPARE(box("txtPut")->text(), pathBox);
      QCOMPARE(QApplication::focusWidget() == control("cmdSobrat"), pathBox.isEmpty());
      click({"cmdSobrat"});
      QCOMPARE(log, QStringList(Chooser(chooserStart)));  // and a cancel there starts nothing
    }
  }

  // With no placement marked the split puts the parts beside the source. A stop signal while the
  // join asks whether to replace the edited source: the question gives way, the join stops and
  // removes what it wrote, then the window closes, with no box and no thread left. Last: the signal
  // stays noted for the rest of the program.
  void stopSignalDuringTheJoinsQuestionCleansUpAndClosesTheWindow() {
    const support::TempFolder folder;
    const std::string output = folder / "film.avi";
    support::WriteFile(output, support::PatternBytes(10007));
    box("txtPut")->setText(output.c_str());
    box("txtKusok")->setText("4000");
    click({"cmdGo"});
    support::WriteFile(output, "edited");
    std::filesystem::last_write_time(output, std::filesystem::last_write_time(output) + std::chrono::hours(1));
    parcelo::CatchStopSignals();
    parcelo::ui::CloseOnStopSignal(*window);
    whileAsked = [this] {
      std::raise(SIGTERM);
      QDialog question(window);
      QTimer::singleShot(5000, &question, &QDialog::accept);
      if (question.exec() == QDialog::Accepted) log << "the question stayed open";
    };
    folderResult = QString::fromStdString(folder.path());
    QTest::mouseClick(control("cmdSobrat"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 10000);
    QVERIFY(!window->IsWorking());
    QCOMPARE(log, QStringList({Box({{}, messages::kSplitDoneTitle, messages::SplitDone(output, "3")}),
                               Chooser(QString::fromStdString(folder.path())),
                               "? " + Box({{}, messages::kReplaceEditedTitle, messages::ReplaceEdited("film.avi")})}));
    QCOMPARE(support::ReadFile(output), "edited");
    QCOMPARE(support::FolderEntries(folder.path()),
             (std::vector<std::string>{"001.drb", "002.drb", "003.drb", "Infa.inf", "film.avi"}));
  }
};

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
