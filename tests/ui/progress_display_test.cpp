// The window's words for sizes and the progress display's label; when the
// display shows, and that it stops the work.

#include <QtTest>
#include <QtWidgets>

#include "operation/messages.h"
#include "ui/progress_display.h"
#include "ui/russian_numbers.h"

using parcelo::ui::ProgressDisplay;

constexpr quint64 MiB = 1024 * 1024;

class ProgressDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  // Counted words in their right form, Russian separators, and units of 1024.
  void sizesReadInRussian_data() {
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("text");
    for (const QString text : {"5 байт", "12 байт", "21 байт", "22 байта", "112 байт", "1\u00A0002 байта"}) {
      QTest::newRow(qPrintable(text)) << QString(text).remove(QRegularExpression("\\D")).toULongLong() << text;
    }
    QTest::newRow("1 КБ") << quint64(1024) << "1,0 КБ";
    QTest::newRow("1 МБ once rounded") << quint64(1048575) << "1,0 МБ";
  }
  void sizesReadInRussian() {
    QFETCH(quint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(parcelo::ui::DataSizeText(bytes), text);
  }

  void labelTellsPartBytesSpeedAndTimeLeft_data() {
    QTest::addColumn<quint64>("done");
    QTest::addColumn<quint64>("total");
    QTest::addColumn<int>("parts");  // the part is one less
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<QString>("label");
    QTest::newRow("too early for a speed") << 10 * MiB << 512 * MiB << 0 << 900 << "10,0 из 512,0 МБ";
    QTest::newRow("seconds, rounded up") << 120 * MiB << 512 * MiB << 22 << 12000
                                         << "Часть 21 из 22\n120,0 из 512,0 МБ\n10,0 МБ/с, осталось 0:40";
    QTest::newRow("minutes") << 100 * MiB << 1124 * MiB << 0 << 10000
                             << "100,0 из 1\u00A0124,0 МБ\n10,0 МБ/с, осталось около 2 мин";
    QTest::newRow("hours") << MiB << 7501 * MiB << 0 << 1000
                           << "1,0 из 7\u00A0501,0 МБ\n1,0 МБ/с, осталось около 2 ч 5 мин";
    QTest::newRow("all done") << 512 * MiB << 512 * MiB << 0 << 6000 << "512,0 из 512,0 МБ\n85,3 МБ/с";
  }
  void labelTellsPartBytesSpeedAndTimeLeft() {
    QFETCH(quint64, done);
    QFETCH(quint64, total);
    QFETCH(int, parts);
    QFETCH(int, elapsedMs);
    QFETCH(QString, label);
    QCOMPARE(parcelo::ui::ProgressLabel(done, total, parts - 1, parts, elapsedMs), label);
  }

  // The display shows after half a second, with room for its whole title;
  // "Отмена" stops the work at its next step (Esc and the close button too:
  // frm_main_test).
  void showsAfterHalfASecondAndStopsTheWorkOnCancel() {
    QWidget window;
    window.show();
    ProgressDisplay display(&window, parcelo::messages::window::kSplitProgressTitle);
    const parcelo::Progress progress = display.callback();
    progress({1, 100, 1, 1});
    QVERIFY(!window.findChild<QProgressDialog*>());
    QTest::qWait(ProgressDisplay::kShowAfterMs + 50);
    progress({50 * MiB, 100 * MiB, 3, 5});
    auto* dialog = window.findChild<QProgressDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(dialog->labelText().startsWith("Часть 3 из 5\n50,0 из 100,0 МБ"));
    QCOMPARE(dialog->value(), 500);
    QFont bold = QApplication::font();  // the title bar needs room for the bold title, the icon and three buttons
    bold.setBold(true);
    QVERIFY(dialog->width() >= QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + 4 * 24);
    auto* cancel = dialog->findChild<QPushButton*>();
    QCOMPARE(cancel->text(), parcelo::messages::window::kCancelButton);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY_THROWS_EXCEPTION(parcelo::OperationCancelled, progress({2, 100, 1, 2}));
  }
};

QTEST_MAIN(ProgressDisplayTest)
#include "progress_display_test.moc"
