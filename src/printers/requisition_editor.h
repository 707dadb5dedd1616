#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/variant.h"
#include "data/remote/application_dataset.h"
#include "printers/cell_colours.h"

namespace mero::link {
class TLinkClientSocket;
}

namespace mero::printers {

// The messages of ordering, as the user reads them (written in UTF-8: Gr()
// gives the text the client shows).
namespace editor_texts {
inline constexpr const char* kNoContract = "Δεν υπάρχουν ενεργές συμβάσεις για παραγγελία αναλωσίμων ";
inline constexpr const char* kManyContracts = "Υπάρχουν πολλαπλές συμβάσεις για παραγγελία αναλωσίμων ";
inline constexpr const char* kOverAllotmentAsk = "Έχετε ήδη υπερβεί το ποσό που σας αναλογεί. Θέλετε να συνεχίσετε!";
inline constexpr const char* kOverAllotmentStop =
    "Έχετε ήδη υπερβεί το ποσό που σας αναλογεί. Δεν μπορείτε να προχωρήσετε!";
inline constexpr const char* kSaveFirst = "Καταχωρήστε πρώτα τις αλλαγές του δελτίου!";
inline constexpr const char* kNoChanges = "Δεν μπορείτε να κάνετε αλλαγές!";
// Followed by the largest number of lines and kMaxItemsTail.
inline constexpr const char* kMaxItemsHead = "΄Σε κάθε δελτίο μπορούν να παραγγελθούν μέχρι ";
inline constexpr const char* kMaxItemsTail = " είδη";
inline constexpr const char* kBadQuantity = "Μη επιτρεπόμενη ποσότητα (<=0)! Αν θέλετε διαγραφή CTRL+DEL";
inline constexpr const char* kNoValue = "Αξία Δελτίου <0! Δεν μπορείτε να οριστικοποιήσετε!";
inline constexpr const char* kOverLimitAsk = "Με την καταχώρηση αυτή θα υπερβείτε το πλαφόν σας. Θέλετε να συνεχίσετε!";
inline constexpr const char* kOverLimitStop =
    "Με την καταχώρηση αυτή θα υπερβείτε το πλαφόν σας. Δεν μπορείτε να οριστικοποιήσετε!";
inline constexpr const char* kOverAllotmentFinalAsk =
    "Με την καταχώρηση αυτή θα υπερβείτε το ποσό που σας αναλογεί. Θέλετε να συνεχίσετε!";
inline constexpr const char* kOverAllotmentFinalStop =
    "Με την καταχώρηση αυτή θα υπερβείτε το ποσό που σας αναλογεί. Δεν μπορείτε να οριστικοποιήσετε!";
// "Απαιτούνται τουλάχιστον " + "10" + " χαρακτήρες στις Οδηγίες Παράδοσης".
inline constexpr const char* kShortInstructions = "Απαιτούνται τουλάχιστον 10 χαρακτήρες στις Οδηγίες Παράδοσης";
inline constexpr const char* kNotInDelivery = "Το δελτίο θα πρέπει να είναι στο στάδιο παράδοσης!";
inline constexpr const char* kMarkAllAsk = "Θα συμπληρωθούν όλες οι γραμμές σαν παραδοθείσες πλήρως. Συμφωνείτε?";
// A requisition deleted (by another user) since it was listed.
inline constexpr const char* kGone = "Το δελτίο δεν υπάρχει πια!";
}  // namespace editor_texts

// A text of editor_texts in the client's code page.
std::string Gr(const char* utf8);

// The delivery instructions need at least this many characters to finalise.
inline constexpr int kMinDeliveryInstructions = 10;

// Exactly one contract must be open for ordering today: its ID. Otherwise the
// message and a silent stop (data::EAbort).
std::string CheckOrderingContract();

// Raises DELT_COUNTER and reads the new value back in one transaction of the
// session (nullptr: the shared socket's), so that no two requisitions get the
// same number. 0 when the counter is missing.
int DrawRequisitionNumber(link::TLinkClientSocket* socket = nullptr);

// What the editor is opened with once the opening checks have passed.
struct EditorOpening {
  int id = 0;
  std::string contract;
  std::string unit;
  std::string point;
};
// The steps before the window: for a new requisition the open contract, the
// unit, the delivery point and the unit's allotment; nothing (or a silent
// stop) when one of them ends the opening. An existing requisition opens
// as it is.
std::optional<EditorOpening> PrepareRequisitionEditor(int id, const std::string& contractId);

// The colour of a line's delivered-quantity cell in stages 8 and 9.
CellColour DeliveredColour(int state, const base::Variant& qty, const base::Variant& qtyDel);

// The rules of the requisition editor: its three queries, the state of the
// window, and every action. The window shows what this class holds and calls
// OnChanged's handler to show it again.
class RequisitionEditor {
 public:
  explicit RequisitionEditor(EditorOpening opening);
  ~RequisitionEditor();
  RequisitionEditor(const RequisitionEditor&) = delete;
  RequisitionEditor& operator=(const RequisitionEditor&) = delete;

