// Drives the real main window with clicks, with the boxes, the open-file
// dialog and the folder chooser replaced by recording stand-ins.

#include <QDropEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/file_list_box.h"
#include "ui/frm_main.h"

using parcelo::Message;
using parcelo::MessageKind;
using parcelo::ui::FrmMain;
namespace support = parcelo::testing;

namespace {

class RecordingDialogs : public parcelo::ui::Dialogs {
 public:
  std::vector<Message> messages;
  QString openResult;
  QString folderResult;
  QStringList prompts;

  void ShowMessage(QWidget*, const Message& message) override { messages.push_back(message); }
  QString ShowOpen(QWidget*) override { return openResult; }
  QString ChooseFolder(const QString&, const QString& prompt) override {
    prompts << prompt;
    return folderResult;
  }
};

}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private:
  template <typename T>
  T* control(FrmMain& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }
  void click(FrmMain& window, const char* button) {
    QTest::mouseClick(control<QAbstractButton>(window, button), Qt::LeftButton);
  }
  QStringList enabledWorkControls(FrmMain& window) {
    QStringList enabled;
    for (const char* name : {"cmdOptions", "cmdGo", "cmdSobrat", "cmddir", "txtPut"}) {
      if (control<QWidget>(window, name)->isEnabled()) enabled << QString::fromLatin1(name);
    }
    return enabled;
  }
  // True when the lower panel lies inside the window's client area.
  bool settingsShow(FrmMain& window) {
    return control<QGroupBox>(window, "Frame2")->geometry().bottom() < window.height();
  }
  static const QStringList kAllWork;

 private slots:
  void startsWithOnlyTheUpperPanel() {
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle().left(40), QStringLiteral("Parcelo - файловое дробление от Velmarin"));
    QVERIFY(control<QGroupBox>(window, "Frame2")->geometry().top() >= window.height());
    QVERIFY(control<QGroupBox>(window, "Frame1")->geometry().bottom() < window.height());
    QCOMPARE(enabledWorkControls(window), kAllWork);
    QCOMPARE(control<QLineEdit>(window, "txtKusok")->text(), QStringLiteral("1000000"));
    QCOMPARE(control<QLineEdit>(window, "txtPapka")->text(), QStringLiteral("NewFolder"));
    QVERIFY(!control<QRadioButton>(window, "optSameDir")->isChecked());
    QVERIFY(!control<QRadioButton>(window, "optSubDir")->isChecked());
  }

  void settingsOpenAndCloseAgain() {
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    window.show();
    click(window, "cmdOptions");
    QVERIFY(settingsShow(window));
    QVERIFY(enabledWorkControls(window).isEmpty());
    QVERIFY(control<QWidget>(window, "cmdOk")->isEnabled());
    click(window, "cmdOk");
    QVERIFY(!settingsShow(window));
    QCOMPARE(enabledWorkControls(window), kAllWork);
    click(window, "cmdOk");  // harmless without a change
    QCOMPARE(enabledWorkControls(window), kAllWork);
    QVERIFY(dialogs.messages.empty());
  }

  void placementOptionsToggleTheFolderName() {
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    window.show();
    click(window, "cmdOptions");
    auto* name = control<QLineEdit>(window, "txtPapka");
    click(window, "optSubDir");
    QVERIFY(name->isEnabled());
    click(window, "optSameDir");
    QVERIFY(!name->isEnabled());
    QVERIFY(!control<QRadioButton>(window, "optSubDir")->isChecked());
  }

  void openDialogFillsThePathEvenWhenCancelled() {
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    dialogs.openResult = QStringLiteral("/data/film.avi");
    click(window, "cmddir");
    QCOMPARE(control<QLineEdit>(window, "txtPut")->text(), QStringLiteral("/data/film.avi"));
    dialogs.openResult.clear();
    click(window, "cmddir");
    QCOMPARE(control<QLineEdit>(window, "txtPut")->text(), QString());
  }

  void splitsThenJoinsThroughTheButtons() {
    support::TempFolder folder;
    const std::string bytes = support::PatternBytes(10007);
    support::WriteFile(folder / "film.avi", bytes);
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    window.show();
    control<QLineEdit>(window, "txtPut")->setText(QString::fromStdString(folder / "film.avi"));
    click(window, "cmdOptions");
    click(window, "optSubDir");
    control<QLineEdit>(window, "txtPapka")->setText(QStringLiteral("set"));
    control<QLineEdit>(window, "txtKusok")->setText(QStringLiteral("4 000"));
    click(window, "cmdOk");
    click(window, "cmdGo");
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(dialogs.messages[0].kind, MessageKind::Information);
    QCOMPARE(dialogs.messages[0].title, std::string("Дробление завершено"));
    QCOMPARE(support::FolderEntries(folder / "set"),
             (std::vector<std::string>{"001.drb", "002.drb", "003.drb", "Infa.inf"}));

    dialogs.messages.clear();
    dialogs.folderResult = QString::fromStdString(folder / "set");
    click(window, "cmdSobrat");
    QCOMPARE(dialogs.prompts, QStringList{QStringLiteral("Выберите директорию")});
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(dialogs.messages[0].title, std::string("Слияние завершено"));
    QCOMPARE(dialogs.messages[0].text,
             "Поздравляем! Файл собран и сохранен под исходным именем " + (folder / "set/film.avi") + ".");
    QVERIFY(support::ReadFile(folder / "set/film.avi") == bytes);
    // File1 keeps the listing the join read.
    QCOMPARE(control<parcelo::ui::FileListBox>(window, "File1")->count(), 4);
  }

  void cancelledChooserDoesNothing() {
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    click(window, "cmdSobrat");
    QCOMPARE(dialogs.prompts.size(), 1);
    QVERIFY(dialogs.messages.empty());
  }

  void refusalShowsItsCriticalBox() {
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    click(window, "cmdGo");
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(dialogs.messages[0].kind, MessageKind::Critical);
    QCOMPARE(dialogs.messages[0].text, std::string("Не указан файл для дробления!"));
  }

  void errorReportLeavesTheWindowUsable() {
    support::TempFolder folder;
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    window.show();
    auto* path = control<QLineEdit>(window, "txtPut");
    path->setText(QString::fromStdString(folder / "missing.avi"));
    click(window, "cmdGo");
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(dialogs.messages[0].kind, MessageKind::Critical);
    QCOMPARE(dialogs.messages[0].title, std::string("Ошибка выполнения"));
    QVERIFY(dialogs.messages[0].text.find(folder / "missing.avi") != std::string::npos);
    QVERIFY(window.isVisible());
    QCOMPARE(enabledWorkControls(window), kAllWork);

    support::WriteFile(folder / "missing.avi", std::string(3000000, 'x'));
    click(window, "cmdGo");
    QCOMPARE(dialogs.messages.size(), size_t(2));
    QCOMPARE(dialogs.messages[1].title, std::string("Дробление завершено"));
  }

  void enterAndEscapeStartNothing() {
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    for (const char* name : {"txtPut", "cmdGo", "cmdSobrat"}) {
      control<QWidget>(window, name)->setFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
    QVERIFY(dialogs.messages.empty());
    QVERIFY(dialogs.prompts.isEmpty());
  }

  void droppedFileFillsThePath() {
    support::TempFolder folder;
    support::WriteFile(folder / "dropped.bin", "x");
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder / "dropped.bin"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QApplication::sendEvent(&window, &drop);
    QCOMPARE(control<QLineEdit>(window, "txtPut")->text(),
             QString::fromStdString(folder / "dropped.bin"));
    // Not while the settings are open: the path can't be changed then.
    click(window, "cmdOptions");
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/etc/hostname"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &refused);
    QVERIFY(!refused.isAccepted());
    QApplication::sendEvent(&window, &drop);
    QCOMPARE(control<QLineEdit>(window, "txtPut")->text(),
             QString::fromStdString(folder / "dropped.bin"));
  }

  void incFnNumbersParts() {
    RecordingDialogs dialogs;
    FrmMain window(dialogs);
    std::string number = "999";
    window.IncFn(number);
    QCOMPARE(number, std::string("1000"));
  }
};

const QStringList FrmMainTest::kAllWork = {"cmdOptions", "cmdGo", "cmdSobrat", "cmddir", "txtPut"};

QTEST_MAIN(FrmMainTest)
#include "frm_main_test.moc"
