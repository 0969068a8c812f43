// Drives the real main window with clicks, with the boxes, the open-file
// dialog and the folder chooser replaced by recording stand-ins.

#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QtTest>

#include "io/sys_calls.h"
#include "operation/messages.h"
#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/file_list_box.h"
#include "ui/frm_main.h"

namespace messages = parcelo::messages;
namespace support = parcelo::testing;

struct RecordingDialogs : parcelo::ui::Dialogs {
  std::vector<parcelo::Message> boxes;
  QString openResult, folderResult;
  QStringList prompts, chooserStarts;
  QWidget* chooserParent = nullptr;
  void ShowMessage(QWidget*, const parcelo::Message& message) override { boxes.push_back(message); }
  QString ShowOpen(QWidget*) override { return openResult; }
  QString ChooseFolder(QWidget* parent, const QString& start, const QString& prompt) override {
    chooserParent = parent;
    chooserStarts << start;
    return prompts << prompt, folderResult;
  }
};

class FrmMainTest : public QObject {
  Q_OBJECT
  const QStringList work = {"cmdOptions", "cmdGo", "cmdSobrat", "cmddir", "txtPut"};
  RecordingDialogs* dialogs = nullptr;
  support::TempFolder dropped;
  parcelo::ui::FrmMain* window = nullptr;

  template <typename T = QWidget>
  T* control(const QString& name) {
    return window->findChild<T*>(name);
  }
  void click(const char* button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
  QString text(const char* box) { return control<QLineEdit>(box)->text(); }
  void setText(const char* box, const QString& value) { control<QLineEdit>(box)->setText(value); }
  // Where the focus goes on each of `presses` presses of Tab.
  QStringList tabStops(int presses) {
    QStringList stops;
    for (int press = 0; press < presses; ++press) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      stops << QApplication::focusWidget()->objectName();
    }
    return stops;
  }
  bool settingsShow() { return control("Frame2")->geometry().bottom() < window->height(); }
  QStringList enabledWork() {
    QStringList enabled;
    for (const QString& name : work) {
      if (control(name)->isEnabled()) enabled << name;
    }
    return enabled;
  }

 private slots:
  void initTestCase() { support::WriteFile(dropped / "film.avi", "x"); }
  void init() {
    dialogs = new RecordingDialogs;
    window = new parcelo::ui::FrmMain(*dialogs);
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
  }
  void cleanup() { delete window, delete dialogs; }

  void startsWithOnlyTheUpperPanelAndTheSettingsOpenAndClose() {
    QVERIFY(window->windowTitle().startsWith("Parcelo - файловое дробление от Velmarin ("));
    QVERIFY(!settingsShow() && control("Frame1")->geometry().bottom() < window->height());
    QCOMPARE(enabledWork(), work);
    QCOMPARE(text("txtKusok") + text("txtPapka"), "1000000NewFolder");
    QVERIFY(!control<QRadioButton>("optSameDir")->isChecked() && !control<QRadioButton>("optSubDir")->isChecked());
    click("cmdOptions");
    QVERIFY(settingsShow() && enabledWork().isEmpty());
    click("optSubDir");
    QVERIFY(control("txtPapka")->isEnabled());
    click("optSameDir");
    QVERIFY(!control("txtPapka")->isEnabled());
    for (int time = 0; time < 2; ++time) {  // a second "Применить..." is harmless
      click("cmdOk");
      QVERIFY(!settingsShow());
      QCOMPARE(enabledWork(), work);
    }
    for (const QString& chosen : {QString("/data/film.avi"), QString()}) {  // a cancel gives the empty text
      dialogs->openResult = chosen;
      click("cmddir");
      QCOMPARE(text("txtPut"), chosen);
    }
  }

  void tabStopsOnlyOnControlsInSight() {
    control("txtPut")->setFocus();
    const QStringList upper = {"cmdGo", "cmdSobrat", "cmddir", "cmdOptions", "txtPut"};
    QCOMPARE(tabStops(10), upper + upper);
    click("cmdOptions");  // the upper panel's controls are disabled; the lower panel's take the keys
    QCOMPARE(QApplication::focusWidget()->objectName(), "txtKusok");
    QCOMPARE(tabStops(6), QStringList({"cmdOk", "optSameDir", "txtKusok", "cmdOk", "optSameDir", "txtKusok"}));
    click("optSubDir");
    QCOMPARE(tabStops(4), QStringList({"txtPapka", "txtKusok", "cmdOk", "optSubDir"}));
    click("cmdOk");
    QCOMPARE(QApplication::focusWidget()->objectName(), "cmdOptions");
    QCOMPARE(tabStops(5), QStringList({"txtPut", "cmdGo", "cmdSobrat", "cmddir", "cmdOptions"}));
  }

