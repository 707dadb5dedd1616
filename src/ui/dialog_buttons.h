#pragma once

#include <initializer_list>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QString;
class QWidget;

namespace mero::ui {

// The buttons at the foot of the small dialogs: "ΟΚ" (the default button;
// what it does is the dialog's), "Άκυρο" (rejects the dialog), and their row,
// aligned right.
QPushButton* MakeOkButton(QWidget* parent, const QString& caption);
QPushButton* MakeOkButton(QWidget* parent);
QPushButton* MakeCancelButton(QDialog* dialog);
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

}  // namespace mero::ui
