#include "data/remote/application_dataset.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "base/text_routines.h"
#include "base/trace.h"
#include "data/database_error.h"
#include "data/dataset_utils.h"

namespace mero::data {

namespace {

// The upper-cased, trimmed, non-empty names of a ";"-separated list.
std::vector<std::string> NameList(std::string_view names) {
  std::vector<std::string> out;
  base::SplitToList(names, ";", out, true);
  std::vector<std::string> kept;
  for (std::string& n : out) {
    if (!n.empty()) kept.push_back(base::UpperStr(n));
  }
  return kept;
}

TKZLINKHooks& Hooks() {
  static TKZLINKHooks hooks;
  return hooks;
}

// A hook the step cannot do without.
template <typename Hook>
const Hook& Required(const Hook& hook) {
  if (!hook) throw EDatabaseError(errors::kQueryUtilsNotStarted);
  return hook;
}

}  // namespace

void SetTKZLINKHooks(TKZLINKHooks hooks) { Hooks() = std::move(hooks); }
const TKZLINKHooks& CurrentTKZLINKHooks() { return Hooks(); }

TKZLINK::FlagScope::FlagScope(TKZLINK& ds, Flag flag)
    : flag_(flag == Flag::Deleting ? ds.deleting_ : ds.stepsKeptOut_), was_(flag_) {
  flag_ = true;
}

TKZLINK::FlagScope::~FlagScope() {
  if (!released_) flag_ = was_;
}

TKZLINK::TKZLINK(std::string name) : TLinkClientDataSet(std::move(name)) {}

std::string TKZLINK::KeyText() const {
  if (zKeyF_.empty() || !Active()) return {};
  return FieldByName(base::UpperStr(base::StrTrim(base::GetNField(zKeyF_, ";", 1)))).AsString();
}

int TKZLINK::NonEmptyCount() { return DataSetIsEmpty(*this) ? 0 : RecordCount(); }

bool TKZLINK::OpenSQL(const std::string& sql) { return Required(Hooks().openSQL)(*this, sql); }

bool TKZLINK::OpenQuery() { return Required(Hooks().openQuery)(*this); }

void TKZLINK::SetFieldsVisible(std::string_view names, std::string_view value) {
  for (const std::string& n : NameList(names)) FieldByName(n).SetVisible(value == "1");
}

void TKZLINK::SetFieldsReadOnly(std::string_view names, std::string_view value) {
  for (const std::string& n : NameList(names)) FieldByName(n).SetReadOnly(value == "1");
}

void TKZLINK::SetAllVisible(std::string_view value) {
  for (int i = 0; i < FieldCount(); ++i) Fields(i).SetVisible(value == "1");
}

void TKZLINK::SetAllReadOnly(std::string_view value) {
  for (int i = 0; i < FieldCount(); ++i) Fields(i).SetReadOnly(value == "1");
}

void TKZLINK::SetAllRequired(std::string_view value) {
  for (int i = 0; i < FieldCount(); ++i) Fields(i).SetRequired(value == "1");
}

void TKZLINK::UndoAllChanges() {
  FlagScope keptOut(*this, Flag::StepsKeptOut);
  RevertAll();
}

void TKZLINK::DoBeforeOpen() {
  if (!ReadOnly() && !zKeyF_.empty() && PrimeFields().empty()) {
    std::string table = base::StrTrim(zKeyTAB_);
    if (table.empty()) table = UpdateTableName();
    std::vector<std::string> keys = NameList(zKeyF_);
    if (!table.empty() && !keys.empty()) {
      SetPrimeFields(std::move(keys));
      SetUpdateTableName(std::move(table));
      SetUpdateMethod(umAfterPost);
    }
  }
  TLinkClientDataSet::DoBeforeOpen();
}

void TKZLINK::DoAfterEdit() {
  rememberedKey_ = KeyText();
  TLinkClientDataSet::DoAfterEdit();
}

void TKZLINK::TakeSequenceKey() {
  const std::string sequence = base::UpperStr(base::StrTrim(base::GetNField(zSEQInfo_, ";", 1)));
  std::string keyField = base::UpperStr(base::StrTrim(base::GetNField(zSEQInfo_, ";", 2)));
  if (keyField.empty()) keyField = "ID";
  if (sequence.empty()) return;
  try {
    const int key = Required(Hooks().selectInt)("select " + sequence + ".NextVal from DUAL");
    TField& field = FieldByName(keyField);
    // Generated statements leave read-only fields out; the key must go in.
    field.SetReadOnly(false);
    field.SetValue(base::Variant::Integer(key));
  } catch (const std::exception& e) {
    // The row goes to the server without a key of ours; the server decides.
    base::DebugLog("No key from " + sequence + " for " + Name() + ": " + e.what());
  }
}

void TKZLINK::DoBeforePost() {
  if (deleting_ || stepsKeptOut_) {
    TLinkClientDataSet::DoBeforePost();
    return;
  }
  inserting_ = State() == dsInsert;
  if (inserting_ && !zSEQInfo_.empty()) TakeSequenceKey();
  TLinkClientDataSet::DoBeforePost();
  rememberedKey_ = KeyText();
}

std::exception_ptr TKZLINK::SendAndCommit(bool post) {
  try {
    if (UpdateMethod() == umCached) {
      try {
        ApplyUpdates(1);
      } catch (const EAbort&) {
        // An OnPostError handler decided what happens to the rows.
        throw;
      } catch (...) {
        if (post && inserting_) UndoAllChanges();
        throw;
      }
    }
    if (post) {
      TLinkClientDataSet::DoAfterPost();
    } else {
      TLinkClientDataSet::DoAfterDelete();
    }
    if (zAutoCommit_) Required(Hooks().commit)(*this);
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

void TKZLINK::KeepCacheCurrent(bool deleted, bool failed) {
  if (zzIMCID_.empty()) return;
  const TKZLINKHooks& cache = Hooks();
  if (!cache.loadTable || !cache.refreshRecord || !cache.dropRecord) return;
  if (rememberedKey_.empty()) {
    // No key to follow the row by: the whole table is read again.
    cache.loadTable(zzIMCID_);
  } else if (!deleted) {
    cache.refreshRecord(zzIMCID_, rememberedKey_);
  } else {
    cache.dropRecord(zzIMCID_, rememberedKey_);
    // A delete that failed may have left the row on the server: the cache
    // takes it back when the server still has it.
    if (failed) cache.refreshRecord(zzIMCID_, rememberedKey_);
  }
}

void TKZLINK::DoAfterPost() {
  if (deleting_ || stepsKeptOut_) {
    TLinkClientDataSet::DoAfterPost();
    return;
  }
  const std::exception_ptr error = SendAndCommit(true);
  inserting_ = false;
  if (error) {
    try {
      KeepCacheCurrent(false, true);
    } catch (...) {
      // The first error is the one the caller hears of.
    }
    std::rethrow_exception(error);
  }
  KeepCacheCurrent(false, false);
}

void TKZLINK::DoBeforeDelete() {
  if (stepsKeptOut_) {
    TLinkClientDataSet::DoBeforeDelete();
    return;
  }
  FlagScope deleting(*this, Flag::Deleting);
  TLinkClientDataSet::DoBeforeDelete();
  rememberedKey_ = KeyText();
  // The delete goes on; its after-step ends it.
  deleting.Release();
}

void TKZLINK::DoBeforeScroll() {
  try {
    TLinkClientDataSet::DoBeforeScroll();
  } catch (...) {
    // A refused scroll ends a delete in progress before the row went.
    deleting_ = false;
    throw;
  }
}

void TKZLINK::InternalDelete() {
  try {
    TLinkClientDataSet::InternalDelete();
  } catch (...) {
    deleting_ = false;
    throw;
  }
}

void TKZLINK::DoAfterDelete() {
  if (stepsKeptOut_) {
    TLinkClientDataSet::DoAfterDelete();
    return;
  }
  const std::exception_ptr error = SendAndCommit(false);
  deleting_ = false;
  if (error) {
    try {
      KeepCacheCurrent(true, true);
    } catch (...) {
      // The first error is the one the caller hears of.
    }
    std::rethrow_exception(error);
  }
  KeepCacheCurrent(true, false);
}

// TKZLINKDS

TKZLINKDS::TKZLINKDS(std::string name) : TLinkDataSet(std::move(name)) {}

void TKZLINKDS::LoadWithLabels(TDataSet& source) {
  std::function<void()> held = std::move(source.AfterScroll);
  source.AfterScroll = nullptr;
  try {
    LoadFromDataSet(source);
  } catch (...) {
    source.AfterScroll = std::move(held);
    throw;
  }
  source.AfterScroll = std::move(held);
  const int count = std::min(FieldCount(), source.FieldCount());
  for (int i = 0; i < count; ++i) {
    TField& to = Fields(i);
    const TField& from = source.Fields(i);
    if (IsNumericType(to.DataType())) to.SetDisplayFormat(from.DisplayFormat());
    to.SetDisplayLabel(from.DisplayLabel());
    to.SetDisplayWidth(from.DisplayWidth());
    to.SetVisible(from.Visible());
  }
}

void TKZLINKDS::DoBeforeOpen() {
  changed_ = false;
  TLinkDataSet::DoBeforeOpen();
}

void TKZLINKDS::DoAfterPost() {
  changed_ = true;
  TLinkDataSet::DoAfterPost();
}

void TKZLINKDS::DoAfterDelete() {
  changed_ = true;
  TLinkDataSet::DoAfterDelete();
}

}  // namespace mero::data
