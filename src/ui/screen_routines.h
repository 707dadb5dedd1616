#pragma once

#include <QColor>

class QMenu;
class QPainter;
class QWidget;

namespace mero::ui {

// Qt cannot ask whether a key is down, so the keys are followed from the
// application's key presses and releases; InitUI installs the follower.
void InstallKeyStateFilter();
void RemoveKeyStateFilter();

// The key (a Qt::Key) is down now. Ctrl, Shift, Alt and Meta are asked of
// the system too; the other keys are known only while the follower is
// installed.
bool IsKeyDown(int key);
// Ctrl and Shift are both down.
bool CtrlShiftDown();

// The pen and brush of a grid cell painter that colours rows.
void SetCanvasColors(QPainter& painter, const QColor& fontColor, const QColor& brushColor);

// Shows the pop-up menu at the widget's point (x, y).
void PopupAt(QWidget* widget, int x, int y, QMenu* menu);

}  // namespace mero::ui
