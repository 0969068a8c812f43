// The window's words for sizes and the progress display's label; when the
// display shows, and that it asks the work to stop.

#include <QtTest>
#include <QtWidgets>

#include "ui/progress_display.h"
#include "ui/russian_numbers.h"
#include "ui/window_texts.h"

using namespace parcelo::ui;

constexpr quint64 MiB = 1024 * 1024;

class ProgressDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  // Counted words in their right form, Russian separators, units of 1024,
  // and the label: part, bytes, speed and time left; then the display.
  void sizesAndLabelReadInRussianAndTheDisplayShowsLateAndCancels() {
    QStringList sizes;
    for (const quint64 bytes : {5u, 12u, 21u, 22u, 112u, 1002u, 1024u, 1048575u}) sizes << DataSizeText(bytes);
    QCOMPARE(sizes.join(", "), "5 байт, 12 байт, 21 байт, 22 байта, 112 байт, 1\u00A0002 байта, 1,0 КБ, 1,0 МБ");
    const std::tuple<quint64, quint64, int, int, QString> rows[] = {
        // the part is one less than `parts`
        {10 * MiB, 512 * MiB, 0, 900, "10,0 из 512,0 МБ"},  // too early for a speed
        {120 * MiB, 512 * MiB, 22, 12000, "Часть 21 из 22\n120,0 из 512,0 МБ\n10,0 МБ/с, осталось 0:40"},
        {100 * MiB, 1124 * MiB, 0, 10000, "100,0 из 1\u00A0124,0 МБ\n10,0 МБ/с, осталось около 2 мин"},
        {MiB, 7501 * MiB, 0, 1000, "1,0 из 7\u00A0501,0 МБ\n1,0 МБ/с, осталось около 2 ч 5 мин"},
        {512 * MiB, 512 * MiB, 0, 6000, "512,0 из 512,0 МБ\n85,3 МБ/с"}};
    for (const auto& [done, total, parts, elapsedMs, label] : rows) {
      QCOMPARE(ProgressLabel(done, total, parts - 1, parts, elapsedMs), label);
    }
    // The display shows after half a second, with no report yet (the work may
    // be stuck in a slow write), and with room for its whole title; "Отмена"
    // asks the work to stop (Esc and the close button too: frm_main_test).
    QWidget window;
    bool cancelled = false;
    ProgressDisplay display(&window, parcelo::ui::text::kSplitProgressTitle, [&] { cancelled = true; });
    QTest::qWait(ProgressDisplay::kShowAfterMs - 100);
    QVERIFY(!window.findChild<QProgressDialog*>());
    QTRY_VERIFY(window.findChild<QProgressDialog*>());
    auto* dialog = window.findChild<QProgressDialog*>();
    QVERIFY(dialog->isVisible() && dialog->labelText().isEmpty());
    display.Update({50 * MiB, 100 * MiB, 3, 5});
    QVERIFY(dialog->labelText().startsWith("Часть 3 из 5\n50,0 из 100,0 МБ"));
    QCOMPARE(dialog->value(), 500);
    QFont bold = QApplication::font();  // the title bar needs room for the bold title, the icon and three buttons
    bold.setBold(true);
    QVERIFY(dialog->width() >= QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + 4 * 24);
    auto* cancel = dialog->findChild<QPushButton*>();
    QCOMPARE(cancel->text(), parcelo::ui::text::kCancelButton);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(cancelled && dialog->isVisible());  // it stays until the work has cleaned up
  }
};

QTEST_MAIN(ProgressDisplayTest)
#include "progress_display_test.moc"
