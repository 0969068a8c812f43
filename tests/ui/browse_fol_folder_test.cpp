// The folder chooser: title, preselection, and what it returns.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QtTest>

#include "support/temp_folder.h"
#include "ui/browse_fol_folder.h"

using parcelo::ui::ChooseFolder;
using parcelo::ui::StartingFolderToPreselect;

class BrowseFolFolderTest : public QObject {
  Q_OBJECT

  // Answers the chooser once it is open: records its title and folder, then
  // accepts or cancels it.
  void answerChooser(bool accept) {
    QTimer::singleShot(0, this, [this, accept] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) {
        answerChooser(accept);  // not open yet
        return;
      }
      title_ = dialog->windowTitle();
      folder_ = dialog->directory().absolutePath();
      modality_ = dialog->windowModality();
      QDialog* asDialog = dialog;
      accept ? asDialog->accept() : asDialog->reject();
    });
  }

  QString title_, folder_;
  Qt::WindowModality modality_ = Qt::NonModal;

 private slots:
  void preselectsOnlyExistingFolders_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("preselected");
    parcelo::testing::TempFolder folder;
    const QString existing = QString::fromStdString(folder.path());
    QTest::newRow("trailing separator dropped") << existing + "/" << existing;
    QTest::newRow("plain") << existing << existing;
    QTest::newRow("root keeps its separator") << QStringLiteral("/") << QStringLiteral("/");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("missing") << existing + "/missing" << QString();
    QTest::newRow("window handle as text") << QStringLiteral("94371842") << QString();
  }
  void preselectsOnlyExistingFolders() {
    QFETCH(QString, start);
    QFETCH(QString, preselected);
    if (QTest::currentDataTag() == QByteArray("trailing separator dropped") ||
        QTest::currentDataTag() == QByteArray("plain")) {
      QDir().mkpath(start);  // the temporary folder of the data row is gone
    }
    QCOMPARE(StartingFolderToPreselect(start), preselected);
  }

  void acceptingReturnsThePreselectedFolder() {
    parcelo::testing::TempFolder folder;
    answerChooser(true);
    const QString chosen =
        ChooseFolder(QString::fromStdString(folder.path()) + "/", QStringLiteral("Выберите директорию"));
    QCOMPARE(chosen, QString::fromStdString(folder.path()));
    QCOMPARE(title_, QStringLiteral("Выберите директорию"));
    QCOMPARE(modality_, Qt::ApplicationModal);
  }

  void cancelReturnsNothingAndAnEmptyPromptGetsTheDefaultTitle() {
    answerChooser(false);
    QCOMPARE(ChooseFolder(QString(), QString()), QString());
    QCOMPARE(title_, QStringLiteral("Please, Select a folder."));
    QCOMPARE(folder_, QDir::homePath());
  }

  void rootComesBackWithItsSeparator() {
    answerChooser(true);
    QCOMPARE(ChooseFolder(QStringLiteral("/"), QStringLiteral("x")), QStringLiteral("/"));
  }
};

QTEST_MAIN(BrowseFolFolderTest)
#include "browse_fol_folder_test.moc"
