#include "ui/value_combo.h"

#include <QLineEdit>

#include "base/message_seam.h"
#include "ui/qt_text.h"

namespace mero::ui {

TKZDBCBox1::TKZDBCBox1(QWidget* parent) : QComboBox(parent) {}

void TKZDBCBox1::SetItems(const std::vector<std::string>& items) { Fill(ParseValueItems(items)); }

void TKZDBCBox1::Fill(const std::vector<ValueItem>& items) {
  source_ = ComboItems(items, 0, true);
  items_ = ComboItems(source_, tag_, isCheck_ == 1);
  clear();
  for (const ValueItem& item : items_) addItem(ToQString(item.display));
  if (isCheck_ == 1) {
    SetCheckText(checkText_);
  } else {
    setCurrentIndex(IsFilterTag(tag_) ? 0 : -1);
  }
}

void TKZDBCBox1::SetTag(int tag) {
  tag_ = tag;
  Fill(source_);
}

void TKZDBCBox1::SetzIsCheck(int value) {
  isCheck_ = value;
  setEditable(isCheck_ == 1);
  if (isCheck_ == 1) lineEdit()->setReadOnly(true);
  Fill(source_);
}

void TKZDBCBox1::SetzTitle(std::string title) {
  title_ = std::move(title);
  if (isCheck_ == 1) SetCheckText(checkText_);
}

void TKZDBCBox1::SetzMastCB(const TKZDBCBox1* master) {
  master_ = master;
  if (master_ == nullptr) return;
  source_ = master_->source_;
  items_ = master_->items_;
  clear();
  for (const ValueItem& item : items_) addItem(ToQString(item.display));
  setEditable(master_->isEditable());
  if (isEditable()) lineEdit()->setReadOnly(master_->lineEdit()->isReadOnly());
  setCurrentIndex(master_->currentIndex());
}

std::string TKZDBCBox1::Value() const {
  if (isCheck_ == 1) return checkText_;
  const int i = currentIndex();
  return i >= 0 && i < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(i)].value : std::string();
}

void TKZDBCBox1::SetValue(const std::string& value) {
  if (isCheck_ == 1) {
    SetCheckText(value);
    return;
  }
  setCurrentIndex(IndexOfValue(items_, value));
}

void TKZDBCBox1::SetCheckText(const std::string& text) {
  checkText_ = text;
  setEditText(ToQString(checkText_));
  setToolTip(ToQString(CheckHint(title_, checkText_, items_)));
}

void TKZDBCBox1::showPopup() {
  if (isCheck_ != 1) {
    QComboBox::showPopup();
    return;
  }
  SetCheckText(base::ChooseMany(title_, checkText_, CheckItems(items_)));
}

}  // namespace mero::ui
