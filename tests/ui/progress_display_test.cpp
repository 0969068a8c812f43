// The progress display: what it tells, and when and how it shows.

#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

#include "operation/messages.h"
#include "ui/progress_display.h"

namespace text = parcelo::messages::window;
using parcelo::ui::ProgressDisplay;

constexpr quint64 MiB = 1024 * 1024;

class ProgressDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void labelTellsPartBytesSpeedAndTimeLeft_data() {
    QTest::addColumn<quint64>("done");
    QTest::addColumn<quint64>("total");
    QTest::addColumn<int>("parts");  // the part is one less
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("label");
    QTest::newRow("too early for a speed") << 10 * MiB << 512 * MiB << 0 << qint64(900) << "10,0 из 512,0 МБ";
    QTest::newRow("seconds left, rounded up") << 120 * MiB << 512 * MiB << 22 << qint64(12000)
                                              << "Часть 21 из 22\n120,0 из 512,0 МБ\n10,0 МБ/с, осталось 0:40";
    QTest::newRow("minutes left, rounded")
        << 100 * MiB << 1124 * MiB << 0 << qint64(10000) << "100,0 из 1\u00A0124,0 МБ\n10,0 МБ/с, осталось около 2 мин";
    QTest::newRow("hours and minutes") << 1 * MiB << 7501 * MiB << 0 << qint64(1000)
                                       << "1,0 из 7\u00A0501,0 МБ\n1,0 МБ/с, осталось около 2 ч 5 мин";
    QTest::newRow("all done: no time left")
        << 512 * MiB << 512 * MiB << 0 << qint64(6000) << "512,0 из 512,0 МБ\n85,3 МБ/с";
  }
  void labelTellsPartBytesSpeedAndTimeLeft() {
    QFETCH(quint64, done);
    QFETCH(quint64, total);
    QFETCH(int, parts);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, label);
    QCOMPARE(parcelo::ui::ProgressLabel(done, total, parts - 1, parts, elapsedMs), label);
  }

  void showsAfterHalfASecondWithItsWholeTitleAndStays() {
    QWidget window;
    window.show();
    ProgressDisplay display(&window, text::kSplitProgressTitle);
    display.callback()({1, 100, 1, 1});
    QVERIFY(!window.findChild<QProgressDialog*>());
    QTest::qWait(ProgressDisplay::kShowAfterMs + 50);
    display.Update(50 * MiB, 100 * MiB, 3, 5);
    auto* dialog = window.findChild<QProgressDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(dialog->labelText().startsWith("Часть 3 из 5\n50,0 из 100,0 МБ"));
    QCOMPARE(dialog->value(), 500);
    // The title bar needs room for the bold title, the icon and three buttons.
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int width = dialog->width();
    QVERIFY(width >= QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + 4 * 24);
    QTest::qWait(1000);
    display.callback()({2000 * MiB, 9000 * MiB, 7, 22});
    QVERIFY(dialog->labelText().startsWith("Часть 7 из 22\n2\u00A0000,0 из 9\u00A0000,0 МБ\n"));
    QCOMPARE(dialog->width(), width);  // a speed and a time left fit in the same width
  }

  void cancelStopsTheWorkAtItsNextStep_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Отмена") << "button";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close button") << "close";
  }
  void cancelStopsTheWorkAtItsNextStep() {
    QFETCH(QString, how);
    QWidget window;
    window.show();
    ProgressDisplay display(&window, text::kJoinProgressTitle);
    QTest::qWait(ProgressDisplay::kShowAfterMs + 50);
    const parcelo::Progress progress = display.callback();
    progress({1, 100, 1, 2});
    auto* dialog = window.findChild<QProgressDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    if (how == "button") {
      auto* button = dialog->findChild<QPushButton*>();
      QCOMPARE(button->text(), text::kCancelButton);
      QTest::mouseClick(button, Qt::LeftButton);
    } else if (how == "escape") {
      QTest::keyClick(dialog, Qt::Key_Escape);
    } else {
      dialog->close();
    }
    bool stopped = false;
    try {
      progress({2, 100, 1, 2});
    } catch (const parcelo::OperationCancelled&) {
      stopped = true;
    }
    QVERIFY(stopped);
    QVERIFY(dialog->isVisible());  // until the work has cleaned up and ends
  }
};

QTEST_MAIN(ProgressDisplayTest)
#include "progress_display_test.moc"
