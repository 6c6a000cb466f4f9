#include "app/ui/MainWindow.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/AppModule.h"
#include "app/ui/CommandIds.h"
#include "app/ui/SortHeader.h"
#include "platform/ui/ControlIds.h"
#include "vault/LockwellDatabase.h"

// The icons are compiled into this static library; the resource has to be
// registered by name before the first use.
static void InitIconResources() { Q_INIT_RESOURCE(icons); }

namespace lockwell {
namespace {

// Button sizes of the window's template, in pixels.
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kViewButtonWidth = 18;
constexpr int kGap = 4;

// Swallows the copy keys a list would answer by putting the current cell's
// text on the clipboard: a shown password would stay there, out of the
// clipboard guard's reach.  Ctrl+C never gets here; the window's Copy
// shortcut takes it first.
class CellCopyBlocker : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
      return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

QTreeWidget* MakeList(QWidget* parent, const char* name, int id) {
  auto* list = new QTreeWidget(parent);
  list->installEventFilter(new CellCopyBlocker(list));
  list->setObjectName(QString::fromLatin1(name));
  ControlIds::Set(list, id);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSortingEnabled(false);
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return list;
}

QPushButton* MakeButton(QWidget* parent, const char* name, int id, const char* text, int x, int width) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  ControlIds::Set(button, id);
  // Enter belongs to the account list (edit), never to a button.
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setGeometry(x, 0, width, kButtonHeight);
  return button;
}

}  // namespace

MainWindow::MainWindow(Prompter& prompter, OpenFlow openFlow, QWidget* parent)
    : QDialog(parent), prompter_(prompter), openFlow_(std::move(openFlow)) {
  InitIconResources();
  // The application's module is registered with the first window.
  AppModuleId();
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QString::fromLatin1(kTitle));
  setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);
  // No part of the program reads it; kept as the window's mark.
  setProperty("Lockwell", 1);
  programIcon_ = QIcon(QStringLiteral(":/lockwell/program.png"));
  setWindowIcon(programIcon_);

  BuildControls();
  BuildMenus();
  BuildKeys();
  ConnectNotifications();

  setMinimumSize(kMinWidth, kMinHeight);
  resize(kStartWidth, kStartHeight);

  // Columns: "Category" across the list, the account view's two columns
  // with empty headers.
  categoryList_->setHeaderLabels({QStringLiteral("Category")});
  accountView_->setColumnCount(2);
  accountView_->setHeaderLabels({QString(), QString()});
  LayOut();
  FillCategoryList(-1);
  RefreshControls(true);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
  menuBar_ = new QMenuBar(this);
  menuBar_->setObjectName(QStringLiteral("menuBar"));
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("clientArea"));

  categoryList_ = MakeList(client_, "categoryList", kCategoryListId);
  categoryList_->setSelectionMode(QAbstractItemView::SingleSelection);
  categoryList_->header()->setSectionsClickable(false);
  categoryList_->header()->setStretchLastSection(false);

  accountList_ = MakeList(client_, "accountList", kAccountListId);
  accountList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  accountHeader_ = new SortHeader(accountList_);
  accountHeader_->setObjectName(QStringLiteral("accountHeader"));
  accountList_->setHeader(accountHeader_);
  // The view hands its own sorting state to a new header; clicks are ours.
  accountHeader_->setSectionsClickable(true);
  accountHeader_->setStretchLastSection(false);
  accountList_->setColumnCount(0);

  accountView_ = MakeList(client_, "accountView", kAccountViewId);
  accountView_->setSelectionMode(QAbstractItemView::SingleSelection);
  accountView_->header()->setSectionsClickable(false);
  accountView_->header()->setStretchLastSection(false);
  accountView_->setContextMenuPolicy(Qt::NoContextMenu);
  // A note may run over several lines.
  accountView_->setUniformRowHeights(false);

  int x = kGap;
  newButton_ = MakeButton(client_, "newButton", kNewButtonId, "New...", x, kButtonWidth);
  x += kButtonWidth + kGap;
  editButton_ = MakeButton(client_, "editButton", kEditButtonId, "Edit...", x, kButtonWidth);
  x += kButtonWidth + kGap;
  deleteButton_ = MakeButton(client_, "deleteButton", kDeleteButtonId, "Delete...", x, kButtonWidth);
  lockButton_ = MakeButton(client_, "lockButton", kLockButtonId, "Lock...", 0, kButtonWidth);
  quitButton_ = MakeButton(client_, "quitButton", kQuitButtonId, "Quit", 0, kButtonWidth);
  viewButton_ = MakeButton(client_, "viewButton", kViewButtonId, "<<", 0, kViewButtonWidth);

  message_ = new QLabel(client_);
  message_->setObjectName(QStringLiteral("message"));
  ControlIds::Set(message_, kMessageId);
  message_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  message_->setTextFormat(Qt::PlainText);
  message_->setWordWrap(true);
}

void MainWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  // File > Open is posted, so the open sequence starts once the window shows.
  if (!database_ && autoOpen_) {
    QTimer::singleShot(0, this, [this] {
      if (!database_) RunCommand(command::kOpen);
    });
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOut();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Enter alone never ends the window; Escape closes it like the title bar.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MainWindow::reject() {
  // Closing by the title bar, the system menu or Escape skips
  // CloseCurrentDatabase (the database goes with the window), but the
  // program's password does not outlive it on the clipboard.
  clipboard_.Release();
  QDialog::reject();
}

}  // namespace lockwell
