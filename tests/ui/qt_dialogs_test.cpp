// The real boxes and dialogs, answered by a timer once they are open. Run
// in the C locale, as on a system set to no language.

#include <QAbstractButton>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTreeView>
#include <QtTest>
#include <filesystem>

#include "operation/messages.h"
#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/russian_translation.h"

class QtDialogsTest : public QObject {
  Q_OBJECT

  parcelo::testing::TempFolder files, settings;
  QWidget window;

  // Calls `look` with the dialog once one is open, then closes it.
  template <typename Dialog, typename Look>
  void whenOpen(Look look) {
    QTimer::singleShot(10, this, [this, look] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) return whenOpen<Dialog>(look);
      look(dialog);
      static_cast<QDialog*>(dialog)->reject();
    });
  }

 private slots:
  void initTestCase() {
    // Qt's own dialogs, whatever the desktop offers, and none of the column
    // widths that earlier runs left in the user's settings.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(settings.path()));
    parcelo::ui::InstallRussianTranslation(*QCoreApplication::instance());
    for (const auto& [name, size] :
         {std::pair{"one.bin", 1}, {"six.bin", 6}, {"some.bin", 1002}, {"film.avi", 2000000}}) {
      parcelo::testing::WriteFile(files / name, std::string(static_cast<std::size_t>(size), 'x'));
    }
    std::filesystem::create_directory(files / "parts");
    window.show();
  }

  void fileDialogsSpeakRussianAndCutNothingShort_data() {
    QTest::addColumn<bool>("chooser");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("open-file dialog") << false << QStringList{"parts", "Папка", "1 байт", "6 байт", "1\u00A0002 байта",
                                                              "1,9 МБ"};
    QTest::newRow("folder chooser") << true << QStringList{"parts", "Папка"};
  }
  void fileDialogsSpeakRussianAndCutNothingShort() {
    QFETCH(bool, chooser);
    QFETCH(QStringList, entries);
    const QString folder = QString::fromStdString(files.path());
    QStringList texts, cut;
    bool refusesDesktopDialog = true;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
      refusesDesktopDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
      dialog->setDirectory(folder);
      auto* view = dialog->findChild<QTreeView*>("treeView");
      const QModelIndex root = view->rootIndex();
      if (!QTest::qWaitFor([&] { return view->model()->rowCount(root) == (chooser ? 1 : 5); })) {
        return;
      }
      for (auto* label : dialog->findChildren<QLabel*>()) texts << label->text();
      for (auto* button : dialog->findChildren<QAbstractButton*>()) texts << button->text();
      for (int column = 0; column < view->model()->columnCount(root); ++column) {
        const QString heading = view->model()->headerData(column, Qt::Horizontal).toString();
        texts << heading;
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
          texts << view->model()->index(row, column, root).data().toString();
        }
        if (static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column) > view->header()->sectionSize(column)) {
          cut << heading;
        }
      }
    });
    parcelo::ui::QtDialogs dialogs;
    chooser ? dialogs.ChooseFolder(&window, folder, parcelo::messages::window::kJoinFolderPrompt)
            : dialogs.ShowOpen(&window);
    QVERIFY2(!texts.isEmpty(), "the dialog listed no folder");
    QVERIFY(!refusesDesktopDialog);  // a desktop that offers its own dialog shows it
    for (const QString& entry : entries) QVERIFY2(texts.contains(entry), qPrintable(entry));
    QCOMPARE(texts.filter(QRegularExpression("Folder|Drive|KiB|MiB|bytes|байты|Dec")), {});
    QVERIFY(texts.indexOf(QRegularExpression(R"(^\d\d\.\d\d\.\d{4} \d\d?:\d\d$)")) >= 0);
    QCOMPARE(cut, QStringList());
  }

  void messageBoxShowsItsWholeTitle() {
    const QString title = parcelo::messages::kFolderErrorTitle;  // the longest title
    int width = 0;
    whenOpen<QMessageBox>([&](QMessageBox* box) { width = box->width(); });
    parcelo::ui::QtDialogs().ShowMessage(&window, {parcelo::MessageKind::Critical, title.toStdString(), "Не удалось."});
    // The title bar needs room for the bold title, the icon and three buttons.
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY2(width >= QFontMetrics(bold).horizontalAdvance(title) + 4 * 24, qPrintable(QString::number(width)));
  }
};

QTEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
