#include "ui/frm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <string>
#include <utility>

#include "io/path_kind.h"
#include "io/stop_signals.h"
#include "join/join.h"
#include "operation/messages.h"
#include "split/split.h"
#include "ui/app_icon.h"
#include "ui/core_path.h"
#include "ui/dialogs.h"
#include "ui/file_list_box.h"
#include "ui/path_box.h"
#include "ui/progress_display.h"
#include "ui/window_texts.h"

namespace parcelo::ui {

namespace {

const QColor kDarkBlue(0, 0, 128);
const QColor kDarkRed(192, 0, 0);

// A font from the window's design, falling back to a sans serif face that
// has Cyrillic letters where the designed one is missing.
QFont DesignFont(const QString& family, qreal points, bool bold = false) {
  QFont font;
  font.setFamilies({family, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arial")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFont Verdana(qreal points, bool bold = false) {
  return DesignFont(QStringLiteral("Verdana"), points, bold);
}

void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  widget->setPalette(palette);
}

// Places a control by its design position and size in twips.
template <typename Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(FrmMain::Px(left), FrmMain::Px(top), FrmMain::Px(width), FrmMain::Px(height));
  return widget;
}

// A button that Enter presses while it has the focus, as Space does.
class EnterPressButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
      click();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

QPushButton* Button(QWidget* parent, const char* caption, const QFont& font) {
  auto* button = new EnterPressButton(QString::fromUtf8(caption), parent);
  button->setFont(font);
  // No button is the default: Enter in a text box, and Esc, start nothing.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QLabel* Label(QWidget* parent, const char* caption, const QFont& font, const QColor& color) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setFont(font);
  SetTextColor(label, color);
  return label;
}

QGroupBox* Frame(QWidget* parent, const char* caption) {
  auto* frame = new QGroupBox(QString::fromUtf8(caption), parent);
  frame->setFont(Verdana(9, true));
  SetTextColor(frame, kDarkBlue);
  return frame;
}

// Draws option circles no taller than their buttons. The design's option
// buttons are 195 twips (13 pixels) tall, and a style's circle may be taller
// and drawn a pixel below the middle: its bottom was cut, at any scale and
// most visibly at 2.
class FittingCircleStyle : public QProxyStyle {
 public:
  explicit FittingCircleStyle(int buttonHeight)
      : QProxyStyle(QStyleFactory::create(QApplication::style()->name())),
        limit_(buttonHeight - 1) {}

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    const int value = QProxyStyle::pixelMetric(metric, option, widget);
    if (metric == PM_ExclusiveIndicatorWidth || metric == PM_ExclusiveIndicatorHeight) {
      return std::min(value, limit_);
    }
    return value;
  }

 private:
  int limit_;
};

}  // namespace

int FrmMain::Px(int twips) { return qRound(twips / 15.0); }

FrmMain::FrmMain(Dialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("FrmMain"));
  setWindowTitle(QString::fromUtf8(text::kWindowCaption));
  setWindowIcon(AppIcon());
  // The window's size is fixed by its state, so its title bar offers no
  // maximise button.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setAcceptDrops(true);
  BuildUpperPanel();
  BuildLowerPanel();
  ConnectHandlers();
  SetTabOrder();
  Form_Load();
}

FrmMain::~FrmMain() = default;

void FrmMain::BuildUpperPanel() {
  Frame1 = Place(Frame(this, text::kSourcePanelCaption), "Frame1", 120, 120, 7515, 1875);
  txtPut = Place(new QLineEdit(Frame1), "txtPut", 180, 420, 6435, 375);
  txtPut->setFont(Verdana(9.75));
  cmddir = Place(
      Button(Frame1, text::kChooseFileCaption, DesignFont(QStringLiteral("MS Sans Serif"), 13.5)),
      "cmddir", 6840, 420, 435, 375);
  cmdGo = Place(Button(Frame1, text::kSplitCaption, Verdana(8.25)), "cmdGo", 180, 1320, 1755, 375);
  cmdSobrat =
      Place(Button(Frame1, text::kJoinCaption, Verdana(8.25)), "cmdSobrat", 2100, 1320, 1755, 375);
  File1 = Place(new FileListBox(Frame1), "File1", 4020, 1080, 1395, 675);
  File1->setFont(QApplication::font());
  // It only lists folders for the join; there is nothing in it to look at.
  File1->hide();
  cmdOptions = Place(Button(Frame1, text::kSettingsCaption, Verdana(8.25)), "cmdOptions", 5520,
                     1260, 1755, 375);
}

