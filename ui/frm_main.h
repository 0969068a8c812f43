#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "operation/progress.h"
#include "operation/report.h"
#include "ui/work_thread.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace parcelo::ui {

class Dialogs;
class ProgressDisplay;
class FileListBox;

// The program's only window. The upper panel (Frame1) holds the source
// path and the buttons that split and join; the lower panel (Frame2), shown
// by growing the window, holds the split's settings. Handlers read the
// controls and start the split or the join on a thread of its own; its end
// shows the one box it reports.
class FrmMain : public QWidget {
  Q_OBJECT

 public:
  // Outer window heights of the two states, caption bar and borders included.
  static constexpr int kNormalHeightTwips = 2520;
  static constexpr int kSettingsHeightTwips = 4680;
  static constexpr int kClientWidthTwips = 7770;
  // Caption bar and borders, where no window manager tells their height.
  static constexpr int kAssumedFrameTwips = 450;

  explicit FrmMain(Dialogs& dialogs, QWidget* parent = nullptr);
  // Cancels running work and waits for it to clean up.
  ~FrmMain() override;

  // Puts a path into the path box, as the open-file dialog does.
  void SetSourcePath(const QString& path);

  // Readies the window to join the set in a folder without starting it:
  // "Слить файл" takes the focus, and its folder chooser starts in that
  // folder while the path box is empty.
  void PrepareJoin(const QString& folder);

  // Converts twips to device-independent pixels (15 twips a pixel).
  static int Px(int twips);

  // Whether a split or join runs; the window's controls are disabled meanwhile.
  bool IsWorking() const { return work_.IsRunning(); }

 public slots:
  void Form_Load();
  void cmdOptions_Click();
  void cmdOk_Click();
  void optSameDir_Click();
  void optSubDir_Click();
  void cmddir_Click();
  void cmdGo_Click();
  void cmdSobrat_Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Takes file drags over the text boxes, as the window does.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildUpperPanel();
  void BuildLowerPanel();
  void ConnectHandlers();
  void SetTabOrder();
  void SetOuterHeight(int twips);
  void SetWorkControlsEnabled(bool enabled);
  void SetLowerPanelShown(bool shown);
  void RunOperation(const QString& progressTitle, WorkThread::Work work);
  void ShowWorkEnd(const Report& report);
  Report JoinOnWorkThread(const std::string& folder, const Progress& progress);
  bool AskWorkQuestion(const Message& question);
  QString StartingFolderForJoin() const;
  // The absolute folder of the path in the path box; empty while it is empty.
  QString SourceFolder() const;
  bool TakeFileDrag(QEvent* event);
  bool TakeTextDrop(QObject* watched, QEvent* event);

  Dialogs& dialogs_;
  QString joinFolder_;
  QString lastPicked_;  // in the open-file dialog
  int heightTwips_ = kNormalHeightTwips;
  std::unique_ptr<ProgressDisplay> progress_;  // while work runs
  bool closeAfterWork_ = false;
  bool asking_ = false;  // a question of the work's is open
  WorkThread work_;

  QGroupBox* Frame1;
  QLineEdit* txtPut;
  QPushButton* cmddir;
  QPushButton* cmdGo;
  QPushButton* cmdSobrat;
  FileListBox* File1;
  QPushButton* cmdOptions;
  QGroupBox* Frame2;
  QLabel* Label1;
  QRadioButton* optSameDir;
  QRadioButton* optSubDir;
  QLineEdit* txtPapka;
  QLabel* Label2;
  QLineEdit* txtKusok;
  QLabel* Label3;
  QPushButton* cmdOk;
};

}  // namespace parcelo::ui
