#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"
#include "link/codec/field_type.h"
#include "link/codec/param_list.h"

namespace mero::link {

class TLinkClientSocket;

// What the client socket hands to a dataset registered with it. A dataset
// registers with TLinkClientSocket::RegisterDataSet and receives its
// registration number; every reply whose origin is that number is delivered
// through these calls, on the user-interface thread, possibly while another
// request of the same socket is waiting for its reply.
//
// Registration is watched from both sides: destroying a dataset removes it
// from every socket it is registered with (this base class does it), and a
// socket that is destroyed first calls LinkSocketDestroyed on each of its
// datasets.
class LinkDataset {
 public:
  LinkDataset() = default;
  virtual ~LinkDataset();
  LinkDataset(const LinkDataset&) = delete;
  LinkDataset& operator=(const LinkDataset&) = delete;

  // Kinds 1 and 10: the field-definition payload (link::DecodeFieldDefs).
  virtual void LinkFieldDefs(std::string_view payload) = 0;
  // Kinds 5 and 11: a row payload, already inflated when the server
  // compressed it, with its packet argument (link::DecodeRows). A select
  // that asked for 0 rows also gets the field-definition payload here, with
  // packet argument 0.
  virtual void LinkRows(std::string_view payload, std::int32_t packetArgument) = 0;
  // Kind 32: the server's packet cursor number, which kinds 33 and 34 name.
  virtual void LinkPacketCursor(std::int32_t cursor) = 0;
  // Kind 30: a parameter list the server sent for this dataset.
  virtual void LinkReceivedParams(int msgId, const TLinkParamList& params) = 0;
  // Kind 35: the parameters of the dataset's request, as the server returns them.
  virtual void LinkParams(const TLinkParamList& params) = 0;
  // The rows a statement of this dataset affected (message -75007).
  virtual void LinkRowsAffected(int rows) = 0;
  // The socket is being destroyed: the dataset must forget it.
  virtual void LinkSocketDestroyed(TLinkClientSocket& socket) = 0;

  // Replies of dataset features this system does not use. A dataset that
  // never asks for them may leave them as they are: the reply is dropped.
  //
  // Kind 26: serialized field properties (asked with soFieldProperties).
  virtual void LinkFieldProperties(std::string_view payload);
  // Kinds 44 and 55: a set of changed rows (a result-set text) to merge.
  virtual void LinkMergeRows(std::string_view resultSet);
  // Kind 22: a blob stream sent back for the dataset, with the two texts of
  // the reply (field and table name).
  virtual void LinkBlobStream(std::string_view fieldName, std::string_view tableName, std::string_view bytes);
  // Kind 42: the buffer of received blob data is to be emptied.
  virtual void LinkClearBlobBuffer();
  // The socket has connected: a dataset that asked to be opened while the
  // socket was closed (TLinkClientSocket::OpenWhenConnected) opens now.
  virtual void LinkOpenDeferred();

 private:
  friend class TLinkClientSocket;
  // The sockets this dataset is registered with.
  std::vector<TLinkClientSocket*> sockets_;
};

// A field value as a dataset hands it to the socket's OnCustomSQLSyntax hook
// while it writes generated SQL.
struct LinkSQLField {
  std::string name;
  TFieldType dataType = ftUnknown;
  base::Variant value;  // Null for a NULL field
  std::string text;     // the value as display text; empty for NULL
};

}  // namespace mero::link