void FrmMain::BuildLowerPanel() {
  Frame2 = Place(Frame(this, text::kSettingsPanelCaption), "Frame2", 120, 2280, 7515, 1875);
  Label1 = Place(Label(Frame2, text::kPlacementCaption, Verdana(8.25, true), Qt::black), "Label1",
                 180, 420, 2970, 195);
  optSameDir = Place(new QRadioButton(QString::fromUtf8(text::kSameFolderCaption), Frame2),
                     "optSameDir", 180, 780, 2775, 195);
  optSubDir = Place(new QRadioButton(QString::fromUtf8(text::kNewFolderCaption), Frame2),
                    "optSubDir", 180, 1020, 2775, 195);
  auto* circles = new FittingCircleStyle(optSameDir->height());
  circles->setParent(Frame2);
  for (QRadioButton* option : {optSameDir, optSubDir}) {
    option->setFont(Verdana(8.25));
    SetTextColor(option, Qt::black);
    option->setStyle(circles);
  }
  txtPapka =
      Place(new QLineEdit(QStringLiteral("NewFolder"), Frame2), "txtPapka", 480, 1320, 1635, 315);
  txtPapka->setFont(Verdana(9.75));
  // The name counts only once "в новой директории" is picked.
  txtPapka->setEnabled(false);
  Label2 = Place(Label(Frame2, text::kPieceSizeCaption, Verdana(8.25), Qt::black), "Label2", 4980,
                 420, 1875, 195);
  txtKusok =
      Place(new QLineEdit(QStringLiteral("1000000"), Frame2), "txtKusok", 4980, 720, 1815, 375);
  txtKusok->setFont(Verdana(9.75));
  Label3 = Place(Label(Frame2, text::kPieceSizeUnitCaption, Verdana(8.25), kDarkRed), "Label3",
                 6900, 780, 390, 195);
  cmdOk = Place(Button(Frame2, text::kApplyCaption, Verdana(8.25)), "cmdOk", 5520, 1260, 1755, 375);
}

void FrmMain::ConnectHandlers() {
  for (QLineEdit* box : {txtPut, txtPapka, txtKusok}) box->installEventFilter(this);
  connect(cmdOptions, &QPushButton::clicked, this, &FrmMain::cmdOptions_Click);
  connect(cmdOk, &QPushButton::clicked, this, &FrmMain::cmdOk_Click);
  connect(optSameDir, &QRadioButton::clicked, this, &FrmMain::optSameDir_Click);
  connect(optSubDir, &QRadioButton::clicked, this, &FrmMain::optSubDir_Click);
  connect(cmddir, &QPushButton::clicked, this, &FrmMain::cmddir_Click);
  connect(cmdGo, &QPushButton::clicked, this, &FrmMain::cmdGo_Click);
  connect(cmdSobrat, &QPushButton::clicked, this, &FrmMain::cmdSobrat_Click);
  connect(&work_, &WorkThread::progressed, this, [this](const ProgressReport& report) {
    if (progress_) progress_->Update(report);
  });
  connect(&work_, &WorkThread::finished, this, &FrmMain::ShowWorkEnd);
}

void FrmMain::SetTabOrder() {
  const QList<QWidget*> order = {optSameDir, optSubDir, txtPapka, cmdGo, cmdSobrat, cmddir,
                                 cmdOptions, txtPut,    txtKusok, cmdOk, File1};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
  txtPut->setFocus();
}

void FrmMain::SetSourcePath(const QString& path) { txtPut->setText(path); }

void FrmMain::PrepareJoin(const QString& folder) {
  joinFolder_ = folder;
  cmdSobrat->setFocus();
}

