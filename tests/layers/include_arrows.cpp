// include_arrows ROOT: reads every #include "…" of the sources under ROOT/src
// and ROOT/tools and prints each one that points at a folder its own folder
// may not use, as "file:line: text". Exits 0 when every include keeps to the
// table below, 1 when one does not, 2 for bad usage or a tree without sources
// (so that a wrong root cannot pass).
//
// The table is the one place where the arrows between the layers are written:
// a folder may include its own headers and those of the folders listed for it.
// A folder missing from the table is reported too, so that a new layer has to
// be given its place here before it builds into the suite.
//
// In the domain folders the windows are the files whose names end in
// "_window"; every other file there is logic and includes no widget: no Qt
// header beyond the few of Qt Core it may use, and no header of ui that
// itself includes one.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Layer {
  std::string_view folder;
  std::vector<std::string_view> mayInclude;
};

const std::vector<Layer>& Layers() {
  static const std::vector<Layer> layers = {
      {"base", {}},
      {"link/codec", {"base"}},
      {"link/client", {"link/codec", "base"}},
      {"server", {"link/codec", "base"}},
      {"data", {"link/codec", "base"}},
      {"data/remote", {"data", "link/client", "link/codec", "base"}},
      {"ui", {"data/remote", "data", "link/client", "link/codec", "base"}},
      {"app", {"ui", "data/remote", "data", "link/client", "link/codec", "base"}},
      {"printers", {"ui", "data/remote", "data", "link/client", "link/codec", "base"}},
      {"mero", {"app", "printers", "ui", "data/remote", "data", "link/client", "link/codec", "base"}},
      {"tools/mero-sql", {"app", "ui", "data/remote", "data", "link/client", "link/codec", "base"}},
  };
  return layers;
}

const Layer* FindLayer(std::string_view folder) {
  for (const Layer& layer : Layers()) {
    if (layer.folder == folder) return &layer;
  }
  return nullptr;
}

bool IsSource(const fs::path& path) {
  const std::string ext = path.extension().string();
  return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".cc";
}

// The name between open and close of an include directive, or empty when
// the line is none. Blanks are allowed around '#', as the preprocessor allows
// them.
std::string IncludedName(const std::string& line, char open, char close) {
  std::size_t i = line.find_first_not_of(" \t");
  if (i == std::string::npos || line[i] != '#') return {};
  i = line.find_first_not_of(" \t", i + 1);
  constexpr std::string_view kInclude = "include";
  if (i == std::string::npos || line.compare(i, kInclude.size(), kInclude) != 0) return {};
  i = line.find_first_not_of(" \t", i + kInclude.size());
  if (i == std::string::npos || line[i] != open) return {};
  const std::size_t end = line.find(close, i + 1);
  if (end == std::string::npos) return {};
  return line.substr(i + 1, end - i - 1);
}

// The quoted name of an include directive ("data/field.h"), or empty.
std::string QuotedInclude(const std::string& line) { return IncludedName(line, '"', '"'); }

// The folders whose logic and windows live in separate files.
bool SeparatesWindows(std::string_view folder) { return folder == "printers"; }

// Qt headers a logic file may include: Qt Core's, no widget.
bool IsQtCoreHeader(std::string_view name) {
  static const std::vector<std::string_view> core = {
      "QObject", "QString", "QStringList", "QByteArray", "QVariant", "QTimer", "QDate", "QDateTime",
      "QList", "QHash", "QMap", "QPointer", "QAbstractTableModel", "QAbstractItemModel", "QModelIndex"};
  return std::find(core.begin(), core.end(), name) != core.end();
}

// The name of an include with angle brackets (<QDialog>), or empty.
std::string AngleInclude(const std::string& line) { return IncludedName(line, '<', '>'); }

bool IsWidgetInclude(const std::string& angle) {
  return !angle.empty() && angle[0] == 'Q' && !IsQtCoreHeader(angle);
}

bool IsWindowFile(const fs::path& path) {
  const std::string stem = path.stem().string();
  constexpr std::string_view kWindow = "_window";
  return stem.size() >= kWindow.size() && stem.compare(stem.size() - kWindow.size(), kWindow.size(), kWindow) == 0;
}

struct Checker {
  fs::path root;
  int files = 0;
  int faults = 0;

  // A header of the tree (src/ui/x.h) that includes a widget itself.
  bool IncludesWidgets(const std::string& header) const {
    if (header.empty()) return false;
    std::ifstream in(root / "src" / header);
    std::string line;
    while (std::getline(in, line)) {
      if (IsWidgetInclude(AngleInclude(line))) return true;
    }
    return false;
  }

  void Report(const std::string& where, const std::string& text) {
    std::printf("%s: %s\n", where.c_str(), text.c_str());
    ++faults;
  }

  // Every source below ROOT/top; a file's layer is its folder, counted from
  // src/ for the libraries and from the root for tools/.
  void Scan(const std::string& top, bool layerFromRoot) {
    const fs::path base = root / top;
    if (!fs::is_directory(base)) return;
    std::vector<fs::path> paths;
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
      if (entry.is_regular_file() && IsSource(entry.path())) paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
      const fs::path folder =
          (layerFromRoot ? path.lexically_relative(root) : path.lexically_relative(base)).parent_path();
      Check(path, folder.generic_string());
    }
  }

  void Check(const fs::path& path, const std::string& folder) {
    ++files;
    const std::string name = path.lexically_relative(root).generic_string();
    const Layer* layer = FindLayer(folder);
    if (layer == nullptr) {
      Report(name, "folder " + folder + " has no place in the table of layers");
      return;
    }
    const bool logic = SeparatesWindows(folder) && !IsWindowFile(path);
    std::ifstream in(path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      if (logic && (IsWidgetInclude(AngleInclude(line)) || IncludesWidgets(QuotedInclude(line)))) {
        Report(name + ":" + std::to_string(number), line + "  (a widget outside a _window file)");
        continue;
      }
      const std::string header = QuotedInclude(line);
      const std::size_t slash = header.rfind('/');
      // A name without a folder is the including file's own folder.
      if (slash == std::string::npos) continue;
      const std::string target = header.substr(0, slash);
      if (target == folder) continue;
      const auto& allowed = layer->mayInclude;
      if (std::find(allowed.begin(), allowed.end(), target) != allowed.end()) continue;
      Report(name + ":" + std::to_string(number), line);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: include_arrows ROOT\n");
    return 2;
  }
  Checker checker{fs::path(argv[1])};
  checker.Scan("src", false);
  checker.Scan("tools", true);
  if (checker.files == 0) {
    std::fprintf(stderr, "include_arrows: no sources under %s/src or %s/tools\n", argv[1], argv[1]);
    return 2;
  }
  if (checker.faults == 0) return 0;
  std::fprintf(stderr,
               "include_arrows: %d include(s) against the layers; the table is in tests/layers/include_arrows.cpp\n",
               checker.faults);
  return 1;
}
