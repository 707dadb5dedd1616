#include "data/remote/update_client_dataset.h"

#include <utility>

#include "data/database_error.h"
#include "data/field_value.h"

namespace mero::data {

namespace {

// A value with the display text the value hook sees and changes are compared by.
TUpdateValue ValueOf(base::Variant v, link::TFieldType type) {
  TUpdateValue out;
  out.text = ValueText(v, type);
  out.value = v.IsEmpty() ? base::Variant::Null() : std::move(v);
  return out;
}

}  // namespace

TLinkUpdateClientDataSet::TLinkUpdateClientDataSet(std::string name) : TLinkBaseClientDataSet(std::move(name)) {}

TLinkUpdateSQLBuilder TLinkUpdateClientDataSet::Builder() const {
  TUpdateTarget target;
  target.dataSetName = Name();
  target.tableName = updateTableName_;
  target.primeFields = primeFields_;
  target.updateMode = updateMode_;
  target.autoIncrementField = autoIncrementField_;
  target.oracleSequence = oracleSequence_;
  target.selectOptions = SQLOptions();
  std::vector<TUpdateField> fields;
  for (int i = 0; i < FieldCount(); ++i) {
    const TField& f = Fields(i);
    fields.push_back({f.FieldName(), f.DataType(), f.ReadOnly()});
  }
  return TLinkUpdateSQLBuilder(std::move(target), TLinkSQLSyntax::Of(LinkClientSocket()), std::move(fields));
}

std::vector<TUpdateEntry> TLinkUpdateClientDataSet::Entries() const {
  std::vector<TUpdateEntry> entries;
  const int count = ChangeCount();
  entries.reserve(static_cast<std::size_t>(count));
  for (int e = 0; e < count; ++e) {
    TUpdateEntry entry;
    entry.delta = EntryDelta(e);
    std::optional<std::size_t> pos;
    if (const std::optional<std::int32_t> id = EntryBookmark(e)) pos = RowPosition(*id);
    for (int i = 0; i < FieldCount(); ++i) {
      const TField& f = Fields(i);
      entry.logged.push_back(ValueOf(LoggedValue(e, f), f.DataType()));
      if (pos) entry.current.push_back(ValueOf(ValueAt(*pos, f), f.DataType()));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

TUpdateStatements TLinkUpdateClientDataSet::UpdateStatements() const {
  if (ChangeCount() == 0) return {};
  return Builder().Build(Entries());
}

std::string TLinkUpdateClientDataSet::RequestText(const std::vector<std::string>& statements, int mode) const {
  if (statements.empty()) return {};
  const link::TLinkClientSocket* socket = LinkClientSocket();
  return TLinkUpdateSQLBuilder::RequestText(statements, mode == 1,
                                            socket != nullptr ? socket->SQLTransactionStart() : std::string(),
                                            socket != nullptr ? socket->SQLTransactionEnd() : std::string());
}

std::string TLinkUpdateClientDataSet::UpdateSQL(int mode) const {
  return RequestText(UpdateStatements().statements, mode);
}

void TLinkUpdateClientDataSet::SendChanges(int mode) {
  if (ChangeCount() == 0) return;
  std::string error;
  try {
    const TUpdateStatements s = UpdateStatements();
    if (s.statements.empty()) {
      // Nothing the server has to hear of (a row edited only in fields no
      // statement writes).
      ClearChangeLog();
      return;
    }
    error = Execute(RequestText(s.statements, mode), s.longValues.Count() > 0 ? s.longValues.ToText() : std::string());
  } catch (const EDatabaseError& e) {
    // Statements that cannot be built fail the post as the server would.
    error = e.what();
  }
  if (error.empty()) {
    ClearChangeLog();
    return;
  }
  const EDatabaseError failure(error);
  const std::optional<TDataAction> action = AskPostError(failure);
  if (action == TDataAction::daRetry) {
    // Kept: the rows stay as edited and the log keeps them for the next send.
    throw EAbort();
  }
  // The rows go back to what the server holds.
  RevertAll();
  if (action == TDataAction::daAbort) throw EAbort();
  throw failure;
}

void TLinkUpdateClientDataSet::ApplyUpdates(int mode) {
  CheckBrowseMode();
  const link::TLinkClientSocket* socket = LinkClientSocket();
  if (socket == nullptr || !socket->Connected()) throw EDatabaseError(errors::kNotConnected);
  SendChanges(mode);
}

void TLinkUpdateClientDataSet::DoAfterPost() {
  if (UpdateMethod() == umAfterPost) SendChanges(0);
  TLinkBaseClientDataSet::DoAfterPost();
}

void TLinkUpdateClientDataSet::DoAfterDelete() {
  if (UpdateMethod() == umAfterPost && ChangeCount() > 0) {
    const int last = ChangeCount() - 1;
    const TBookmark deleted = EntryDelta(last) == ldDeleted ? EntryBookmark(last) : std::nullopt;
    try {
      SendChanges(0);
    } catch (...) {
      // A delete the server refused puts the row back: the cursor goes with it.
      if (BookmarkValid(deleted)) GotoBookmark(deleted);
      throw;
    }
  }
  TLinkBaseClientDataSet::DoAfterDelete();
}

}  // namespace mero::data
