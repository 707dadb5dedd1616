#pragma once

#include <string>

#include "base/exception.h"

namespace mero::link {

// The link library's typed failures; each carries the system's fixed text.
#define MERO_LINK_EXCEPTION(Name)                                     \
  class Name : public base::Exception {                               \
   public:                                                            \
    explicit Name(const std::string& text) : base::Exception(text) {} \
  }

MERO_LINK_EXCEPTION(EStringLineException);     // building or reading a message body
MERO_LINK_EXCEPTION(ELinkFrameException);      // "Invalid block size (%d)!"
MERO_LINK_EXCEPTION(ELinkParamException);      // parameter lists
MERO_LINK_EXCEPTION(ELinkResultSetException);  // malformed result-set payloads
MERO_LINK_EXCEPTION(ELinkSQLException);        // SQL errors reported by the server
MERO_LINK_EXCEPTION(ELinkConnectException);    // connection lost
MERO_LINK_EXCEPTION(ESocketError);             // socket failures
MERO_LINK_EXCEPTION(EUserDefinedEncComp);      // a user-defined hook is missing
MERO_LINK_EXCEPTION(ELzrw1Exception);          // the LZRW1-KH container
MERO_LINK_EXCEPTION(EZlibError);               // "Compression error: …" / "Decompression error: …"
MERO_LINK_EXCEPTION(EKeyError);                // the cipher's key or initialisation vector
MERO_LINK_EXCEPTION(EInputError);              // the cipher's input

#undef MERO_LINK_EXCEPTION

}  // namespace mero::link
