#pragma once

#include <memory>

class QWidget;

namespace mero::data {
class TDataSet;
class TLinkDataSet;
}  // namespace mero::data

namespace mero::ui {

// The rows of the field visibility window: one per field of the dataset,
// VIS (visible), LABEL (the display caption, 45 characters) and NAME (the
// field, not shown).
std::unique_ptr<data::TLinkDataSet> VisibleFieldRows(data::TDataSet& ds);
// "ΟΚ": posts a pending edit of the rows, then gives each field its
// visibility and caption.
void ApplyVisibleFieldRows(data::TLinkDataSet& rows, data::TDataSet& ds);

// The window "Μεταβολή Εμφάνισης", modal; true when "ΟΚ" applied it.
bool EditVisibleFields(data::TDataSet& ds, QWidget* parent = nullptr);

}  // namespace mero::ui
