// The real boxes and dialogs, answered by a timer once they are open. Run
// in the C locale, as on a system set to no language.

#include <QtTest>
#include <QtWidgets>

#include "operation/messages.h"
#include "support/temp_folder.h"
#include "ui/dialogs.h"
#include "ui/russian_translation.h"
#include "ui/window_texts.h"

namespace text = parcelo::ui::text;

class QtDialogsTest : public QObject {
  Q_OBJECT
  parcelo::testing::TempFolder files, settings;
  QWidget window;
  parcelo::ui::QtDialogs dialogs;

  // Calls `look` with the dialog once one is open, then accepts or cancels it
  // unless `look` closed it.
  template <typename Dialog, typename Look>
  void whenOpen(bool accept, Look look) {
    QTimer::singleShot(10, this, [=, this] {
      QDialog* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) return whenOpen<Dialog>(accept, look);
      look(static_cast<Dialog*>(dialog));
      if (dialog->isVisible()) accept ? dialog->accept() : dialog->reject();
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

  // Both open over the window, in the folder they are given if there is one.
  // Every word in Russian, none cut short.
  void fileDialogsStartWhereAskedInRussian() {
    const QString folder = QString::fromStdString(files.path()), home = QDir::homePath();
    // Whether the folder chooser opens (else the open-file dialog), its start, where it opens, and
    // what the dialog lists, sorted: its only words not in Russian.
    const std::tuple<bool, QString, QString, QStringList> rows[] = {
        {false, folder, folder, {"big.bin", "parts", "some.bin"}},
        {true, folder + "/", folder, {"parts"}},
        {true, "/no/such/folder", home, {"parts"}}};
    for (const auto& [chooser, start, shown, names] : rows) {
      QStringList texts;
      whenOpen<QFileDialog>(chooser, [&](QFileDialog* dialog) {
        QCOMPARE(dialog->windowTitle() + dialog->directory().path(),
                 (chooser ? text::kJoinFolderPrompt : "Открыть") + shown);
        QCOMPARE(dialog->parentWidget(), &window);
        QVERIFY(!dialog->testOption(QFileDialog::DontUseNativeDialog));  // a desktop's own dialog where it has one
        dialog->setDirectory(folder);
        auto* view = dialog->findChild<QTreeView*>("treeView");
        const QAbstractItemModel* model = view->model();
        QVERIFY(QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) == names.size(); }));
        const QModelIndex root = view->rootIndex();
        for (int column = 0; column < model->columnCount(root); ++column) {
          texts << model->headerData(column, Qt::Horizontal).toString();
          for (int row = 0; row < names.size(); ++row) texts << model->index(row, column, root).data().toString();
          const int needed = static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column);
          QVERIFY2(needed <= view->header()->sectionSize(column), qPrintable(texts.last() + " is cut"));
        }
      });
      // Accepted, the chooser returns the folder it then shows; cancelled, the open-file dialog nothing.
      QCOMPARE(
          chooser ? dialogs.ChooseFolder(&window, start, text::kJoinFolderPrompt) : dialogs.ShowOpen(&window, start),
          chooser ? folder : QString());
      QStringList latin = texts.filter(QRegularExpression("[A-Za-z]"));
      latin.sort();
      QCOMPARE(latin, names);
      QVERIFY(texts.indexOf(QRegularExpression(R"(^\d\d\.\d\d\.\d{4} \d\d?:\d\d$)")) >= 0);  // a Russian date
    }
  }

  // Both fit the screen, frame and buttons, also where that is 640 device-independent pixels wide
  // (see CMakeLists.txt).
  void fileDialogsFitTheScreen() {
    for (const bool chooser : {false, true}) {
      whenOpen<QFileDialog>(false, [](QFileDialog* dialog) {
        QVERIFY(dialog->screen()->availableGeometry().contains(dialog->frameGeometry()));
      });
      chooser ? dialogs.ChooseFolder(&window, {}, text::kJoinFolderPrompt) : dialogs.ShowOpen(&window, {});
    }
  }

  // The join's box keeps its path on one line where the path fits, else breaks it where it can, and
  // what is copied from it names the path as it is.
  void joinBoxKeepsThePathWhereItFits() {
    for (const int folders : {1, 30}) {
      const QString path = "/home/пользователь/Видео за 2024" + QString("/папка").repeated(folders) + "/фильм-1.avi";
      whenOpen<QMessageBox>(false, [&](QMessageBox* box) {
        const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        QTextLayout layout(label->text(), label->font());  // as the label lays out its lines, at word boundaries
        layout.beginLayout();
        QStringList lines;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
          line.setLineWidth(label->contentsRect().width());
          QVERIFY(line.naturalTextWidth() <= label->contentsRect().width());
          lines
              << label->text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060)).replace(QChar(0xA0), ' ');
        }
        layout.endLayout();
        QCOMPARE(lines.filter(path).size(), folders == 1 ? 1 : 0);
        QApplication::clipboard()->setText(label->text());
        QCOMPARE(QApplication::clipboard()->text(), lines.join(""));
      });
      dialogs.ShowMessage(&window, {parcelo::MessageKind::Information, parcelo::messages::kJoinDoneTitle,
                                    parcelo::messages::JoinDone(path.toStdString()), path.toStdString()});
    }
  }

  // The title bar needs room for the bold title, the icon and three buttons.
  // A question's buttons are "Да" and "Нет", in Russian though no catalogue
  // is loaded; "Нет" is the default, and "Да" alone answers yes.
  void boxesShowTheirWholeTitleAndAskInRussian() {
    const parcelo::Message message{parcelo::MessageKind::Critical, parcelo::messages::kFolderErrorTitle, "Не удалось."};
    for (const int answer : {-1, 0, 1}) {  // a message; a question answered by Return, then by "Да"
      whenOpen<QMessageBox>(false, [=](QMessageBox* box) {
        QFont bold = QApplication::font();
        bold.setBold(true);
        QVERIFY(box->width() >= QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 4 * 24);
        if (answer < 0) return;
        QCOMPARE(box->button(QMessageBox::Yes)->text() + box->button(QMessageBox::No)->text(), "ДаНет");
        answer ? box->button(QMessageBox::Yes)->click() : QTest::keyClick(box, Qt::Key_Return);
      });
      if (answer < 0) dialogs.ShowMessage(&window, message);
      if (answer >= 0) QCOMPARE(dialogs.Ask(&window, message), answer == 1);
    }
  }
};

QTEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
