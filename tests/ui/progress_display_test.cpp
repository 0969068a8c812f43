// The progress display: quiet for short work, shown for long work.

#include <QProgressDialog>
#include <QtTest>

#include "ui/progress_display.h"

using parcelo::ui::ProgressDisplay;

class ProgressDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void staysHiddenForShortWork() {
    QWidget window;
    ProgressDisplay display(&window, QStringLiteral("Слияние файла"));
    display.callback()(50, 100);
    QVERIFY(!display.wasShown());
    QVERIFY(!window.findChild<QProgressDialog*>());
  }

  void showsBytesDoneAfterHalfASecond() {
    QWidget window;
    {
      ProgressDisplay display(&window, QStringLiteral("Дробление файла"));
      QTest::qWait(ProgressDisplay::kShowAfterMs + 50);
      display.callback()(50u << 20, 100u << 20);
      QVERIFY(display.wasShown());
      auto* dialog = window.findChild<QProgressDialog*>();
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Дробление файла"));
      QCOMPARE(dialog->value(), 500);
      QCOMPARE(dialog->labelText(), QStringLiteral("50,0 из 100,0 МБ"));
    }
    QVERIFY(!window.findChild<QProgressDialog*>());
  }
};

QTEST_MAIN(ProgressDisplayTest)
#include "progress_display_test.moc"
