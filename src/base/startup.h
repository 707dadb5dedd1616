#pragma once

#include <string>

namespace mero::base {

// One-time start-up of the run-time services: link key, today, folders, the
// process formats, the default period, the named parameters, the debug log
// and the numbered messages. Later calls only write the early trace line.
void InitBasu(int flag = 0);

// The key of the link cipher: 11 characters built at start-up from the
// stored constant, or the text of the environment variable MERO_LINK_KEY
// when a deployment sets its own (client and server must then share it).
const std::string& LinkKey();
// The key built from the stored constant alone.
std::string BuiltInLinkKey();

}  // namespace mero::base
