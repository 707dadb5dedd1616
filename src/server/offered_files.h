#pragma once

#include <string>
#include <vector>

#include "base/date_time.h"

namespace mero::server {

// The files the server offers to clients for download: the regular files of
// one folder, in name order, read afresh for every request so that an
// operator can add or replace files while the server runs.
class OfferedFiles {
 public:
  struct File {
    std::string name;  // the file name alone, as the client will write it
    std::string bytes;
    base::TDateTime modified = 0;  // local time
  };

  explicit OfferedFiles(std::string dir) : dir_(std::move(dir)) {}

  // The names on offer now; none when no folder is set or it cannot be read.
  std::vector<std::string> Names() const;
  // The file at that index of Names(); false when there is none.
  bool Read(int index, File& file) const;

 private:
  std::string dir_;
};

}  // namespace mero::server
