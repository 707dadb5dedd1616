#include "ui/ui_startup.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QToolTip>

#include "base/message_seam.h"
#include "base/trace.h"
#include "data/dataset_utils.h"
#include "ui/cache_viewer.h"
#include "ui/debug_window.h"
#include "ui/qt_presenter.h"
#include "ui/screen_routines.h"
#include "ui/sql_window.h"

namespace mero::ui {
namespace {

// Qt has no setting for the pause before a tool-tip; its style answers it.
class HintPauseStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_ToolTip_WakeUpDelay) return kHintPauseMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

struct UIState {
  bool done = false;
  QtPresenter presenter;
};

UIState& State() {
  static UIState state;
  return state;
}

void SetHints() {
  QPalette palette = QToolTip::palette();
  palette.setColor(QPalette::ToolTipBase, QColor::fromRgb(kHintColor));
  palette.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(palette);
  if (dynamic_cast<HintPauseStyle*>(QApplication::style()) == nullptr) {
    QApplication::setStyle(new HintPauseStyle(QApplication::style()->name()));
  }
}

}  // namespace

void InitUI(int) {
  UIState& s = State();
  if (s.done) return;
  base::DebugLog("START InitUI");
  SetHints();
  base::DebugLog("InitUI P01");
  DebugWindow().hide();
  base::DebugLog("InitUI P02");
  base::SetDebugWindowShower(&ShowDebugWindowNow);
  base::DebugLog("InitUI P03");
  CreateSQLWindow();
  base::DebugLog("InitUI P04");
  data::SetSQLDisplay([](const std::string& sql) { ShowSQL(sql); });
  base::DebugLog("InitUI P05");
  base::SetMessagePresenter(&s.presenter);
  base::DebugLog("InitUI P06");
  InstallKeyStateFilter();
  base::DebugLog("InitUI P07");
  s.done = true;
  base::DebugLog("InitUI P08");
  base::DebugLog("END InitUI");
}

void ShutdownUI() {
  UIState& s = State();
  if (!s.done) return;
  RemoveKeyStateFilter();
  if (base::CurrentMessagePresenter() == &s.presenter) base::SetMessagePresenter(nullptr);
  data::SetSQLDisplay({});
  base::SetDebugWindowShower(nullptr);
  DestroyCacheViewer();
  DestroySQLWindow();
  DestroyDebugWindow();
  s.done = false;
}

}  // namespace mero::ui
