#pragma once

#include <string>
#include <vector>

#include "data/remote/base_client_dataset.h"
#include "data/remote/update_sql_builder.h"

namespace mero::data {

// The remote dataset that writes its changes back: the change log becomes
// INSERT, UPDATE and DELETE statements on UpdateTableName (see
// TLinkUpdateSQLBuilder), sent as one execute request.
//
//   umAfterPost  after every post and delete, at once, without transaction texts
//   umCached     when ApplyUpdates is called
//   umManual     never (no log is kept)
//
// A server error (or statements that cannot be built) undoes every logged
// change (RevertAll), empties the log and raises the text; an OnPostError
// handler decides instead: daFail undoes and raises, daAbort undoes and ends
// silently (EAbort), daRetry keeps the rows as edited and their log entries
// for the next send, and ends silently.
class TLinkUpdateClientDataSet : public TLinkBaseClientDataSet {
 public:
  // The table the statements write to, possibly with a schema: NQ.UP_DELT.
  const std::string& UpdateTableName() const { return updateTableName_; }
  void SetUpdateTableName(std::string name) { updateTableName_ = std::move(name); }
  // The key fields of the update table.
  const std::vector<std::string>& PrimeFields() const { return primeFields_; }
  void SetPrimeFields(std::vector<std::string> names) { primeFields_ = std::move(names); }
  TUpdateMode UpdateMode() const { return updateMode_; }
  void SetUpdateMode(TUpdateMode mode) { updateMode_ = mode; }
  // SEQUENCE whose .NextVal fills AutoIncrementField in an INSERT.
  const std::string& OracleSequence() const { return oracleSequence_; }
  void SetOracleSequence(std::string name) { oracleSequence_ = std::move(name); }
  // A field never written by an UPDATE (and filled by OracleSequence in an INSERT).
  const std::string& AutoIncrementField() const { return autoIncrementField_; }
  void SetAutoIncrementField(std::string name) { autoIncrementField_ = std::move(name); }

  // The statements the change log stands for now and the long values they name.
  TUpdateStatements UpdateStatements() const;
  // The text ApplyUpdates(mode) would send now: the statements each
  // followed by CR LF; mode 1 puts the socket's transaction texts around them.
  std::string UpdateSQL(int mode) const;

  // Posts a pending edit, then sends the change log (mode 0: as it is;
  // mode 1: inside the socket's transaction texts) and empties it. Without
  // a connected socket raises "No LinkclientSocket or it is not connected!".
  void ApplyUpdates(int mode);

 protected:
  explicit TLinkUpdateClientDataSet(std::string name = {});

  void DoAfterPost() override;
  void DoAfterDelete() override;

 private:
  TLinkUpdateSQLBuilder Builder() const;
  std::vector<TUpdateEntry> Entries() const;
  std::string RequestText(const std::vector<std::string>& statements, int mode) const;
  void SendChanges(int mode);

  std::string updateTableName_;
  std::vector<std::string> primeFields_;
  TUpdateMode updateMode_ = upWhereKeyOnly;
  std::string oracleSequence_;
  std::string autoIncrementField_;
};

}  // namespace mero::data
