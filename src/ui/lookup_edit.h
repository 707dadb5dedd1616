#pragma once

#include <QLineEdit>
#include <functional>
#include <string>

#include "base/message_seam.h"
#include "ui/field_link.h"

namespace mero::ui {

// What the two lookup boxes share: the lookup's properties, the keys and
// mouse that open it, and the companion box that shows the description of
// the code typed.
class TLookupBox : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kHeight = 17;

  explicit TLookupBox(QWidget* parent = nullptr);

  // The lookup's table or view, key field, description field, caption,
  // filter, visible fields and order field, passed to the dialog unchanged.
  std::string zQTbNm;
  std::string zQID = "ID";
  std::string zDisp = "DSC";
  std::string zDescr = "LU Field";
  std::string zWhC;
  std::string zVisFlds;
  std::string zOrdFld;
  // Replaces the dialog when set.
  std::function<void()> OnLU;

  // The box that shows the description (not owned; nullptr for none).
  QLineEdit* zLUDSC() const { return companion_; }
  void SetzLUDSC(QLineEdit* companion);

  // The request the box hands to the lookup, with initial as initial value.
  base::LookupRequest Request(const std::string& initial) const;
  // Double click and Shift+F7: OnLU, else the lookup (unless read-only).
  void DoTheLU();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

  // The lookup itself, as each box opens it.
  virtual void RunTheLookup() = 0;
  // No description is looked for (TDBLU: the dataset is closed).
  virtual bool DescriptionOff() const { return false; }
  // The companion shows the description of the text again.
  void ShowDescription();

 private:
  QLineEdit* companion_ = nullptr;
  bool companionStyled_ = false;
};

// The lookup box of a plain value: the chosen key becomes its text.
class TEDLU : public TLookupBox {
  Q_OBJECT

 public:
  explicit TEDLU(QWidget* parent = nullptr);

 protected:
  void RunTheLookup() override;
};

// The lookup box bound to a field: the chosen key goes into the field.
class TDBLU : public TLookupBox {
  Q_OBJECT

 public:
  explicit TDBLU(QWidget* parent = nullptr);

  FieldLink& Link() { return link_; }
  void SetDataSet(data::TDataSet* dataSet) { link_.SetDataSet(dataSet); }
  void SetFieldName(std::string name) { link_.SetFieldName(std::move(name)); }

 protected:
  void RunTheLookup() override;
  bool DescriptionOff() const override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void ShowField();
  void WriteField(const QString& text);

  FieldLink link_;
  bool showing_ = false;
};

}  // namespace mero::ui
