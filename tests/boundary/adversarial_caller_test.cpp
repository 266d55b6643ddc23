// A careless or hostile host script, through the real plug-in: thousands of random calls of
// random exports with null, empty, very long and random texts, paths into a temporary tree of
// real files, folders and links, values from NaN to the ends of the double range, and buffers
// between guard bytes with any stated length, 0 and negative ones included. Nothing may crash
// or hang, nothing may be written beyond a buffer's stated length (260 bytes for GetFile), no
// file outside the tree may change, and every result must be one the export documents.
//
// Every text given to an export that reads or changes files is relative (no leading "/", no ".."
// component, no "~") and the calls run with the tree as the current directory, so nothing they
// do can reach beyond it; a sentinel folder beside the tree must come through unchanged. No
// display is set, so GetFileList never shows a dialog.
//
// The run is reproducible from its seed. MEVRIX_ADVERSARY_SEED sets the seed,
// MEVRIX_ADVERSARY_CALLS the number of calls (for longer runs by hand), MEVRIX_ADVERSARY_TRACE=1
// prints every call before it is made.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "export_names.h"
#include "support/guarded_buffer.h"
#include "support/plugin.h"
#include "support/process.h"
#include "support/scoped_variable.h"
#include "support/temp_dir.h"

namespace mevrix::test {
namespace {

namespace fs = std::filesystem;
using Rng = std::mt19937_64;

// ---- What each export may return ---------------------------------------------------------

// One call as it was made, for judging its result.
struct Call {
  const char* text = nullptr;
  double value = 0;
  const char* buf1 = nullptr;  // after the call
  int buf1Len = 0;
};

bool isWhole(float result) {
  return std::isfinite(result) && result == std::trunc(result);
}

bool oneOf(float result, std::initializer_list<float> allowed) {
  for (float a : allowed) {
    if (result == a) return true;
  }
  return false;
}

std::int64_t truncatedValue(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int64_t>(value);
}

// What an export may write into buf1.
enum class BufferUse {
  none,         // buf1 is a path or not used: never written
  statedSize,   // GetFileInfo: within buf1Len bytes
  fileNameBuf,  // GetFile: within 260 bytes, whatever buf1Len says
};

struct ExportRule {
  const char* name;
  bool touchesFiles;  // its texts are confined to the tree
  BufferUse buf1Use;
  bool (*allowed)(float result, const Call& call);
};

// The results of the README's table, export by export.
const ExportRule kRules[] = {
    {"Version", false, BufferUse::none, [](float r, const Call&) { return r == 4.09f; }},
    {"SetDefaultDir", false, BufferUse::none, [](float r, const Call&) { return r == 0; }},
    {"SetDialogTitle", false, BufferUse::none, [](float r, const Call&) { return r == 0; }},
    // Without a display the dialog counts as cancelled.
    {"GetFileList", false, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"GetDirFileList", true, BufferUse::none,
     [](float r, const Call&) { return isWhole(r) && r >= 0 && r <= 2047; }},
    {"GetFileInfo", false, BufferUse::statedSize,
     [](float r, const Call& c) {
       if (r == 0) return true;
       return isWhole(r) && r > 0 && c.buf1 && r < static_cast<float>(c.buf1Len) &&
              std::strlen(c.buf1) == static_cast<std::size_t>(r);
     }},
    {"OpenFolder", true, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"GetFile", false, BufferUse::fileNameBuf,
     [](float r, const Call& c) {
       if (!c.buf1) return oneOf(r, {-1, -2});
       return oneOf(r, {-1, -3}) || (r == 0 && std::memchr(c.buf1, '\0', 260) != nullptr);
     }},
    {"CloseFolder", false, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"FileDelete", true, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"FileRename", true, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"FileCopyTo", true, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"EmptyFolder", true, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"ScaleUVs", true, BufferUse::none,
     [](float r, const Call& c) {
       if (!(c.value >= 0 && c.value <= 1)) return r == -5;  // checked before anything else
       return oneOf(r, {0, -1, -2});
     }},
    {"setDate", false, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"setTxrName", false, BufferUse::none,
     [](float r, const Call&) {
       return oneOf(r, {0, -1});
     }},
    {"writeCollada", true, BufferUse::none,
     [](float r, const Call& c) {
       return (!c.text || !c.buf1) ? r == -9 : oneOf(r, {0, -1, -2});
     }},
    {"writeColladaTris", true, BufferUse::none,
     [](float r, const Call& c) {
       return (!c.text || !c.buf1) ? r == -9 : oneOf(r, {0, -1, -2});
     }},
    {"getGroups", true, BufferUse::none,
     [](float r, const Call& c) {
       if (!c.text) return r == -9;
       return oneOf(r, {-17, -18}) || (isWhole(r) && r >= 0 && r <= 65536);
     }},
    {"OBJtoSculpty", true, BufferUse::none,
     [](float r, const Call& c) {
       if (!c.text || !c.buf1) return r == -9;
       return oneOf(r, {0, -1, -4, -64, -65, -2048});
     }},
    {"AppendOBJ", true, BufferUse::none,
     [](float r, const Call& c) {
       if (!c.text || !c.buf1) return r == -9;
       // The vertex base plus the positions copied; a negative base can meet an error code.
       return oneOf(r, {-1, -2}) ||
              (isWhole(r) && r >= static_cast<float>(truncatedValue(c.value)));
     }},
    {"GroupListClear", false, BufferUse::none, [](float r, const Call&) { return r == 0; }},
};

// ---- The tree the calls work in ----------------------------------------------------------

constexpr std::string_view kMesh =
    "# a box\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\ng mesh_front\nf 1/1 2/2 3/3 4/4\n"
    "g mesh_back\nf 5/1/1 6/2/1 7/3/1 8/4/1\nf 1 2 6\ng mesh_front\nf 1/1 5/2 8/3\n";

constexpr std::string_view kTriangles =
    "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nvt 0 0\r\nvt 1 0\r\nvt 0 1\r\ng a\r\nf 1/1 2/2 3/3\r\n"
    "g b\r\nf 3/3 2/2 1/1\r\nf 1//1 2/ 3/x\r\n";

// A 2 x 2 cell sculpt grid.
std::string gridMesh() {
  std::string obj;
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) obj += "v " + std::to_string(i) + " " + std::to_string(j) + " 1\n";
  }
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i)
      obj += "vt " + std::to_string(i * 0.5) + " " + std::to_string(j * 0.5) + "\n";
  }
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 2; ++i) {
      const int a = j * 3 + i + 1;
      for (int c : {a, a + 3, a + 4, a + 1})
        obj += (c == a ? "f " : " ") + std::to_string(c) + "/" + std::to_string(c);
      obj += "\n";
    }
  }
  return obj;
}