  data::TKZLINK& Header() { return header_; }
  data::TKZLINK& Lines() { return lines_; }
  data::TKZLINK& Budget() { return budget_; }

  // The window is shown: the super-user status, the header (or a new row)
  // and the budget. False when the requisition no longer exists (the
  // message was shown): the window closes then.
  bool Show();

  int OpenedId() const { return openedId_; }
  int CurrentId() const { return currentId_; }
  const std::string& Contract() const { return contract_; }
  bool SuperUser() const { return superUser_; }
  bool Inserting() const { return inserting_; }
  bool Reloading() const { return reloading_; }
  bool LineDeleted() const { return lineDeleted_; }
  bool Missing() const { return missing_; }
  bool FinaliseEnabled() const { return finaliseEnabled_; }
  // The header's STATE (0 for a new row).
  int State() const;
  int LineCount();
  // The names shown beside the unit and the delivery point.
  std::string UnitName() const;
  std::string PointName() const;

  // The header is being edited or is a new row not yet saved.
  bool HeaderEditing() const;
  // Posts the header. A change the server refuses is shown with the
  // server's text and stays in edit (the post then stops silently).
  void PostHeader();

  void LoadHeader();
  void LoadLines();
  void RefreshBudget();
  void ReloadAfterLineChange();
  // The one-second timer: the reload a line deletion left for it.
  void TimerTick();

  void AddConsumable();
  void Finalise();
  void MarkAllDelivered();

  // The colour of a lines cell (the delivered quantity in stages 8 and 9).
  CellColour LineCellColour(std::string_view fieldName, const base::Variant& qty, const base::Variant& qtyDel) const;

  // The window shows the editor again (values, editability, buttons).
  std::function<void()> OnChanged;
  // Refusals without words (a line inserted or deleted outside stage 1).
  std::function<void()> OnBeep;
  // The lines take the focus after a reload.
  std::function<void()> OnFocusLines;

 private:
  void HeaderAfterScroll();
  void HeaderNewRecord();
  void HeaderAfterPost();
  void LinesBeforeChange();
  void LinesBeforePost();
  void Changed();
  void Beep();
  int HeaderInt(const char* field) const;
  std::string HeaderText(const char* field) const;
  std::string SidText() const;

  data::TKZLINK header_{"qDelt"};
  data::TKZLINK lines_{"qDeltD"};
  data::TKZLINK budget_{"qBudget"};

  int openedId_ = 0;
  int currentId_ = 0;
  std::string contract_;
  std::string unit_;
  std::string point_;
  bool superUser_ = false;
  bool inserting_ = false;
  bool reloading_ = false;
  bool lineDeleted_ = false;
  bool missing_ = false;
  bool finaliseEnabled_ = false;
  // A refused header post keeps the row in edit.
  bool retryPost_ = false;
};

}  // namespace mero::printers
