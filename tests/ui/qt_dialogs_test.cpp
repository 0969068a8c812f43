// The real boxes and dialogs, answered by a timer once they are open. Run
// in the C locale, as on a system set to no language.

#include <QtTest>
#include <QtWidgets>
#include <filesystem>

#include "operation/messages.h"
#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/russian_translation.h"

namespace text = parcelo::messages::window;

class QtDialogsTest : public QObject {
  Q_OBJECT
  parcelo::testing::TempFolder files, settings;
  QWidget window;
  parcelo::ui::QtDialogs dialogs;

  // Calls `look` with the dialog once one is open, then accepts or cancels it.
  template <typename Dialog, typename Look>
  void whenOpen(Look look, bool accept = false) {
    QTimer::singleShot(10, this, [=, this] {
      QDialog* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) return whenOpen<Dialog>(look, accept);
      look(static_cast<Dialog*>(dialog));
      accept ? dialog->accept() : dialog->reject();
    });
  }

 private slots:
  void initTestCase() {
    // Qt's own dialogs, whatever the desktop offers, and none of the column
    // widths that earlier runs left in the user's settings.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(settings.path()));
    parcelo::ui::InstallRussianTranslation(*QCoreApplication::instance());
    parcelo::testing::WriteFile(files / "some.bin", std::string(1002, 'x'));
    parcelo::testing::WriteFile(files / "big.bin", std::string(2000000, 'x'));
    std::filesystem::create_directory(files / "parts");
    window.show();
  }

  // Both open over the window; the chooser in the folder it is given, if
  // there is one. Every word in Russian, none cut short.
  void fileDialogsStartWhereAskedInRussian() {
    const QString folder = QString::fromStdString(files.path()), home = QDir::homePath();
    // The chooser's start (none: the open-file dialog), where it opens, and
    // what the dialog lists, sorted: its only words not in Russian.
    const std::tuple<QString, QString, QStringList> rows[] = {{QString(), QString(), {"big.bin", "parts", "some.bin"}},
                                                              {folder + "/", folder, {"parts"}},
                                                              {"/no/such/folder", home, {"parts"}}};
    for (const auto& [start, shown, names] : rows) {
      const bool chooser = !shown.isEmpty();
      QStringList opened, texts, cut;
      const auto look = [&](QFileDialog* dialog) {
        opened << dialog->windowTitle() << dialog->directory().absolutePath();
        QCOMPARE(dialog->parentWidget(), &window);
        QVERIFY(!dialog->testOption(QFileDialog::DontUseNativeDialog));  // a desktop's own dialog where it has one
        dialog->setDirectory(folder);
        auto* view = dialog->findChild<QTreeView*>("treeView");
        const QAbstractItemModel* model = view->model();
        if (!QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) == names.size(); })) return;
        const QModelIndex root = view->rootIndex();
        for (int column = 0; column < model->columnCount(root); ++column) {
          texts << model->headerData(column, Qt::Horizontal).toString();
          for (int row = 0; row < names.size(); ++row) texts << model->index(row, column, root).data().toString();
          if (static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column) > view->header()->sectionSize(column)) {
            cut << texts.last();
          }
        }
      };
      whenOpen<QFileDialog>(look, chooser);
      // Accepted, the chooser returns the folder it then shows; cancelled, the open-file dialog nothing.
      QCOMPARE(chooser ? dialogs.ChooseFolder(&window, start, text::kJoinFolderPrompt) : dialogs.ShowOpen(&window),
               chooser ? folder : QString());
      if (chooser) QCOMPARE(opened, QStringList({text::kJoinFolderPrompt, shown}));
      QStringList latin = texts.filter(QRegularExpression("[A-Za-z]"));
      latin.sort();
      QCOMPARE(latin, names);
      QVERIFY(texts.indexOf(QRegularExpression(R"(^\d\d\.\d\d\.\d{4} \d\d?:\d\d$)")) >= 0);  // a Russian date
      QCOMPARE(cut, QStringList());
    }
  }

  // The title bar needs room for the bold title, the icon and three buttons.
  void messageBoxShowsItsWholeTitle() {
    const QString title = parcelo::messages::kFolderErrorTitle;  // the longest title
    int width = 0;
    whenOpen<QMessageBox>([&](QMessageBox* box) { width = box->width(); });
    dialogs.ShowMessage(&window, {parcelo::MessageKind::Critical, title.toStdString(), "Не удалось."});
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY2(width >= QFontMetrics(bold).horizontalAdvance(title) + 4 * 24, qPrintable(QString::number(width)));
  }
};

QTEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