std::string little32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}

// A mesh-exchange file: the 32-byte header, an unrelated block, then a group block.
std::string groupFile() {
  std::string bytes(32, 'H');
  bytes += little32(7) + little32(24) + little32(0) + little32(0) + "12345678";
  const std::string ids = std::string("\x01\x00\x02\x00\x01\x00\xff\xff", 8);
  bytes += little32(40001) + little32(16 + 8) + little32(4) + little32(0) + ids;
  return bytes;
}

void writeFile(const fs::path& path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

// Names the calls use; some exist in the tree, some do not, some are folders or links.
const std::vector<std::string> kTreeNames = {"mesh.obj",   "tri.obj",       "grid.obj",
                                             "bad.obj",    "empty.obj",     "groups.msh",
                                             "data.bin",   ".hidden.obj",   "noext",
                                             "link.obj",   "dangling",      "dirlink",
                                             "sub",        "sub/",          "sub/inner.obj",
                                             "sub/up.obj", "sub/deeper",    "sub/deeper/x.obj",
                                             "empty.d",    "empty.d/",      ".",
                                             "./",         "./mesh.obj",    "sub//inner.obj",
                                             "out.dae",    "out.obj",       "out.bmp",
                                             "new.obj",    "missing/x.obj", "dirlink/inner.obj"};

class Tree {
 public:
  const fs::path& root() const { return dir_.path(); }

  // Empties the tree and builds it anew.
  void rebuild(Rng& rng) {
    for (const auto& entry : fs::directory_iterator(root())) fs::remove_all(entry.path());
    writeFile(root() / "mesh.obj", kMesh);
    writeFile(root() / "tri.obj", kTriangles);
    writeFile(root() / "grid.obj", gridMesh());
    std::string junk(1500, '\0');
    for (char& c : junk)
      c = static_cast<char>(rng() % 7 == 0 ? '\n' : "vtfg /0123456789.-e\r"[rng() % 20]);
    writeFile(root() / "bad.obj", junk);
    writeFile(root() / "empty.obj", "");
    writeFile(root() / "groups.msh", groupFile());
    std::string binary(2048, '\0');
    for (char& c : binary) c = static_cast<char>(rng());
    writeFile(root() / "data.bin", binary);
    writeFile(root() / ".hidden.obj", kTriangles);
    writeFile(root() / "noext", "v 1 2 3\n");
    fs::create_directories(root() / "sub" / "deeper");
    fs::create_directory(root() / "empty.d");
    writeFile(root() / "sub" / "inner.obj", kMesh);
    writeFile(root() / "sub" / "deeper" / "x.obj", kTriangles);
    // Links lead only to places inside the tree.
    fs::create_symlink("mesh.obj", root() / "link.obj");
    fs::create_symlink("nowhere", root() / "dangling");
    fs::create_directory_symlink("sub", root() / "dirlink");
    fs::create_symlink("../mesh.obj", root() / "sub" / "up.obj");
  }

  // The bytes of all regular files in the tree, links not followed.
  std::uintmax_t size() const {
    std::uintmax_t total = 0;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(root(), error)) {
      if (entry.is_regular_file(error) && !entry.is_symlink(error)) total += entry.file_size(error);
    }
    return total;
  }

 private:
  TempDir dir_;
};

