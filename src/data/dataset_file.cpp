// Save and load of an in-memory dataset.
//
// All integers are 32-bit little-endian. A stream is:
//   "MERODS01"
//   field count, then per field: name length, name bytes, type code, size
//   the next bookmark id
//   row count, then per row: the id, then per field one byte (1 NULL, 0 not)
//     followed, when not NULL, by the value: the field's storage width in
//     bytes for fixed types (as held in a row), length and bytes for long
//     values
//   change-log flag: 0, or 1 followed by the change log as a set of its own
//   (magic to rows, without a flag)
#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>

#include "data/memory_dataset.h"
#include "link/codec/result_set.h"

namespace mero::data {

namespace {

constexpr char kMagic[8] = {'M', 'E', 'R', 'O', 'D', 'S', '0', '1'};
constexpr std::int32_t kMaxName = 4096;
constexpr std::int32_t kMaxSize = 1 << 24;
constexpr std::int32_t kMaxFields = 65536;

[[noreturn]] void Invalid() { throw EDatabaseError("Invalid dataset stream"); }

void WriteInt(std::ostream& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                         static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
  out.write(bytes, 4);
}

void WriteBytes(std::ostream& out, std::string_view bytes) {
  WriteInt(out, static_cast<std::int32_t>(bytes.size()));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::int32_t ReadInt(std::istream& in) {
  unsigned char b[4];
  if (!in.read(reinterpret_cast<char*>(b), 4)) Invalid();
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                   (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

// Reads in slices, so that a damaged length cannot make one huge allocation
// ahead of the data.
std::string ReadBytes(std::istream& in, std::int32_t length) {
  if (length < 0) Invalid();
  std::string out;
  char buffer[16384];
  std::size_t left = static_cast<std::size_t>(length);
  while (left > 0) {
    const std::size_t n = std::min(left, sizeof buffer);
    if (!in.read(buffer, static_cast<std::streamsize>(n))) Invalid();
    out.append(buffer, n);
    left -= n;
  }
  return out;
}

}  // namespace

void TLinkCustomDataset::WriteSet(std::ostream& out) const {
  out.write(kMagic, sizeof kMagic);
  WriteInt(out, static_cast<std::int32_t>(fieldList_.Count()));
  for (const TLinkFieldEntry& e : fieldList_.Entries()) {
    WriteBytes(out, e.name);
    WriteInt(out, e.type);
    WriteInt(out, e.size);
  }
  WriteInt(out, rows_.NextId());
  WriteInt(out, static_cast<std::int32_t>(rows_.Count()));
  for (std::size_t pos = 0; pos < rows_.Count(); ++pos) {
    const std::uint8_t* row = rows_.Row(pos);
    WriteInt(out, TLinkDBList::IdOf(row));
    for (std::size_t i = 0; i < fieldList_.Count(); ++i) {
      const TLinkFieldEntry& e = fieldList_[i];
      const bool isNull = rows_.IsNull(row, i);
      out.put(isNull ? 1 : 0);
      if (isNull) continue;
      const std::uint8_t* at = TLinkDBList::Value(row, e.offset);
      if (IsLongType(e.type)) {
        std::int32_t handle;
        std::memcpy(&handle, at, sizeof handle);
        WriteBytes(out, blobs_.Bytes(handle));
      } else {
        out.write(reinterpret_cast<const char*>(at), e.width);
      }
    }
  }
}

void TLinkCustomDataset::ReadSet(std::istream& in, TLinkCustomDataset& into) {
  char magic[sizeof kMagic];
  if (!in.read(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0) Invalid();
  const std::int32_t count = ReadInt(in);
  if (count < 0 || count > kMaxFields) Invalid();
  std::vector<std::string> entries;
  for (std::int32_t i = 0; i < count; ++i) {
    std::string name = ReadBytes(in, std::min(ReadInt(in), kMaxName + 1));
    if (name.size() > static_cast<std::size_t>(kMaxName)) Invalid();
    const std::int32_t type = ReadInt(in);
    const std::int32_t size = ReadInt(in);
    if (type < 0 || type > link::ftGuid || size < 0 || size > kMaxSize) Invalid();
    entries.push_back(link::FastFieldsEntry({std::move(name), type, size}));
  }
  into.SetFastFields(std::move(entries));
  into.PrepareFieldList();
  const std::int32_t nextId = ReadInt(in);
  const std::int32_t rowCount = ReadInt(in);
  if (rowCount < 0) Invalid();
  std::int32_t maxId = -1;
  for (std::int32_t r = 0; r < rowCount; ++r) {
    const std::int32_t id = ReadInt(in);
    const std::uint32_t slot = into.rows_.NewSlot(id);
    into.rows_.AppendSlot(slot);
    std::uint8_t* row = into.rows_.Slot(slot);
    maxId = std::max(maxId, id);
    for (std::size_t i = 0; i < into.fieldList_.Count(); ++i) {
      const TLinkFieldEntry& e = into.fieldList_[i];
      const int flag = in.get();
      if (flag == 1) continue;
      if (flag != 0) Invalid();
      std::uint8_t* at = TLinkDBList::Value(row, e.offset);
      if (IsLongType(e.type)) {
        const std::string bytes = ReadBytes(in, ReadInt(in));
        const std::int32_t handle = into.blobs_.Add(e.fieldNo, bytes);
        std::memcpy(at, &handle, sizeof handle);
      } else if (!in.read(reinterpret_cast<char*>(at), e.width)) {
        Invalid();
      }
      into.rows_.SetNull(row, i, false);
    }
  }
  // A bookmark names one row: a stream that repeats an id is damaged.
  std::vector<std::int32_t> ids;
  ids.reserve(into.rows_.Count());
  for (std::size_t pos = 0; pos < into.rows_.Count(); ++pos) ids.push_back(into.rows_.Id(pos));
  std::sort(ids.begin(), ids.end());
  if (std::adjacent_find(ids.begin(), ids.end()) != ids.end()) Invalid();
  // Ids are never reused: the counter passes every id held.
  into.rows_.ResetIds(std::max(nextId, maxId + 1));
}

void TLinkCustomDataset::SaveToStream(std::ostream& out) {
  CheckBrowseMode();
  PrepareFieldList();
  WriteSet(out);
  const TLinkDataSet* log = SavedChangeLog();
  WriteInt(out, log != nullptr ? 1 : 0);
  if (log != nullptr) static_cast<const TLinkCustomDataset*>(log)->WriteSet(out);
  if (!out) throw EDatabaseError("Unable to write the dataset stream");
}

// Everything is read before this dataset changes, so a damaged stream
// leaves it as it was.
struct TLinkCustomDataset::StoredSet {
  TLinkDataSet rows;
  std::unique_ptr<TLinkDataSet> log;
};

std::unique_ptr<TLinkCustomDataset::StoredSet> TLinkCustomDataset::ReadStream(std::istream& in) {
  auto stored = std::make_unique<StoredSet>();
  ReadSet(in, stored->rows);
  const std::int32_t flag = ReadInt(in);
  if (flag == 1) {
    stored->log = std::make_unique<TLinkDataSet>();
    ReadSet(in, *stored->log);
  } else if (flag != 0) {
    Invalid();
  }
  return stored;
}

void TLinkCustomDataset::Install(StoredSet& stored) {
  TLinkCustomDataset& source = stored.rows;
  SetFastFields(source.fastFields_);
  PrepareFieldList();
  rows_ = std::move(source.rows_);
  blobs_ = std::move(source.blobs_);
  Open();
  LoadedChangeLog(std::move(stored.log));
}

void TLinkCustomDataset::LoadFromStream(std::istream& in) {
  const std::unique_ptr<StoredSet> stored = ReadStream(in);
  Install(*stored);
}

void TLinkCustomDataset::SaveToFile(const std::string& fileName) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw EDatabaseError("Unable to save to " + fileName);
  SaveToStream(out);
  out.close();
  if (!out) throw EDatabaseError("Unable to save to " + fileName);
}

void TLinkCustomDataset::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EDatabaseError(errors::kUnableToLoad + fileName);
  // A damaged file is as unreadable as a missing one; the dataset keeps
  // what it held.
  std::unique_ptr<StoredSet> stored;
  try {
    stored = ReadStream(in);
  } catch (const EDatabaseError&) {
    throw EDatabaseError(errors::kUnableToLoad + fileName);
  }
  Install(*stored);
}

}  // namespace mero::data
