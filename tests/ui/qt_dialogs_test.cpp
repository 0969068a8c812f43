// The real boxes and dialogs, answered by a timer once they are open.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "ui/dialogs.h"

namespace {

// What a title bar needs beside the caption: the icon and three buttons.
constexpr int kCaptionButtons = 4 * 24;

int BoldWidth(const QString& text) {
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace

class QtDialogsTest : public QObject {
  Q_OBJECT

  // Calls `look` with the dialog once one is open, then closes it.
  template <typename Dialog, typename Look>
  void whenOpen(Look look) {
    QTimer::singleShot(10, this, [this, look] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) return whenOpen<Dialog>(look);
      look(dialog);
      dialog->done(QDialog::Rejected);
    });
  }

 private slots:
  void messageBoxShowsItsWholeTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("long title, short text")
        << "Ошибка инициализации директории" << "Не удалось создать директорию.";
    QTest::newRow("short title") << "Ошибка" << "Не указан файл для дробления!";
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