// Every entry of a folder with its type and contents, to see whether anything changed.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    if (entry.is_symlink()) {
      entries[name] = "link " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      entries[name] = "folder";
    } else {
      entries[name] = "file " + readFile(entry.path().string());
    }
  }
  return entries;
}

// ---- Random arguments --------------------------------------------------------------------

// A text that names nothing outside the current directory: no leading "/", no ".." component,
// no "~".
std::string confined(std::string text) {
  std::erase(text, '~');
  std::string result;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('/', start), text.size());
    const std::string component = text.substr(start, end - start);
    if (component != "..") {
      if (!result.empty() || start != 0) result += '/';
      result += component;
    }
    start = end + 1;
  }
  while (!result.empty() && result.front() == '/') result.erase(0, 1);
  return result;
}

std::string randomBytes(Rng& rng, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(1 + rng() % 255);  // no NUL inside a C string
  return bytes;
}

std::optional<std::string> randomText(Rng& rng, bool confine) {
  std::string text;
  switch (rng() % 20) {
    case 0:
    case 1:
      return std::nullopt;
    case 2:
      return std::string();
    case 3:
      text = randomBytes(rng, 1 + rng() % 40);
      break;
    case 4:  // very long
      text = rng() % 2 ? randomBytes(rng, 10000) : std::string(10000, 'a');
      break;
    case 5:
      text = kTreeNames[rng() % kTreeNames.size()] + randomBytes(rng, 1 + rng() % 3);
      break;
    case 6: {
      static const char* const kWords[] = {"fullname",   "name",     "Meshes|*.obj;*.dae|All|*.*",
                                           "*.obj",      "|",        "||",
                                           "2026-12-07", "a&b<c>\"'"};
      text = kWords[rng() % std::size(kWords)];
      break;
    }
    case 7:
    case 8:
      text = rng() % 2 ? "fullname" : "name";
      break;
    default:
      text = kTreeNames[rng() % kTreeNames.size()];
      break;
  }
  return confine ? confined(text) : text;
}

