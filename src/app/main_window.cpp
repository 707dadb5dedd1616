#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/connection_module.h"
#include "app/domain_windows.h"
#include "app/download_progress_window.h"
#include "app/file_download.h"
#include "app/message_hook.h"
#include "app/user_rights.h"
#include "base/encoding.h"
#include "base/message_seam.h"
#include "ui/event_guard.h"
#include "ui/progress_window.h"
#include "ui/qt_text.h"

namespace mero::app {
namespace {

using namespace base::literals;

constexpr int kClientWidth = 316;
constexpr int kTopHeight = 145;
constexpr int kBottomHeight = 57;

QPushButton* Button(const std::string& caption, QWidget* parent) {
  return new QPushButton(ui::ToQString(caption), parent);
}

// A button that runs its operation under the error edge.
template <typename Action>
void OnClick(QPushButton* button, Action action) {
  QObject::connect(button, &QPushButton::clicked, button, [action] { ui::Guarded(action); });
}

template <typename Action>
QAction* MakeAction(QObject* parent, const std::string& caption, Action action) {
  auto* a = new QAction(ui::ToQString(caption), parent);
  QObject::connect(a, &QAction::triggered, a, [action] { ui::Guarded(action); });
  return a;
}

// A button showing an action's caption and running it.
void Bind(QPushButton* button, QAction* action) {
  button->setText(action->text());
  QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
}

}  // namespace

TMeroMainF::TMeroMainF(DomainWindows& windows, std::vector<std::string> args, QWidget* parent)
    : QMainWindow(parent), windows_(windows), logic_(std::move(args)) {
  setWindowTitle(ui::ToQString(logic_.Caption()));
  BuildActions();
  BuildPanels();
  BuildMenus();
  // The login has not run yet: the window takes no input.
  topPanel_->setEnabled(false);
  menuBar()->setEnabled(false);
}

TMeroMainF::~TMeroMainF() = default;

void TMeroMainF::BuildActions() {
  acDeliveryPoints = MakeAction(this, "Σημεία Παράδοσης Toner"_gr, [this] { windows_.OpenDeliveryPoints(); });
  acSymbD = MakeAction(this, "Αναλώσιμα Σύμβασης"_gr, [this] { windows_.OpenContractConsumables(); });
  acPrModels = MakeAction(this, "Μοντέλα Εκτυπωτών"_gr, [this] { windows_.OpenPrinterModels(); });
  acEdStaff = new QAction(ui::ToQString("Προσωπικό"_gr), this);
  acEK_DIOT = new QAction(ui::ToQString("Ιδιότητες Εκτάκτων"_gr), this);
  acEK_SEM = new QAction(ui::ToQString("Διάρκεια Εξαμήνων"_gr), this);
  acEK_DEPT = new QAction(ui::ToQString("Εξάμηνα Τμημάτων"_gr), this);
  DownLoadRecentFiles1 = MakeAction(this, "Ενημέρωση Νέων Φορμών"_gr, [this] { DownLoadRecentFiles1Click(); });
}

void TMeroMainF::BuildPanels() {
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kTopHeight + kBottomHeight);

  topPanel_ = new QWidget(client);
  topPanel_->setObjectName("TopPanel");
  topPanel_->setGeometry(0, 0, kClientWidth, kTopHeight);
  btnPrinter = Button("Printers/Toner", topPanel_);
  Button4 = Button("Αποφάσεις XX"_gr, topPanel_);
  Button4->setStyleSheet("color: red");
  Button4->setVisible(false);
  kzPrintBut = Button("P", topPanel_);
  X1But = Button("X", topPanel_);
  kzPrintBut->setVisible(false);
  X1But->setVisible(false);
  kzPrintBut->setFixedWidth(28);
  X1But->setFixedWidth(28);
  btnUOrg = Button("Μονάδες"_gr, topPanel_);
  btnDeliveryPoints = Button("", topPanel_);
  btnSymbD = Button("", topPanel_);
  btnModels = Button("", topPanel_);
  Bind(btnDeliveryPoints, acDeliveryPoints);
  Bind(btnSymbD, acSymbD);
  Bind(btnModels, acPrModels);

