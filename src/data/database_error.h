#pragma once

#include <string>

#include "base/exception.h"

namespace mero::data {

// Every failure of a dataset: its text is one of the fixed texts below, or a
// text that names the field or value at fault.
class EDatabaseError : public base::Exception {
 public:
  explicit EDatabaseError(const std::string& text) : base::Exception(text) {}
};

// The silent abort: ends the current user action; the application's error
// display ignores it. Raised when an OnPostError handler answers daAbort.
class EAbort : public base::Exception {
 public:
  EAbort() : base::Exception("Operation aborted") {}
};

// The fixed texts.
namespace errors {
inline constexpr const char* kNotEditing = "DataSet Not in Edit or Insert Mode";
inline constexpr const char* kFieldOffset = "Field Offset Error ";  // + field name
inline constexpr const char* kBookmarkNotFound = "Bookmark not found";
inline constexpr const char* kSortCount = "FieldNames and Descending Values must both be equal in count!";
inline constexpr const char* kSortFieldNotFound = " not found.";  // field name +
inline constexpr const char* kCircularMaster = "Circular Reference to DataSource";
inline constexpr const char* kUnableToLoad = "Unable to load from ";  // + file name
}  // namespace errors

// "<dataset>:Field '<name>' not found".
std::string FieldNotFoundText(const std::string& dataSetName, const std::string& fieldName);

}  // namespace mero::data
