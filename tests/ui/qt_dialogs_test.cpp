// The real boxes and dialogs, answered by a timer once they are open. Run
// in the C locale, as on a system set to no language.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <filesystem>

#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/russian_translation.h"

namespace {

// What a title bar needs beside the caption: the icon and three buttons.
constexpr int kCaptionButtons = 4 * 24;

int BoldWidth(const QString& text) {
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(text);
}

// Every text a file dialog holds: its labels, buttons, boxes and lists, and
// every cell and heading of its views.
QStringList TextsIn(const QFileDialog& dialog) {
  QStringList texts;
  for (auto* label : dialog.findChildren<QLabel*>()) texts << label->text();
  for (auto* button : dialog.findChildren<QAbstractButton*>()) {
    texts << button->text() << button->toolTip();
  }
  for (auto* box : dialog.findChildren<QLineEdit*>()) texts << box->text();
  for (auto* box : dialog.findChildren<QComboBox*>()) {
    for (int item = 0; item < box->count(); ++item) texts << box->itemText(item);
  }
  for (auto* view : dialog.findChildren<QAbstractItemView*>()) {
    const QAbstractItemModel* model = view->model();
    if (!model) continue;
    for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
      texts << model->headerData(column, Qt::Horizontal).toString();
      for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        texts << model->index(row, column, view->rootIndex()).data().toString();
      }
    }
  }
  return texts;
}

}  // namespace

class QtDialogsTest : public QObject {
  Q_OBJECT

  // Calls `look` with the dialog once one is open, then closes it.
  parcelo::testing::TempFolder files, settings;

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
      parcelo::testing::WriteFile(files / name, std::string(size, 'x'));
    }
    std::filesystem::create_directory(files / "parts");
  }

  void fileDialogsSpeakRussian_data() {
    QTest::addColumn<bool>("chooser");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QStringList>("shown");  // among all else
    const QString nbsp(QChar(0x00A0));
    QTest::newRow("open-file dialog")
        << false << 5
        << QStringList{"parts", "Папка", "1 байт", "6 байт", "1" + nbsp + "002 байта", "1,9 МБ"};
    QTest::newRow("folder chooser") << true << 1 << QStringList{"parts", "Папка"};
  }
  void fileDialogsSpeakRussian() {
    QFETCH(bool, chooser);
    QFETCH(int, entries);
    QFETCH(QStringList, shown);
    QWidget window;
    window.show();
    const QString folder = QString::fromStdString(files.path());
    QStringList texts, cutColumns;
    bool refusesDesktopDialog = true;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
      refusesDesktopDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
      dialog->setDirectory(folder);
      auto* view = dialog->findChild<QAbstractItemView*>("treeView");
      if (view &&
          QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == entries; })) {
        texts = TextsIn(*dialog);
        auto* details = static_cast<QTreeView*>(view);
        for (int column = 1; column < details->header()->count(); ++column) {  // none is cut short
          if (view->sizeHintForColumn(column) > details->header()->sectionSize(column)) {
            cutColumns << details->model()->headerData(column, Qt::Horizontal).toString();
          }
        }
      }
    });
    parcelo::ui::QtDialogs dialogs;
    chooser ? dialogs.ChooseFolder(&window, folder, "Выберите директорию")
            : dialogs.ShowOpen(&window);
    QVERIFY2(!texts.isEmpty(), "the dialog listed no folder");
    QCOMPARE(cutColumns, QStringList());
    QVERIFY(!refusesDesktopDialog);  // a desktop that offers its own dialog shows it
    for (const QString& text : shown) {
      QVERIFY2(texts.contains(text), qPrintable(text + " is not shown"));
    }
    const QRegularExpression english("Folder|Drive|KiB|MiB|bytes|байты|Dec|Jan");
    for (const QString& text : texts) QVERIFY2(!text.contains(english), qPrintable(text));
    const QRegularExpression russianDate(R"(^\d\d\.\d\d\.\d{4} \d{1,2}:\d\d$)");
    QVERIFY2(std::any_of(texts.begin(), texts.end(),
                         [&](const QString& text) { return russianDate.match(text).hasMatch(); }),
             "no date in Russian form");
  }

  void messageBoxShowsItsWholeTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("long title, short text") << "Ошибка инициализации директории"
                                            << "Не удалось создать директорию.";
    QTest::newRow("short title") << "Ошибка"
                                 << "Не указан файл для дробления!";
  }
  void messageBoxShowsItsWholeTitle() {
    QFETCH(QString, title);
    QFETCH(QString, text);
    QWidget window;
    window.show();
    int width = 0;
    QString shownTitle;
    whenOpen<QMessageBox>([&](QMessageBox* box) {
      width = box->width();
      shownTitle = box->windowTitle();
    });
    parcelo::ui::QtDialogs().ShowMessage(
        &window, {parcelo::MessageKind::Critical, title.toStdString(), text.toStdString()});
    QCOMPARE(shownTitle, title);
    QVERIFY2(width >= BoldWidth(title) + kCaptionButtons, qPrintable(QString::number(width)));
  }
};

QTEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
