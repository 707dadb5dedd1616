#include "data/database_error.h"

namespace mero::data {

std::string FieldNotFoundText(const std::string& dataSetName, const std::string& fieldName) {
  return dataSetName + ":Field '" + fieldName + "' not found";
}

}  // namespace mero::data
