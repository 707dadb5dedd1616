// The translation of the client's Oracle SQL into SQLite's dialect, against
// the catalog of a real database made from the demo schema. A statement that
// translates must become exactly one SQLite statement: nothing a client
// writes may smuggle a second one past the translator.

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "server/catalog.h"
#include "server/database.h"
#include "server/oracle_translator.h"
#include "server/schema.h"
#include "server/server_functions.h"
#include "server/session_vars.h"

using namespace mero;

namespace {

struct Demo {
  Demo() {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("mero-fuzz-translator-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    path = (dir / "demo.db").string();
    db = std::make_unique<server::Database>(path, server::Database::Mode::Create);
    server::RegisterServerFunctions(*db, vars);
    server::CreateSchema(*db);
    catalog = server::LoadCatalog(*db);
  }
  ~Demo() {
    db.reset();
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(path).parent_path(), ec);
  }
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;
  static Demo& Get() {
    static Demo demo;
    return demo;
  }

  std::string path;
  server::SessionVars vars;
  std::unique_ptr<server::Database> db;
  std::shared_ptr<const server::Catalog> catalog;
};

// A translated text SQLite accepts is one statement with nothing after it.
void CheckOneStatement(const std::string& sql) {
  if (sql.empty()) return;
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  const int rc = sqlite3_prepare_v2(Demo::Get().db->Handle(), sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail);
  sqlite3_finalize(stmt);
  if (rc != SQLITE_OK) return;
  while (tail != nullptr && *tail != '\0' && (*tail == ' ' || *tail == ';' || *tail == '\n')) ++tail;
  FUZZ_CHECK(tail == nullptr || *tail == '\0');
}

void Check(const server::TranslatedStatement& s) {
  CheckOneStatement(s.sql);
  if (!s.valueSql.empty()) CheckOneStatement(s.valueSql);
  for (const server::TranslatedStatement& inner : s.body) Check(inner);
}

void CheckOracleText(const server::SqlError& e) { FUZZ_CHECK(std::string_view(e.what()).substr(0, 4) == "ORA-"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  const server::OracleTranslator translator(*Demo::Get().catalog);
  try {
    for (const server::TranslatedStatement& s : translator.TranslateScript(sql)) Check(s);
  } catch (const server::SqlError& e) {
    CheckOracleText(e);
  }
  try {
    Check(translator.TranslateQuery(sql));
  } catch (const server::SqlError& e) {
    CheckOracleText(e);
  }
  return 0;
}
