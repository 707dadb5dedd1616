// Writes the seed corpora of the binary formats into <corpus>/<target>/, made
// with the system's own encoders from values like those of the tests: link
// messages of every kind the server sends, parameter lists of every type,
// result sets, compressed and ciphered forms, saved datasets and settings
// files. fuzz/make_corpus.py runs it; seeds are named by content, so a second
// run adds nothing.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/variant.h"
#include "cipher_setup.h"
#include "data/change_log_dataset.h"
#include "data/field.h"
#include "data/memory_dataset.h"
#include "link/codec/compression.h"
#include "link/codec/lzrw1.h"
#include "link/codec/message_kind.h"
#include "link/codec/message_stack.h"
#include "link/codec/param_list.h"
#include "link/codec/pipeline.h"
#include "link/codec/result_set.h"
#include "link/codec/result_set_encoder.h"
#include "link/codec/rijndael.h"
#include "link/codec/string_line.h"

using namespace mero;
using namespace mero::base::literals;
using K = link::MessageKind;

namespace {

std::filesystem::path root;

// FNV-1a of the bytes: a stable name, so that seeds are written once.
std::string NameOf(std::string_view bytes) {
  std::uint64_t h = 1469598103934665603ULL;
  for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

void Seed(const std::string& target, std::string_view bytes) {
  const std::filesystem::path dir = root / target;
  std::filesystem::create_directories(dir);
  std::ofstream(dir / NameOf(bytes), std::ios::binary) << bytes;
}

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

// Parameter lists as the tests build them.
std::vector<link::TLinkParamList> ParamLists() {
  std::vector<link::TLinkParamList> lists;
  link::TLinkParamList every;
  every.AddTyped("I", link::ftInteger, link::ptInput).SetInteger(-42);
  every.AddTyped("S", link::ftSmallint, link::ptOutput).SetSmallint(7);
  every.AddTyped("L", link::ftLargeint, link::ptInputOutput).SetLargeint(1LL << 40);
  every.AddTyped("F", link::ftFloat, link::ptResult).SetFloat(12.5);
  every.AddTyped("D", link::ftDate, link::ptInput).SetDate(45000);
  every.AddTyped("T", link::ftTime, link::ptInput).SetTime(0.75);
  every.AddTyped("DT", link::ftDateTime, link::ptInput).SetDateTime(45000.5);
  every.AddTyped("B", link::ftBoolean, link::ptInput).SetBoolean(true);
  every.AddTyped("TXT", link::ftString, link::ptInput).SetString("Τόνερ 'x'"_gr);
  every.AddTyped("M", link::ftMemo, link::ptInput).SetMemo("line 1\r\nline 2");
  every.AddTyped("BL", link::ftBlob, link::ptInput).SetBlob(std::string("\0\x01\x02\xff", 4));
  every.AddTyped("G", link::ftGuid, link::ptInput).SetGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}");
  every.AddTyped("N", link::ftString, link::ptInput).SetIsNull(true);
  lists.push_back(every);
  link::TLinkParamList file;
  file.SetNamedValue("LocalFileName", base::Variant::Text("report.txt"));
  file.SetNamedValue("Data", base::Variant::Text("abc"));
  file.SetNamedValue("FileSize", base::Variant::Text("3"));
  file.SetNamedValue("Finished", base::Variant::Text("True"));
  lists.push_back(file);
  link::TLinkParamList rows;
  rows.SetNamedValue("DatasetId", base::Variant::Integer(1));
  rows.SetNamedValue("RowsAffected", base::Variant::Integer(3));
  lists.push_back(rows);
  link::TLinkParamList masks;
  masks.SetNamedValue("DateMaskForSQL", base::Variant::Text("dd/mm/yyyy"));
  masks.SetNamedValue("SQLOptions", base::Variant::Integer(48));
  masks.SetNamedValue("UpdateSQLSyntax", base::Variant::Integer(4));
  lists.push_back(masks);
  lists.emplace_back();
  return lists;
}

std::vector<link::FieldDef> Fields() {
  return {{"ID", link::ftInteger, 0},  {"NAME", link::ftString, 10}, {"PRICE", link::ftFloat, 0},
          {"DTIN", link::ftDate, 0},   {"OK", link::ftBoolean, 0},   {"MEMO", link::ftMemo, 0},
          {"AT", link::ftDateTime, 0}, {"BIG", link::ftLargeint, 0}};
}

std::string FieldDefsPayload() {
  std::string out;
  link::ResultSetEncoder(out).AddFieldDefs(Fields());
  return out;
}

std::string RowsPayload(bool finish) {
  std::string out;
  link::ResultSetEncoder enc(out);
  enc.AddInt(1), enc.AddText("toner"), enc.AddFloat(12.5), enc.AddFloat(45000), enc.AddBool(true);
  enc.AddLong("a memo"), enc.AddFloat(45000.5), enc.AddInt(1LL << 40);
  enc.EndRow();
  for (int i = 0; i < 8; ++i) enc.AddNull();
  enc.EndRow();
  enc.AddInt(-7), enc.AddText("Μελάνι"_gr), enc.AddFloat(-0.5), enc.AddFloat(0), enc.AddBool(false);
  enc.AddLong(""), enc.AddFloat(-1.25), enc.AddInt(-1);
  enc.EndRow();
  if (finish) enc.Finish();
  return out;
}

link::TLinkStringLine Line(K kind, std::int32_t origin, const std::vector<std::pair<int, std::string>>& fields) {
  link::TLinkStringLine line;
  line.SetKind(kind);
  line.SetOrigin(origin);
  for (const auto& [type, bytes] : fields) line.AddField(static_cast<std::uint8_t>(type), bytes);
  return line;
}

// The messages a server sends, each kind with fields as the socket reads them.
std::vector<link::TLinkStringLine> ServerMessages() {
  const std::string params = ParamLists()[0].ToText();
  const std::string text = "0", one = "1";
  std::vector<link::TLinkStringLine> lines = {
      Line(K::FieldDefs, 1, {{0, FieldDefsPayload()}}),
      Line(K::Rows, 1, {{6, "0"}, {0, RowsPayload(true)}, {6, "0"}}),
      Line(K::Rows, 2, {{6, "-1"}, {0, link::DeflateText(RowsPayload(true), 1)}, {6, "1"}}),
      Line(K::Release, 0, {}),
      Line(K::SQLError, 0, {{0, "ORA-00942: table or view does not exist"}}),
      Line(K::SQLError, 0, {{0, "\x02" + params}}),
      Line(K::ChatMessage, 0, {{0, "hello"}}),
      Line(K::MessageBox, 0, {{0, "Μήνυμα"_gr}}),
      Line(K::ServerBroadcast, 0, {{0, "broadcast"}}),
      Line(K::CodedMessage, 0, {{6, "77"}, {0, "coded"}}),
      Line(K::CodedStream, 0, {{6, "3"}, {3, std::string("\0\x01", 2)}}),
      Line(K::Login, 0, {{6, one}}),
      Line(K::Login, 0, {{6, text}}),
      Line(K::Reconnect, 0, {}),
      Line(K::ReconnectNotice, 0, {}),
      Line(K::ServerNotification, 0, {{0, "notice"}}),
      Line(K::BlobUpdateResult, 0, {{0, ""}}),
      Line(K::BlobStream, 1, {{0, "MEMO"}, {0, "UP_DELT"}, {6, "0"}, {3, "bytes"}}),
      Line(K::BlobStream, 0, {{0, "MEMO"}, {0, "UP_DELT"}, {6, "1"}, {3, "reply"}}),
      Line(K::TerminateMessage, 0, {{0, "bye"}}),
      Line(K::FieldProperties, 1, {{0, "props"}}),
      Line(K::CodedParamList, 0, {{6, "12"}, {0, params}, {6, "1"}}),
      Line(K::CodedParamList, 0, {{6, "-75008"}, {0, ParamLists()[1].ToText()}, {6, "0"}}),
      Line(K::CodedParamList, 0, {{6, "-75007"}, {0, ParamLists()[2].ToText()}, {6, "0"}}),
      Line(K::DatasetParamList, 1, {{6, "5"}, {0, params}}),
      Line(K::PacketCursor, 1, {{6, "9"}}),
      Line(K::DatasetParams, 1, {{0, params}}),
      Line(K::ClientUpgrade, 0, {{3, "program bytes"}}),
      Line(K::UpgradeProgress, 0, {}),
      Line(K::BlobBufferCleared, 1, {}),
      Line(K::ChangedRows, 1, {{0, RowsPayload(true)}}),
      Line(K::ServerUtility, 0, {{6, "6"}, {0, ParamLists()[4].ToText()}}),
      Line(K::ServerUtility, 0, {{6, "14"}, {0, ParamLists()[3].ToText()}}),
      Line(K::ServerUtility, 0, {{6, "13"}, {0, ParamLists()[4].ToText()}}),
      Line(K::CustomObject, 0, {{6, "9"}, {0, params}, {0, "Printer"}, {6, "0"}}),
      Line(K::CustomObject, 0, {{6, "9"}, {0, params}, {0, "Printer"}, {6, "2000"}}),
      Line(K::ReplyText, 0, {{0, "reply"}}),
      Line(K::ChangedRowsByDataset, 0, {{0, ParamLists()[2].ToText()}}),
  };
  return lines;
}

void LinkSeeds() {
  const std::vector<link::TLinkStringLine> lines = ServerMessages();
  for (const link::TLinkStringLine& line : lines) Seed("string_line_fuzz", line.Finish());

  for (const link::TLinkParamList& list : ParamLists()) {
    Seed("param_list_fuzz", list.ToText());
    Seed("param_list_fuzz", list.ToText(true));
  }

  // The frame cutter: options, piece size, then frames (one damaged stream too).
  std::string frames;
  for (std::size_t i = 0; i < 6; ++i) link::AppendFrame(frames, lines[i].Finish());
  for (const int options : {0, 3, 8, 9}) Seed("message_stack_fuzz", Byte(options) + Byte(5) + frames);
  Seed("message_stack_fuzz", Byte(0) + Byte(1) + frames.substr(0, 30) + std::string("\xff\xff\xff\xff", 4));
  Seed("message_stack_fuzz", Byte(2) + Byte(200) + link::EncodeFrame("") + link::EncodeFrame("x"));

  // Result sets: definitions with rows of the same bytes, and field lists with rows.
  Seed("result_set_fuzz", Byte(0) + Byte(0) + FieldDefsPayload());
  std::string described = Byte(1 | (7 << 1)) + Byte(0);
  for (const link::FieldDef& f : Fields()) described += Byte(f.type) + Byte(f.size);
  Seed("result_set_fuzz", described + RowsPayload(false) + "\x07" + RowsPayload(true));
  Seed("result_set_fuzz", described + RowsPayload(true));

  const std::string text = "Τόνερ για τον εκτυπωτή του τμήματος, τόνερ, τόνερ."_gr + std::string(200, 'a');
  for (const std::string& t : {text, std::string(), std::string(40000, 'x') + text}) {
    Seed("lzrw1_fuzz", Byte(0) + link::Lzrw1Compress(t));
    Seed("lzrw1_fuzz", Byte(1) + link::lzrw1::CompressBlock(std::string_view(t).substr(0, link::lzrw1::kBlockSize)));
    Seed("compression_fuzz", Byte(0) + link::DeflateText(t, 1));
    Seed("compression_fuzz", Byte(1) + link::CompressMessage(t, link::acLinkZLib, {}));
    Seed("compression_fuzz", Byte(2) + link::CompressMessage(t, link::acLinkCompress, {}));
    Seed("compression_fuzz", Byte(3) + link::DeflateText(RowsPayload(true), 1));
  }
  Seed("lzrw1_fuzz", Byte(2) + text);
  Seed("compression_fuzz", Byte(4) + text);

  // The cipher: every mode, key size and text form, and ciphered frames.
  for (int setup = 0; setup < 36; ++setup) {
    link::TRijndael cipher;
    fuzz::SetUpCipher(cipher, static_cast<std::uint8_t>(setup));
    Seed("cipher_fuzz", Byte(setup) + Byte(0) + cipher.EncryptString(text.substr(0, 40)));
  }
  Seed("cipher_fuzz", Byte(0) + Byte(1) + text);
  for (const int compression : {0, 1, 3}) {
    link::LinkTransforms t;
    link::UseLinkCipher(t, true);
    t.compression = static_cast<link::TLinkCompression>(compression);
    Seed("cipher_fuzz", Byte(compression) + Byte(2) + link::TransformMessage(lines[1].Finish(), t));
  }

  // The client: each message alone and all of them in one read, under each
  // connection setting.
  for (const int settings : {0, 1, 3, 4, 5, 7}) {
    link::LinkTransforms t;
    if ((settings & 4) != 0) link::UseLinkCipher(t, true);
    t.compression = static_cast<link::TLinkCompression>(settings & 3);
    std::string all;
    for (const link::TLinkStringLine& line : lines) {
      const std::string frame = link::PackMessage(line.Finish(), t);
      if (settings == 0) Seed("client_dispatch_fuzz", Byte(settings) + frame);
      all += frame;
    }
    Seed("client_dispatch_fuzz", Byte(settings) + all);
  }
  // Frames inside HTTP responses: a head before each, one that reports a failure.
  std::string http;
  for (std::size_t i = 0; i < 4; ++i) {
    http += "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
    http += link::PackMessage(lines[i].Finish(), {});
  }
  Seed("client_dispatch_fuzz", Byte(8) + http);
  Seed("client_dispatch_fuzz", Byte(8) + "HTTP/1.1 502 Bad Gateway\r\nX-Reason: error 10061\r\n\r\n");
}

class MemDataSet : public data::TLinkDataSet {
 public:
  using TLinkCustomDataset::AppendRows;
  using TLinkCustomDataset::PrepareFieldList;
};

class AuditDataSet : public data::TLink2CustomAuditDataSet {
 public:
  AuditDataSet() : TLink2CustomAuditDataSet("Q") {}
  using TLinkCustomDataset::AppendRows;
  using TLinkCustomDataset::PrepareFieldList;
};

template <typename DataSet>
std::string SavedDataSet(const std::function<void(DataSet&)>& change) {
  std::vector<std::string> fast;
  for (const link::FieldDef& f : Fields()) fast.push_back(link::FastFieldsEntry(f));
  DataSet ds;
  ds.SetFastFields(fast);
  ds.PrepareFieldList();
  link::RowSet rows(Fields());
  link::DecodeRows(RowsPayload(true), 0, rows);
  ds.AppendRows(rows);
  ds.Open();
  change(ds);
  std::ostringstream out;
  ds.SaveToStream(out);
  return out.str();
}

void DataSeeds() {
  Seed("dataset_file_fuzz", SavedDataSet<MemDataSet>([](MemDataSet&) {}));
  Seed("dataset_file_fuzz", SavedDataSet<AuditDataSet>([](AuditDataSet& ds) {
         ds.First();
         ds.Edit();
         ds.FieldByName("NAME").SetAsString("uno");
         ds.Post();
         ds.Next();
         ds.Delete();
         ds.Append();
         ds.FieldByName("ID").SetAsInteger(4);
         ds.Post();
       }));
}

void SettingsSeeds() {
  Seed("ini_file_fuzz", "[TALV]\r\nUserName=MARIA\r\nServer=LOCAL\r\n\r\n[Grid Q]\r\nWidths=10;20;30\r\n");
  Seed("ini_file_fuzz", "; comment\nbefore=any\n[ A ]\n name = value \n=empty\n[B]\nx=1=2\n[A]\ny=\r\n");
  Seed("server_config_fuzz",
       "# server\ndb = /var/lib/mero/mero.db\nlisten = 127.0.0.1:7773, :7771\nfiles = /srv/files\n"
       "application = MERO\nversions = 1,31; 1,30\nbusy-timeout = 5000\nlogin-delay = 250\nlog-requests = yes\n");
  Seed("server_config_fuzz", "listen = 70000\n");
}

// Oracle formats: the values, texts and formats of the server's tests.
void FormatSeeds() {
  auto seed = [](int choice, double value, std::string_view text, std::string_view format) {
    std::string bytes = Byte(choice) + std::string(reinterpret_cast<const char*>(&value), sizeof value);
    bytes += std::string(text) + '\0' + std::string(format);
    Seed("oracle_formats_fuzz", bytes);
  };
  const std::pair<const char*, const char*> dates[] = {
      {"05/03/2024 10:11:12", "DD/MM/YYYY HH24:MI:SS"},
      {"05-03-24", "DD-MM-RR"},
      {"2024-03-05", "YYYY-MM-DD"},
      {"01:05 PM", "HH:MI AM"},
      {"20240305", "YYYYMMDD"},
      {"05/03/99", "DD/MM/YY"},
      {"01/01/2024 24:00", "DD/MM/YYYY HH24:MI"},
      {"Mar 5, 2024", "Mon DD, YYYY"},
  };
  for (const auto& [text, format] : dates) {
    seed(0, 0, text, format);
    seed(1, 45356.4243, "", format);
  }
  for (const char* model : {"9,999.99", "0000", "FM999.90", "99", "9.9EEEE", "S999", "$999"})
    seed(2, -1234.5, "", model);
  for (const char* number : {"-2.5E1", ".00001", "100000000000000000000", "1,5", "+.5"}) seed(3, 0, number, "DD");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: corpus_maker CORPUS_DIR\n";
    return 2;
  }
  root = argv[1];
  LinkSeeds();
  DataSeeds();
  SettingsSeeds();
  FormatSeeds();
  return 0;
}
