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
    const QString nbsp(QChar(0x00A0));
    QTest::newRow("zero") << quint64(0) << "0 байт";
    QTest::newRow("one") << quint64(1) << "1 байт";
    QTest::newRow("two") << quint64(2) << "2 байта";
    QTest::newRow("four") << quint64(4) << "4 байта";
    QTest::newRow("five") << quint64(5) << "5 байт";
    QTest::newRow("eleven") << quint64(11) << "11 байт";
    QTest::newRow("twelve") << quint64(12) << "12 байт";
    QTest::newRow("twenty-one") << quint64(21) << "21 байт";
    QTest::newRow("twenty-two") << quint64(22) << "22 байта";
    QTest::newRow("one hundred eleven") << quint64(111) << "111 байт";
    QTest::newRow("thousands grouped") << quint64(1002) << "1" + nbsp + "002 байта";
    QTest::newRow("largest in bytes") << quint64(1023) << "1" + nbsp + "023 байта";
    QTest::newRow("one kibibyte") << quint64(1024) << "1,0 КБ";
    QTest::newRow("decimal comma") << quint64(1536) << "1,5 КБ";
    QTest::newRow("megabytes") << quint64(2000000) << "1,9 МБ";
    QTest::newRow("rounding up to the next unit") << quint64(1048575) << "1,0 МБ";
    QTest::newRow("gigabytes") << quint64(5) * 1024 * 1024 * 1024 << "5,0 ГБ";
  }
  void sizesReadInRussian() {
    QFETCH(quint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(parcelo::ui::DataSizeText(bytes), text);
  }
};

QTEST_APPLESS_MAIN(RussianNumbersTest)
#include "russian_numbers_test.moc"
