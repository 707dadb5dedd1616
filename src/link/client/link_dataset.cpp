#include "link/client/link_dataset.h"

#include "link/client/client_socket.h"

namespace mero::link {

LinkDataset::~LinkDataset() {
  // Unregistering edits sockets_, so work on a copy.
  const std::vector<TLinkClientSocket*> sockets = sockets_;
  for (TLinkClientSocket* socket : sockets) socket->UnregisterDataSet(this);
}

void LinkDataset::LinkFieldProperties(std::string_view) {}
void LinkDataset::LinkMergeRows(std::string_view) {}
void LinkDataset::LinkBlobStream(std::string_view, std::string_view, std::string_view) {}
void LinkDataset::LinkClearBlobBuffer() {}
void LinkDataset::LinkOpenDeferred() {}

}  // namespace mero::link
