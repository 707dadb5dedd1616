#pragma once

// A dataset that keeps everything the socket hands it, and decodes field
// definitions and rows the way the datasets do.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/client/client_socket.h"
#include "link/client/link_dataset.h"
#include "link/codec/result_set.h"

namespace mero::test {

class RecordingDataset : public link::LinkDataset {
 public:
  struct RowsPayload {
    std::int32_t packet;
    std::string payload;
  };

  void LinkFieldDefs(std::string_view payload) override {
    fieldDefs.emplace_back(payload);
    rows.SetFields(link::FieldDefsFromFastFields(link::DecodeFieldDefs(payload)));
  }
  void LinkRows(std::string_view payload, std::int32_t packet) override {
    payloads.push_back({packet, std::string(payload)});
    // The field definitions of a 0-row select come here too; they hold no rows.
    if (payload == (fieldDefs.empty() ? std::string() : fieldDefs.back())) return;
    const link::RowsDecoded decoded = link::DecodeRows(payload, packet, rows);
    if (decoded.packet.cursor) cursor = *decoded.packet.cursor;
  }
  void LinkPacketCursor(std::int32_t c) override { cursors.push_back(c); }
  void LinkReceivedParams(int msgId, const link::TLinkParamList& params) override {
    received.emplace_back(msgId, params);
  }
  void LinkParams(const link::TLinkParamList& params) override { requestParams.push_back(params); }
  void LinkRowsAffected(int n) override { rowsAffected = n; }
  void LinkSocketDestroyed(link::TLinkClientSocket&) override { socketGone = true; }
  void LinkFieldProperties(std::string_view payload) override { fieldProperties.emplace_back(payload); }
  void LinkMergeRows(std::string_view resultSet) override { merged.emplace_back(resultSet); }
  void LinkBlobStream(std::string_view field, std::string_view table, std::string_view bytes) override {
    blobs.push_back({std::string(field), std::string(table), std::string(bytes)});
  }
  void LinkClearBlobBuffer() override { ++blobClears; }
  void LinkOpenDeferred() override { ++deferredOpens; }

  std::vector<std::string> fieldDefs;
  std::vector<RowsPayload> payloads;
  link::RowSet rows;
  std::int32_t cursor = 0;
  std::vector<std::int32_t> cursors;
  std::vector<std::pair<int, link::TLinkParamList>> received;
  std::vector<link::TLinkParamList> requestParams;
  int rowsAffected = -1;
  bool socketGone = false;
  std::vector<std::string> fieldProperties;
  std::vector<std::string> merged;
  struct Blob {
    std::string field, table, bytes;
  };
  std::vector<Blob> blobs;
  int blobClears = 0;
  int deferredOpens = 0;
};

}  // namespace mero::test
