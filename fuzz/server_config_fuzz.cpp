// The server's configuration file: any text either loads or fails with a
// runtime_error that names the file and line. What loads holds usable
// values only.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "fuzz_support.h"
#include "server/server_config.h"

using namespace mero;

namespace {

const fuzz::ScratchFile scratch(".conf");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  scratch.Write(data, size);
  const std::string& path = scratch.Path();
  server::ServerConfig config;
  try {
    server::LoadConfigFile(path, config);
  } catch (const std::runtime_error& e) {
    FUZZ_CHECK(std::string_view(e.what()).substr(0, path.size() + 1) == path + ":");
    return 0;
  }
  config.ApplyDefaults();
  FUZZ_CHECK(!config.listen.empty());
  for (const server::Endpoint& e : config.listen) FUZZ_CHECK(e.port >= 0 && e.port <= 65535);
  return 0;
}
