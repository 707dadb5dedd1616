#include "data/remote/client_dataset.h"

namespace mero::data {

TLinkClientDataSet::TLinkClientDataSet(std::string name) : TLinkUpdateClientDataSet(std::move(name)) {}

}  // namespace mero::data