void FrmMain::SetOuterHeight(int twips) {
  heightTwips_ = twips;
  // The frame is known once a window manager has framed the window; until
  // then, or where nothing frames it, count a classic caption bar and
  // borders, so the lower panel stays out of sight in the Normal state.
  int frame = isVisible() ? frameGeometry().height() - geometry().height() : 0;
  if (frame <= 0) frame = Px(kAssumedFrameTwips);
  setFixedSize(Px(kClientWidthTwips), Px(twips) - frame);
}

void FrmMain::SetWorkControlsEnabled(bool enabled) {
  QWidget* const inOrder[] = {cmdOptions, cmdGo, cmdSobrat, cmddir, txtPut};
  for (QWidget* control : inOrder) control->setEnabled(enabled);
}

// The lower panel is hidden in the Normal state, not only out of sight: a
// frame thinner than the design's (a scale factor makes the desktop's frame
// thinner in device-independent pixels) would bring its top into sight at
// the designed height, and hidden, its controls take no keyboard: Tab would
// stop on them, and typing there would change the piece size unseen.
void FrmMain::SetLowerPanelShown(bool shown) { Frame2->setVisible(shown); }

void FrmMain::Form_Load() {
  SetOuterHeight(kNormalHeightTwips);
  SetLowerPanelShown(false);
}

void FrmMain::cmdOptions_Click() {
  SetOuterHeight(kSettingsHeightTwips);
  // Shown first, so the focus leaving the disabled controls lands there.
  SetLowerPanelShown(true);
  SetWorkControlsEnabled(false);
}

void FrmMain::cmdOk_Click() {
  SetOuterHeight(kNormalHeightTwips);
  SetWorkControlsEnabled(true);
  SetLowerPanelShown(false);
  cmdOptions->setFocus();
}

void FrmMain::optSameDir_Click() { txtPapka->setEnabled(false); }

void FrmMain::optSubDir_Click() { txtPapka->setEnabled(true); }

// The dialog keeps the last name picked in it, and a cancel puts that
// name back in the box, as the window's designed dialog control does.
void FrmMain::cmddir_Click() {
  const QString picked = dialogs_.ShowOpen(this, SourceFolder());
  if (!picked.isEmpty()) lastPicked_ = picked;
  txtPut->setText(lastPicked_);
}

void FrmMain::cmdGo_Click() {
  const SplitRequest request{CorePath(PathInBox(txtPut->text())), txtKusok->text().toStdString(),
                             optSubDir->isChecked(), CorePath(txtPapka->text())};
  RunOperation(QString::fromUtf8(text::kSplitProgressTitle),
               [request](const Progress& progress) { return Split(request, progress); });
}

void FrmMain::cmdSobrat_Click() {
  const QString folder = dialogs_.ChooseFolder(this, StartingFolderForJoin(),
                                               QString::fromUtf8(text::kJoinFolderPrompt));
  if (folder.isEmpty()) return;
  // The list shows what the join listed, once it has; empty when it
  // listed nothing.
  File1->clear();
  RunOperation(QString::fromUtf8(text::kJoinProgressTitle),
               [this, folder = CorePath(folder)](const Progress& progress) {
                 return JoinOnWorkThread(folder, progress);
               });
}

// The join, run on the work's thread: the file list and the question about
// an edited file are the window's, so they go to its thread.
Report FrmMain::JoinOnWorkThread(const std::string& folder, const Progress& progress) {
  const ListingSeen listed = [this](const std::vector<FolderEntry>& listing) {
    work_.Post([this, listing] { File1->Show(listing); });
  };
  const MayReplaceEdited mayReplace = [this](const std::string& name) {
    return work_.Ask([this, name] {
      return AskWorkQuestion(
          {MessageKind::Information, messages::kReplaceEditedTitle, messages::ReplaceEdited(name)});
    });
  };
  return Join(folder, progress, listed, mayReplace);
}

// The join's chooser opens where the file being worked on lies, if any,
// else in the folder the window was readied to join.
QString FrmMain::StartingFolderForJoin() const {
  if (txtPut->text().isEmpty()) return joinFolder_;
  return SourceFolder();
}

QString FrmMain::SourceFolder() const {
  if (txtPut->text().isEmpty()) return {};
  return AbsoluteFolderOf(PathInBox(txtPut->text()));
}

