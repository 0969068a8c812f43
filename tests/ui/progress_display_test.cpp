// The progress display: what it tells, and when and how it shows.

#include <QProgressDialog>
#include <QtTest>

#include "ui/progress_display.h"

using parcelo::ui::ProgressDisplay;
using parcelo::ui::ProgressLabel;

namespace {

constexpr quint64 MiB = 1024 * 1024;
// What a title bar needs beside the caption: the icon and three buttons.
constexpr int kCaptionButtons = 4 * 24;

int BoldWidth(const QString& text) {
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace

class ProgressDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void labelTellsPartBytesSpeedAndTimeLeft_data() {
    QTest::addColumn<quint64>("done");
    QTest::addColumn<quint64>("total");
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("parts");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("label");
    const QString nbsp(QChar(0x00A0));
    QTest::newRow("nothing done yet")
        << 0 * MiB << 512 * MiB << 0 << 0 << qint64(600) << "0,0 из 512,0 МБ";
    QTest::newRow("too early for a speed")
        << 10 * MiB << 512 * MiB << 1 << 22 << qint64(900) << "Часть 1 из 22\n10,0 из 512,0 МБ";
    QTest::newRow("seconds left, rounded up")
        << 120 * MiB << 512 * MiB << 7 << 22 << qint64(12000)
        << "Часть 7 из 22\n120,0 из 512,0 МБ\n10,0 МБ/с, осталось 0:40";
    QTest::newRow("minutes left, rounded")
        << 100 * MiB << 1124 * MiB << 0 << 0 << qint64(10000)
        << "100,0 из 1" + nbsp + "124,0 МБ\n10,0 МБ/с, осталось около 2 мин";
    QTest::newRow("a minute") << 1 * MiB << 61 * MiB << 0 << 0 << qint64(1000)
                              << "1,0 из 61,0 МБ\n1,0 МБ/с, осталось около 1 мин";
    QTest::newRow("hours and minutes")
        << 1 * MiB << 7501 * MiB << 0 << 0 << qint64(1000)
        << "1,0 из 7" + nbsp + "501,0 МБ\n1,0 МБ/с, осталось около 2 ч 5 мин";
    QTest::newRow("whole hours") << 1 * MiB << 7201 * MiB << 0 << 0 << qint64(1000)
                                 << "1,0 из 7" + nbsp + "201,0 МБ\n1,0 МБ/с, осталось около 2 ч";
    QTest::newRow("all done: no time left") << 512 * MiB << 512 * MiB << 22 << 22 << qint64(6000)
                                            << "Часть 22 из 22\n512,0 из 512,0 МБ\n85,3 МБ/с";
  }
  void labelTellsPartBytesSpeedAndTimeLeft() {
    QFETCH(quint64, done);
    QFETCH(quint64, total);
    QFETCH(int, part);
    QFETCH(int, parts);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, label);
    QCOMPARE(ProgressLabel(done, total, part, parts, elapsedMs), label);
  }

  void showsOnlyForWorkLongerThanHalfASecondAndCantBeDismissed() {
    QWidget window;
    window.show();
    ProgressDisplay display(&window, "Дробление файла");
    display.callback()(1, 100);
    QVERIFY(!window.findChild<QProgressDialog*>());
    QTest::qWait(ProgressDisplay::kShowAfterMs + 50);
    display.Update(50 * MiB, 100 * MiB, 3, 5);
    auto* dialog = window.findChild<QProgressDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), "Дробление файла");
    // (a speed line follows once a second has passed)
    QVERIFY(dialog->labelText().startsWith("Часть 3 из 5\n50,0 из 100,0 МБ"));
    QCOMPARE(dialog->value(), 500);
    display.callback()(60 * MiB, 100 * MiB);  // what the operations report today
    QVERIFY(dialog->labelText().startsWith("60,0 из 100,0 МБ"));
    QTest::keyClick(dialog, Qt::Key_Escape);  // the work can't be stopped, nor its display hidden
    QVERIFY(dialog->isVisible());
  }

  void isWideEnoughForItsTitleAndKeepsItsWidth_data() {
    QTest::addColumn<QString>("title");
    QTest::newRow("split") << "Дробление файла";
    QTest::newRow("join") << "Слияние файла";
  }
  void isWideEnoughForItsTitleAndKeepsItsWidth() {
    QFETCH(QString, title);
    QWidget window;
    window.show();
    ProgressDisplay display(&window, title);
    QTest::qWait(ProgressDisplay::kShowAfterMs + 50);
    display.Update(5 * MiB, 100 * MiB, 1, 3);
    auto* dialog = window.findChild<QProgressDialog*>();
    QVERIFY(dialog);
    const int width = dialog->width();
    QVERIFY2(width >= BoldWidth(title) + kCaptionButtons, qPrintable(QString::number(width)));
    QTest::qWait(1000 - ProgressDisplay::kShowAfterMs);
    for (quint64 done : {1000 * MiB, 4500 * MiB}) {  // a speed and a time left join the label
      display.Update(done, 9000 * MiB, 2, 3);
      QCOMPARE(dialog->width(), width);
    }
  }
};

QTEST_MAIN(ProgressDisplayTest)
#include "progress_display_test.moc"