  // Run at scale factors 1, 1.5 and 2 (see CMakeLists.txt): a large scale
  // thins the window manager's frame in device-independent pixels.
  void eachStateShowsItsPanelsWholeOnceFramed() {
    QTest::qWait(300);  // the window sizes itself again once framed
    QWidget* lower = control("Frame2");
    QVERIFY(control("Frame1")->geometry().bottom() < window->height());
    QVERIFY2(lower->y() >= window->height(),  // no strip of the lower panel below the upper one
             qPrintable(QString("panel at %1, window %2 high").arg(lower->y()).arg(window->height())));
    click("cmdOptions");
    QTest::qWait(300);
    QVERIFY(lower->geometry().bottom() < window->height());
    QCOMPARE(window->frameGeometry().height(), parcelo::ui::FrmMain::Px(4680));
  }

  void optionCirclesLieWithinTheirButtons_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("scale 1") << 1.0;
    QTest::newRow("scale 1.5") << 1.5;
    QTest::newRow("scale 2") << 2.0;
  }
  void optionCirclesLieWithinTheirButtons() {
    QFETCH(qreal, ratio);
    auto* button = control<QRadioButton>("optSameDir");
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button);
    // Paint the circle with room around the button, which cuts off what lies outside it.
    QImage canvas((button->size() + QSize(16, 16)) * ratio, QImage::Format_ARGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.translate(8, 8);
    button->style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &painter, button);
    painter.end();
    const QRect inside = QRectF(QPointF(8, 8) * ratio, QSizeF(button->size()) * ratio).toAlignedRect();
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        QVERIFY2(inside.contains(x, y) || qAlpha(canvas.pixel(x, y)) == 0,
                 qPrintable(QString("painted at %1,%2").arg(x).arg(y)));
      }
    }
  }

  void splitsThenJoinsThroughTheButtons() {
    support::TempFolder folder;
    const std::string bytes = support::PatternBytes(10007);
    support::WriteFile(folder / "film.avi", bytes);
    setText("txtPut", QString::fromStdString(folder / "film.avi"));
    click("cmdOptions");
    click("optSubDir");
    setText("txtPapka", "set");
    setText("txtKusok", "4 000");
    click("cmdOk");
    click("cmdGo");
    QCOMPARE(dialogs->boxes.size(), size_t(1));
    QCOMPARE(dialogs->boxes[0].title, messages::kSplitDoneTitle);
    QCOMPARE(support::FolderEntries(folder / "set"),
             (std::vector<std::string>{"001.drb", "002.drb", "003.drb", "Infa.inf"}));
    dialogs->folderResult = QString::fromStdString(folder / "set");
    click("cmdSobrat");
    QCOMPARE(dialogs->prompts, QStringList{messages::window::kJoinFolderPrompt});
    QCOMPARE(dialogs->chooserParent, window);  // a child of the window, with its icon
    QCOMPARE(dialogs->chooserStarts, QStringList{QString::fromStdString(folder.path())});  // where the file lies
    QCOMPARE(dialogs->boxes.size(), size_t(2));
    QCOMPARE(dialogs->boxes[1].text, messages::JoinDone(folder / "set/film.avi"));
    QVERIFY(support::ReadFile(folder / "set/film.avi") == bytes);
    QCOMPARE(control<parcelo::ui::FileListBox>("File1")->count(), 4);  // the listing the join read
  }

  // Work made slow enough to be stopped by a hand: "Отмена", or closing the
  // window, stops it; what it wrote is gone.
  void cancelOrCloseDuringWorkStopsItAndCleansUp_data() {
    QTest::addColumn<bool>("closeWindow");
    QTest::newRow("Отмена") << false;
    QTest::newRow("window closed") << true;
  }
  void cancelOrCloseDuringWorkStopsItAndCleansUp() {
    QFETCH(bool, closeWindow);
    struct SlowWrites : parcelo::SysCalls {
      ssize_t Pwrite(int fd, const void* buffer, std::size_t count, std::uint64_t offset) override {
        QThread::msleep(20);
        return SysCalls::Pwrite(fd, buffer, std::min<std::size_t>(count, 1 << 16), offset);
      }
    } slow;
    parcelo::ScopedSysCalls scope(slow);
    support::TempFolder folder;
    support::WriteFile(folder / "film.avi", support::PatternBytes(8 << 20));
    setText("txtPut", QString::fromStdString(folder / "film.avi"));
    QTimer::singleShot(800, window, [&] {
      if (closeWindow) {
        window->close();
      } else if (auto* dialog = window->findChild<QProgressDialog*>()) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
      }
    });
    click("cmdGo");
    QCOMPARE(support::FolderEntries(folder.path()), std::vector<std::string>{"film.avi"});
    QCOMPARE(window->isVisible(), !closeWindow);
    QCOMPARE(dialogs->boxes.size(), size_t(closeWindow ? 0 : 1));
    if (!closeWindow) {
      QCOMPARE(dialogs->boxes[0].title + dialogs->boxes[0].text,
               std::string(messages::kSplitCancelledTitle) + messages::kCancelled);
      QCOMPARE(enabledWork(), work);
    }
  }

  void cancelledChooserEnterAndEscapeDoNothing() {
    click("cmdSobrat");
    for (const char* name : {"txtPut", "cmdGo", "cmdSobrat"}) {
      control(name)->setFocus();
      QTest::keyClick(control(name), Qt::Key_Return);
      QTest::keyClick(control(name), Qt::Key_Escape);
    }
    QVERIFY(dialogs->boxes.empty());
    QCOMPARE(dialogs->prompts.size(), 1);
  }

  void refusalAndErrorReportLeaveTheWindowUsable() {
    support::TempFolder folder;
    click("cmdGo");
    QCOMPARE(dialogs->boxes.back().text, messages::kNoSource);
    setText("txtPut", QString::fromStdString(folder / "missing.avi"));
    click("cmdGo");
    QCOMPARE(dialogs->boxes.size(), size_t(2));
    QCOMPARE(dialogs->boxes[1].kind, parcelo::MessageKind::Critical);
    QCOMPARE(dialogs->boxes[1].title, messages::kErrorReportTitle);
    QVERIFY(dialogs->boxes[1].text.find(folder / "missing.avi") != std::string::npos);
    QVERIFY(window->isVisible());
    QCOMPARE(enabledWork(), work);
    support::WriteFile(folder / "missing.avi", std::string(3000000, 'x'));
    click("cmdGo");
    QCOMPARE(dialogs->boxes.back().title, messages::kSplitDoneTitle);
  }

  void onlyOneDroppedLocalFileSetsThePath_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QUrl>("carried");
    QTest::addColumn<bool>("takesPath");
    const QUrl file = QUrl::fromLocalFile(QString::fromStdString(dropped / "film.avi"));
    const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(dropped.path()));
    QTest::newRow("file on the window") << "FrmMain" << file << true;
    QTest::newRow("file on the path box") << "txtPut" << file << true;
    QTest::newRow("folder on the path box") << "txtPut" << folder << false;
    QTest::newRow("web page on the path box") << "txtPut" << QUrl("https://example.org/a") << false;
    QTest::newRow("file on the piece size, settings open") << "txtKusok" << file << false;
  }
  void onlyOneDroppedLocalFileSetsThePath() {
    QFETCH(QString, target);
    QFETCH(QUrl, carried);
    QFETCH(bool, takesPath);
    if (target == "txtKusok") click("cmdOptions");
    QWidget* widget = target == "FrmMain" ? window : control(target);
    setText("txtPut", "before");
    QMimeData data;  // as file managers fill it: the address, and as plain text too
    data.setUrls({carried});
    data.setText(carried.toString());
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QCOMPARE(enter.isAccepted(), takesPath);
    QApplication::sendEvent(widget, &drop);
    QCOMPARE(text("txtPut"), takesPath ? carried.toLocalFile() : "before");
    QCOMPARE(text("txtKusok"), "1000000");  // no address typed in
  }
};

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