  auto* grid = new QGridLayout(topPanel_);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setVerticalSpacing(2);
  grid->addWidget(btnPrinter, 0, 0);
  grid->addWidget(Button4, 0, 1);
  grid->addWidget(kzPrintBut, 0, 1);
  grid->addWidget(X1But, 0, 2);
  grid->addWidget(btnUOrg, 1, 0);
  grid->addWidget(btnDeliveryPoints, 2, 0);
  grid->addWidget(btnSymbD, 3, 0);
  grid->addWidget(btnModels, 4, 0);
  grid->setColumnStretch(0, 1);
  setTabOrder(btnPrinter, Button4);
  setTabOrder(Button4, kzPrintBut);
  setTabOrder(kzPrintBut, X1But);
  setTabOrder(X1But, btnUOrg);
  setTabOrder(btnUOrg, btnDeliveryPoints);
  setTabOrder(btnDeliveryPoints, btnSymbD);
  setTabOrder(btnSymbD, btnModels);

  OnClick(btnPrinter, [this] { windows_.OpenPrinterMenu(); });
  OnClick(Button4, [] { CheckRight(1); });
  OnClick(kzPrintBut, [this] { windows_.OpenWorkbench(); });
  OnClick(X1But, [] { base::OpenDocument(kWebMapAddress); });
  OnClick(btnUOrg, [this] { windows_.OpenUnits(); });

  auto* bottom = new QWidget(client);
  bottom->setObjectName("BottomPanel");
  bottom->setGeometry(0, kTopHeight, kClientWidth, kBottomHeight);
  VerLabel = new QLabel(bottom);
  VerLabel->setGeometry(8, 8, kClientWidth - 16, 20);

  pnlDebug = new QWidget(client);
  pnlDebug->setObjectName("pnlDebug");
  pnlDebug->setGeometry(0, 0, kClientWidth, 40);
  auto* debugRow = new QHBoxLayout(pnlDebug);
  debugRow->addWidget(new QLineEdit(pnlDebug));
  DoEncrypt = new QCheckBox(QStringLiteral("DoEncrypt"), pnlDebug);
  debugRow->addWidget(DoEncrypt);
  pnlDebug->setVisible(false);

  setCentralWidget(client);
}

void TMeroMainF::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->addMenu(QStringLiteral("1"));
  bar->addMenu(ui::ToQString("Αρχεία"_gr))->addAction(acEdStaff);
  bar->addMenu(ui::ToQString("Εκτυπώσεις"_gr))->addAction(ui::ToQString("Διάφορες Εκτυπώσεις"_gr));
  QMenu* work = bar->addMenu(ui::ToQString("Εργασίες"_gr));
  work->addSeparator();
  work->addAction(acDeliveryPoints);
  work->addAction(acSymbD);
  work->addAction(acPrModels);
  QMenu* tools = bar->addMenu(ui::ToQString("Βοηθητικά"_gr));
  tools->addAction(DownLoadRecentFiles1);
  tools->addAction(ui::ToQString("Αλλαγή Password"_gr));
  tools->addSeparator();
  tools->addAction(ui::ToQString("Παράμετροι Εκτύπωσης"_gr));
}

void TMeroMainF::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  // The login runs from the event loop once the window is on the screen.
  QTimer::singleShot(0, this, [this] { RunShowHandler(); });
}

void TMeroMainF::RunShowHandler() {
  ui::Guarded([this] { logic_.ShowHandler(); });
  ApplyLogic();
  if (logic_.CloseRequested()) {
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return;
  }
  topPanel_->setEnabled(true);
  menuBar()->setEnabled(true);
}

void TMeroMainF::ApplyLogic() {
  setWindowTitle(ui::ToQString(logic_.Caption()));
  VerLabel->setText(ui::ToQString(logic_.VerLabel()));
  kzPrintBut->setVisible(logic_.WorkbenchVisible());
  X1But->setVisible(logic_.WebMapVisible());
  if (logic_.HookInstalled() && !hook_) hook_ = std::make_unique<AppMessageHook>();
}

void TMeroMainF::closeEvent(QCloseEvent* event) {
  if (!logic_.ShowHandled()) {
    event->ignore();
    return;
  }
  hook_.reset();
  logic_.Disconnect();
  QMainWindow::closeEvent(event);
}

void TMeroMainF::DownLoadRecentFiles1Click() {
  if (logic_.Module() == nullptr) return;
  DownloadProgressWindow progress(this);
  app::DownLoadRecentFiles1Click(logic_.Module()->ACS1(), &progress);
}

}  // namespace mero::app
