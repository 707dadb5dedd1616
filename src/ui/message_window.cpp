#include "ui/message_window.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "base/messages.h"
#include "ui/event_guard.h"
#include "ui/message_window_logic.h"
#include "ui/qt_text.h"

namespace mero::ui {

using namespace base::literals;

TzzErrorF::TzzErrorF(const std::string& text, int kind, int autoCloseMs, int fontIndex, QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      memo_(new QPlainTextEdit(this)),
      edit_(new QToolButton(this)),
      ok_(new QPushButton(ToQString("ΟΚ"_gr), this)),
      cancel_(new QPushButton(ToQString("Άκυρο"_gr), this)),
      timer_(new QTimer(this)) {
  const base::MessWindowLayout layout = base::LayoutMessWindow(text, kind, fontIndex);
  setObjectName(QStringLiteral("zzErrorF"));
  memo_->setObjectName(QStringLiteral("M1"));
  edit_->setObjectName(QStringLiteral("SBEdit1"));
  ok_->setObjectName(QStringLiteral("OKBtn"));
  cancel_->setObjectName(QStringLiteral("CancelBtn"));
  timer_->setObjectName(QStringLiteral("MessTimer"));

  memo_->setReadOnly(true);
  QStringList shown;
  for (const std::string& line : MessLines(layout.text)) shown.push_back(ToQString(line));
  memo_->setPlainText(shown.join(QLatin1Char('\n')));
  if (!layout.fontName.empty()) {
    QFont font = memo_->font();
    font.setFamily(QString::fromStdString(layout.fontName));
    memo_->setFont(font);
  }
  QPalette palette = memo_->palette();
  // The tool-tip colour of the system, not the application's hint colour.
  palette.setColor(QPalette::Base, layout.tooltipBackground
                                       ? QApplication::style()->standardPalette().color(QPalette::ToolTipBase)
                                       : QColor(Qt::green));
  palette.setColor(QPalette::Text, Qt::black);
  memo_->setPalette(palette);
  const Qt::ScrollBarPolicy bars = layout.scrollBars ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  memo_->setVerticalScrollBarPolicy(bars);
  memo_->setHorizontalScrollBarPolicy(bars);
  memo_->setLineWrapMode(layout.scrollBars ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);

  edit_->setToolTip(ToQString("Μεταφορά στο Σημειωματάριο"_gr));
  edit_->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  edit_->setAutoRaise(true);
  edit_->setFocusPolicy(Qt::NoFocus);
  cancel_->setVisible(layout.showCancel);
  QPushButton* chosen = layout.cancelIsDefault ? cancel_ : ok_;
  chosen->setDefault(true);

  auto* panel = new QWidget(this);
  panel->setFixedHeight(kMessButtonPanelHeight);
  auto* buttons = new QHBoxLayout(panel);
  buttons->setContentsMargins(4, 2, 4, 2);
  buttons->addWidget(edit_);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addStretch();
  // Balances the save button so that the OK button stands in the middle.
  buttons->addSpacing(edit_->sizeHint().width());
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(memo_);
  column->addWidget(panel);

  setWindowTitle(ToQString(layout.caption));
  resize(kMessWindowWidth, layout.height);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(edit_, &QToolButton::clicked, this, [this] { Guarded([this] { SaveAndOpen(); }); });
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, &QDialog::reject);
  QApplication::beep();
  if (autoCloseMs > 0) timer_->start(autoCloseMs);
  chosen->setFocus();
}

std::vector<std::string> TzzErrorF::Lines() const {
  std::vector<std::string> lines;
  const QString text = memo_->toPlainText();
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(FromQString(line));
  return lines;
}

void TzzErrorF::SaveAndOpen() { base::OpenDocument(SaveMessLines(Lines())); }

base::ModalResult RunMessageWindow(const std::string& text, int kind, int autoCloseMs, int fontIndex) {
  TzzErrorF window(text, kind, autoCloseMs, fontIndex, QApplication::activeWindow());
  return window.exec() == QDialog::Accepted ? base::ModalResult::OK : base::ModalResult::Cancel;
}

}  // namespace mero::ui
