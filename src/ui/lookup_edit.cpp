#include "ui/lookup_edit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <exception>

#include "data/dataset.h"
#include "data/remote/query_utils.h"
#include "data/remote/table_cache.h"
#include "ui/base_window.h"
#include "ui/qt_text.h"

namespace mero::ui {

TLookupBox::TLookupBox(QWidget* parent) : QLineEdit(parent) {
  QPalette p = palette();
  p.setColor(QPalette::Base, QColor(0x00, 0xFF, 0xFF));
  setPalette(p);
  setFixedHeight(kHeight);
  connect(this, &QLineEdit::textChanged, this, [this] { ShowDescription(); });
}

void TLookupBox::SetzLUDSC(QLineEdit* companion) {
  companion_ = companion;
  companionStyled_ = false;
}

base::LookupRequest TLookupBox::Request(const std::string& initial) const {
  base::LookupRequest r;
  r.keyField = zQID;
  r.table = zQTbNm;
  r.initialValue = initial;
  r.visibleFields = zVisFlds;
  r.orderField = zOrdFld;
  r.caption = zDescr;
  r.filter = zWhC;
  return r;
}

void TLookupBox::DoTheLU() {
  if (isReadOnly()) return;
  RunGuarded([this] {
    if (OnLU)
      OnLU();
    else
      RunTheLookup();
  });
}

void TLookupBox::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (event->key() == Qt::Key_F7 && mods == Qt::ShiftModifier) {
    DoTheLU();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TLookupBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  DoTheLU();
}

void TLookupBox::ShowDescription() {
  if (companion_ == nullptr) return;
  if (!companionStyled_) {
    companionStyled_ = true;
    companion_->setReadOnly(true);
    QPalette p = companion_->palette();
    p.setColor(QPalette::Base, QColor(0x00, 0x00, 0x80));
    p.setColor(QPalette::Text, QColor(0xFF, 0xFF, 0x00));
    companion_->setPalette(p);
    companion_->setFocusPolicy(Qt::NoFocus);
    companion_->clear();
  }
  const std::string code = FromQString(text());
  if (code.empty() || DescriptionOff()) {
    companion_->clear();
    return;
  }
  std::string description;
  try {
    data::TAMemCol* cache = data::MemCol();
    if (cache != nullptr && cache->Table(zQTbNm) != nullptr)
      description = cache->CachedLookup(zQTbNm, code, zDisp);
    else
      description = data::LookupStr(zQTbNm, zQID, zDisp, code);
  } catch (const std::exception&) {
    description = "*";
  }
  companion_->setText(ToQString(description));
  companion_->setCursorPosition(0);
}

TEDLU::TEDLU(QWidget* parent) : TLookupBox(parent) {}

void TEDLU::RunTheLookup() { setText(ToQString(base::ShowLookup(Request(FromQString(text()))))); }

TDBLU::TDBLU(QWidget* parent) : TLookupBox(parent) {
  link_.OnDataChange = [this] { ShowField(); };
  connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { WriteField(t); });
  ShowField();
}

void TDBLU::ShowField() {
  if (showing_) return;
  showing_ = true;
  setReadOnly(!link_.CanModify());
  const QString shown = ToQString(link_.Text());
  if (shown != text()) setText(shown);
  showing_ = false;
}

void TDBLU::WriteField(const QString& typed) {
  if (showing_) return;
  showing_ = true;
  RunGuarded([this, &typed] { link_.SetText(FromQString(typed)); });
  showing_ = false;
}

bool TDBLU::DescriptionOff() const { return link_.DataSet() == nullptr || !link_.DataSet()->Active(); }

void TDBLU::RunTheLookup() {
  if (zQTbNm.empty() || !link_.CanModify()) return;
  const std::string initial = link_.Text();
  const std::string chosen = base::ShowLookup(Request(initial));
  if (chosen != initial) link_.SetText(chosen);
}

void TDBLU::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && OnLU) RunGuarded(OnLU);
  QLineEdit::mousePressEvent(event);
}

}  // namespace mero::ui
