// Sizes as a Russian reader expects them: counted words in their right form,
// Russian separators, and units of 1024.

#include <QtTest>

#include "ui/russian_numbers.h"

class RussianNumbersTest : public QObject {
  Q_OBJECT

 private slots:
  void sizesReadInRussian_data() {
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("text");
    for (const auto& [bytes, text] : {std::pair{0, "0 байт"},
                                      {1, "1 байт"},
                                      {4, "4 байта"},
                                      {5, "5 байт"},
                                      {12, "12 байт"},
                                      {21, "21 байт"},
                                      {22, "22 байта"},
                                      {111, "111 байт"},
                                      {1002, "1\u00A0002 байта"},
                                      {1024, "1,0 КБ"},
                                      {2000000, "1,9 МБ"},
                                      {1048575, "1,0 МБ"}}) {
      QTest::newRow(text) << quint64(bytes) << QString(text);
    }
  }
  void sizesReadInRussian() {
    QFETCH(quint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(parcelo::ui::DataSizeText(bytes), text);
  }
};

QTEST_APPLESS_MAIN(RussianNumbersTest)
#include "russian_numbers_test.moc"