double randomValue(Rng& rng) {
  constexpr double kSpecial[] = {std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity(),
                                 1e300,
                                 -1e300,
                                 std::numeric_limits<double>::denorm_min(),
                                 -0.0,
                                 2147483648.0,
                                 -2147483649.0,
                                 4294967296.5,
                                 0.5,
                                 1.0000000000000002,
                                 0.9999999999999999,
                                 16777217.0};
  switch (rng() % 4) {
    case 0:
      return kSpecial[rng() % std::size(kSpecial)];
    case 1:
      return std::uniform_real_distribution<double>(-3.0, 5.0)(rng);
    default:
      return static_cast<double>(static_cast<int>(rng() % 9) - 2);
  }
}

// Texts and values that lead an export past its first checks, offered half of the time.
const std::map<std::string_view, std::vector<std::string>> kFavouredTexts = {
    {"GetFileInfo", {"fullname", "name"}},
    {"GetDirFileList", {".", "./", "sub", "dirlink", "empty.d"}},
    {"OpenFolder", {".", "sub", "dirlink/"}},
    {"getGroups", {"groups.msh", "data.bin", "mesh.obj"}},
    {"OBJtoSculpty", {"grid.obj", "mesh.obj"}},
    {"GetFileList", {"Meshes|*.obj;*.dae|All files|*.*", std::string(300, 'x')}},
};

std::optional<std::string> textFor(std::string_view exportName, Rng& rng, bool confine) {
  const auto favoured = kFavouredTexts.find(exportName);
  if (favoured != kFavouredTexts.end() && rng() % 2) {
    return favoured->second[rng() % favoured->second.size()];
  }
  return randomText(rng, confine);
}

double valueFor(std::string_view exportName, Rng& rng) {
  if (exportName == "ScaleUVs" && rng() % 2) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng);
  }
  return randomValue(rng);
}

int randomLength(Rng& rng) {
  constexpr int kLengths[] = {-100000, -1, 0, 1, 2, 5, 16, 64, 259, 260, 261, 4096, 9000};
  return rng() % 3 ? kLengths[rng() % std::size(kLengths)] : static_cast<int>(rng() % 300);
}

// ---- The run -----------------------------------------------------------------------------

std::string shown(const std::optional<std::string>& text) {
  if (!text) return "null";
  std::string out = "\"";
  for (char c : text->substr(0, 48)) {
    if (c >= 32 && c < 127 && c != '"' && c != '\\') {
      out += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
      out += escaped;
    }
  }
  out += '"';
  if (text->size() > 48) out += "...(" + std::to_string(text->size()) + " bytes)";
  return out;
}

class ScopedDirectory {
 public:
  explicit ScopedDirectory(const fs::path& path) : old_(fs::current_path()) {
    fs::current_path(path);
  }
  ~ScopedDirectory() { fs::current_path(old_); }
  ScopedDirectory(const ScopedDirectory&) = delete;
  ScopedDirectory& operator=(const ScopedDirectory&) = delete;

 private:
  fs::path old_;
};

// Aborts the test program, naming the call, when one call takes longer than `limit`.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          auto lastProgress = std::chrono::steady_clock::now();
          std::uint64_t lastCalls = 0;
          while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const auto now = std::chrono::steady_clock::now();
            if (calls_ != lastCalls) {
              lastCalls = calls_;
              lastProgress = now;
            } else if (now - lastProgress > limit) {
              std::lock_guard lock(mutex_);
              std::fprintf(stderr, "hang: no return within %lld s from %s\n",
                           static_cast<long long>(limit.count()), current_.c_str());
              std::abort();
            }
          }
        }) {}
  ~Watchdog() {
    stop_ = true;
    thread_.join();
  }

  void starting(std::string description) {
    std::lock_guard lock(mutex_);
    current_ = std::move(description);
    ++calls_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> calls_{0};
  std::mutex mutex_;
  std::string current_;
  std::thread thread_;
};

