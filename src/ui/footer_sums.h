#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mero::data {
class TLinkCustomDataset;
}

namespace mero::ui {

// The footer of a grid: the sums of the fields named in zSumFields, as
// texts. The sums are taken over a copy of the rows the dataset shows, so
// its cursor stays where it is and its after-scroll handler never runs.
class FooterSums {
 public:
  static constexpr std::size_t kMaxSumFields = 40;

  // ";"-separated names, trimmed; only the first 40 count. Empty: no footer.
  void SetSumFields(std::string text);
  const std::string& SumFields() const { return text_; }
  const std::vector<std::string>& Names() const { return names_; }
  bool Shown() const { return !names_.empty(); }

  // Computes the sums again; false when it did not run: already running,
  // nothing to sum, no dataset (or a closed one).
  bool Update(data::TLinkCustomDataset* ds);
  bool Computed() const { return computed_; }
  bool Running() const { return running_; }
  // The text of each name, by position: the field's display format when it
  // is a numeric field with one, else the general number format.
  const std::vector<std::string>& Texts() const { return texts_; }
  // The footer text of a field; empty when it is not summed.
  std::string TextOf(std::string_view fieldName) const;

 private:
  std::string text_;
  std::vector<std::string> names_;
  std::vector<std::string> texts_;
  bool computed_ = false;
  bool running_ = false;
};

}  // namespace mero::ui