// Starts a split or join with a progress display. The window goes on
// painting and hears a close meanwhile, but nothing in it may start other
// work: one runs at a time, even where a click gets through.
void FrmMain::RunOperation(const QString& progressTitle, WorkThread::Work work) {
  if (work_.IsRunning()) return;
  Frame1->setEnabled(false);
  Frame2->setEnabled(false);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  progress_ = std::make_unique<ProgressDisplay>(this, progressTitle, [this] { work_.Cancel(); });
  work_.Start(std::move(work));
}

// The work has ended and cleaned up: shows the one box it reported, and
// the window is usable again, an error report included.
void FrmMain::ShowWorkEnd(const Report& report) {
  progress_.reset();
  QApplication::restoreOverrideCursor();
  Frame1->setEnabled(true);
  Frame2->setEnabled(true);
  // A window asked to close while working closes now, without a box to
  // wait on; so does the program after a stop signal.
  if (std::exchange(closeAfterWork_, false) || StopSignal() != 0) {
    close();
    return;
  }
  dialogs_.ShowMessage(this, report.message);
}

// Asks the work's question while the work waits for the answer.
bool FrmMain::AskWorkQuestion(const Message& question) {
  asking_ = true;
  const bool yes = dialogs_.Ask(this, question);
  asking_ = false;
  return yes;
}

void FrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Once framed, size the window again so its outer height is the designed one.
  QTimer::singleShot(100, this, [this] { SetOuterHeight(heightTwips_); });
}

void FrmMain::closeEvent(QCloseEvent* event) {
  if (work_.IsRunning()) {
    // Cancel the work first: it cleans up, then the window closes. An open
    // question of the work's gives way, as if answered "Нет".
    closeAfterWork_ = true;
    work_.Cancel();
    if (QWidget* question = asking_ ? QApplication::activeModalWidget() : nullptr) {
      question->close();
    }
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

namespace {

// The one local file a drag carries, or the empty text.
QString DraggedFile(const QMimeData* data) {
  if (!data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) {
    return {};
  }
  const QString path = data->urls().constFirst().toLocalFile();
  return KindOfPath(CorePath(path)) == PathKind::File ? QDir::toNativeSeparators(path) : QString();
}

}  // namespace

// A drag over the window or any of its text boxes: the one local file it
// carries becomes the source path, while the path box takes input. Any other
// drag that carries addresses (a folder, a web page, several files) is
// refused whole, so that no text box inserts the address as text. Returns
// whether the event was such a drag; others (plain text) go on as usual.
bool FrmMain::TakeFileDrag(QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto* drag = static_cast<QDropEvent*>(event);
  if (!drag->mimeData()->hasUrls()) return false;
  const QString path = txtPut->isEnabled() ? DraggedFile(drag->mimeData()) : QString();
  if (path.isEmpty()) {
    drag->ignore();
    return true;
  }
  if (type == QEvent::Drop) txtPut->setText(path);
  drag->acceptProposedAction();
  return true;
}

void FrmMain::dragEnterEvent(QDragEnterEvent* event) { TakeFileDrag(event); }

void FrmMain::dragMoveEvent(QDragMoveEvent* event) { TakeFileDrag(event); }

void FrmMain::dropEvent(QDropEvent* event) { TakeFileDrag(event); }

// Text dropped on a text box from elsewhere replaces the box's text, its
// first line only: a path or a size is meant whole, not put inside another.
// Moved within the box, it goes where it is dropped.
bool FrmMain::TakeTextDrop(QObject* watched, QEvent* event) {
  auto* box = qobject_cast<QLineEdit*>(watched);
  if (event->type() != QEvent::Drop || !box) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  if (!drop->mimeData()->hasText() || drop->source() == box) return false;
  box->selectAll();
  box->insert(
      drop->mimeData()->text().section(QRegularExpression(QStringLiteral("[\\r\\n]")), 0, 0));
  box->setFocus();
  drop->acceptProposedAction();
  return true;
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  return TakeFileDrag(event) || TakeTextDrop(watched, event) ||
         QWidget::eventFilter(watched, event);
}

}  // namespace parcelo::ui