std::uint64_t environmentNumber(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

TEST(AdversarialCallerPosix, RandomCallsKeepEveryPromise) {
  const std::uint64_t seed = environmentNumber("MEVRIX_ADVERSARY_SEED", 20261207);
  const std::uint64_t callCount = environmentNumber("MEVRIX_ADVERSARY_CALLS", 5000);
  const bool trace = environmentNumber("MEVRIX_ADVERSARY_TRACE", 0) != 0;
  std::printf("adversary: seed %llu, %llu calls\n", static_cast<unsigned long long>(seed),
              static_cast<unsigned long long>(callCount));

  PlugIn plugIn;
  std::vector<ExportFunction> functions;
  for (const ExportRule& rule : kRules) functions.push_back(plugIn.get(rule.name));
  ASSERT_EQ(functions.size(), std::size(kRules));
  for (ExportFunction f : functions) ASSERT_NE(f, nullptr);

  TempDir sentinel;
  writeFile(sentinel.path() / "keep.obj", kMesh);
  writeFile(sentinel.path() / ".dotted.txt", "keep");
  fs::create_directory(sentinel.path() / "sub");
  writeFile(sentinel.path() / "sub" / "inner.obj", kTriangles);
  const auto sentinelBefore = snapshot(sentinel.path());

  // Per export, how often each result came, printed at the end: the run must reach the
  // successes too, not only the refusals.
  std::vector<std::map<float, int>> outcomes(std::size(kRules));

  Rng rng(seed);
  Tree tree;
  tree.rebuild(rng);
  ScopedVariable noDisplay("DISPLAY", nullptr);
  ScopedVariable noWayland("WAYLAND_DISPLAY", nullptr);
  {
    ScopedDirectory inTree(tree.root());
    Watchdog watchdog(std::chrono::seconds(60));
    for (std::uint64_t n = 0; n < callCount; ++n) {
      const std::size_t which = rng() % std::size(kRules);
      const ExportRule& rule = kRules[which];
      const std::optional<std::string> text = textFor(rule.name, rng, rule.touchesFiles);
      const double value = valueFor(rule.name, rng);
      const bool withBuffer = rng() % 10 != 0;
      const std::optional<std::string> bufferText =
          rule.buf1Use == BufferUse::none ? randomText(rng, rule.touchesFiles)
                                          : std::optional<std::string>(randomBytes(rng, rng() % 8));
      const int buf1Len = randomLength(rng);

      // The buffer holds its text and is at least as long as it says (and 260 bytes, which
      // GetFile may always fill); what lies behind the stated length is checked too.
      const std::string contents = bufferText.value_or("");
      const std::size_t size = std::max<std::size_t>(
          {contents.size() + 1, 260, buf1Len > 0 ? static_cast<std::size_t>(buf1Len) : 0});
      GuardedBuffer buffer(std::string_view(contents.c_str(), contents.size() + 1), size);
      const bool passBuffer = withBuffer && bufferText.has_value();
      char* const buf1 = passBuffer ? buffer.data() : nullptr;

      char description[512];
      std::snprintf(description, sizeof description, "seed %llu call %llu: %s(%s, %.17g, %s, %d)",
                    static_cast<unsigned long long>(seed), static_cast<unsigned long long>(n),
                    rule.name, shown(text).c_str(), value,
                    passBuffer ? shown(contents).c_str() : "null", buf1Len);
      if (trace) std::fprintf(stderr, "%s\n", description);
      watchdog.starting(description);

      const std::string textBefore = text.value_or("");
      const float result = functions[which](text ? text->c_str() : nullptr, value, buf1, buf1Len);

      ++outcomes[which][result];
      const Call call{text ? text->c_str() : nullptr, value, buf1, buf1Len};
      bool bufferKept = true;
      switch (rule.buf1Use) {
        case BufferUse::none:
          bufferKept = buffer.unchanged();
          break;
        case BufferUse::statedSize:
          // Nothing found, or too long: at most the empty string.
          bufferKept =
              buffer.unchangedFrom(result != 0 ? static_cast<std::size_t>(std::max(buf1Len, 0))
                                               : (buf1Len > 0 && buffer.data()[0] == '\0' ? 1 : 0));
          break;
        case BufferUse::fileNameBuf:
          bufferKept = buffer.unchangedFrom(260);
          break;
      }
      const bool textKept = !text || *text == textBefore;
      if (!rule.allowed(result, call) || !bufferKept || !textKept) {
        ADD_FAILURE() << description << " returned " << result
                      << (bufferKept ? "" : ", wrote outside what buf1 allows")
                      << (textKept ? "" : ", changed its text");
        break;
      }
      // Calls delete and rename what they find; and appending a file to itself doubles it.
      // The tree starts afresh now and then, and before it grows large.
      if (n % 100 == 99 || tree.size() > 4 * 1024 * 1024) tree.rebuild(rng);
    }
    functions[std::size(kRules) - 1](nullptr, 0, nullptr, 0);  // GroupListClear
    plugIn.get("CloseFolder")(nullptr, 0, nullptr, 0);
  }
  EXPECT_EQ(snapshot(sentinel.path()), sentinelBefore);
  for (std::size_t i = 0; i < std::size(kRules); ++i) {
    std::string line = std::string(kRules[i].name) + ":";
    for (const auto& [result, count] : outcomes[i]) {
      char item[48];
      std::snprintf(item, sizeof item, " %g x%d", static_cast<double>(result), count);
      line += item;
    }
    std::printf("%s\n", line.c_str());
  }
}

TEST(AdversarialCaller, EveryExportHasItsResultsListed) {
  // A new export needs its results in kRules before it can be called at random.
  std::vector<std::string_view> listed;
  for (const ExportRule& rule : kRules) listed.emplace_back(rule.name);
  std::vector<std::string_view> known(tool::kKnownExportNames.begin(),
                                      tool::kKnownExportNames.end());
  std::sort(listed.begin(), listed.end());
  std::sort(known.begin(), known.end());
  EXPECT_EQ(listed, known);
}

TEST(AdversarialCallerPosix, EveryReaderRefusesAFifoAtOnce) {
  TempDir dir;
  const std::string fifo = dir.file("pipe.obj");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // And a file of /sys, whose size says 4096 while it holds a few bytes: a read of 0 bytes
  // before that size fails, or the reader would wait for ever. Merging and rescaling have
  // begun their output by then; a copy copies what the file holds.
  const std::string shortFile = "/sys/devices/system/cpu/online";
  const bool haveShortFile =
      fs::exists(shortFile) && fs::file_size(shortFile) > readFile(shortFile).size();
  const std::string output = dir.file("out");
  PlugIn plugIn;
  // The result, negated, as the exit code of a child that is stopped if it blocks.
  const auto negatedResult = [&](const char* name, const std::string& input) {
    return runInChildWithin(10, [&] {
      std::string destination = output;
      return static_cast<int>(-plugIn.get(name)(input.c_str(), 0.5, destination.data(), 0));
    });
  };
  const struct {
    const char* name;
    int fifo;
    int shortFile;
  } readers[] = {{"writeCollada", 1, 1}, {"writeColladaTris", 1, 1}, {"AppendOBJ", 1, 2},
                 {"ScaleUVs", 1, 2},     {"OBJtoSculpty", 1, 1},     {"FileCopyTo", 1, 0},
                 {"getGroups", 17, 17}};
  for (const auto& reader : readers) {
    EXPECT_EQ(negatedResult(reader.name, fifo), reader.fifo) << reader.name;
    EXPECT_FALSE(fs::exists(output));
    if (!haveShortFile) continue;
    EXPECT_EQ(negatedResult(reader.name, shortFile), reader.shortFile) << reader.name;
    if (reader.shortFile == 0) {
      EXPECT_EQ(readFile(output), readFile(shortFile));
      fs::remove(output);
    }
    EXPECT_FALSE(fs::exists(output)) << reader.name;
  }
}

}  // namespace
}  // namespace mevrix::test
