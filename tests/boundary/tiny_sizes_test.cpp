// Every writing export, on a handful of inputs, gives the same result and the same bytes whether
// its work is split at the production sizes or at tiny ones: input windows, sink buffers, storage
// blocks, header pages, table slots and copy blocks of 1, 2, 3, 7 and 64 bytes or elements. An
// edge between two pieces crossed wrongly changes bytes at one of them.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/split_size.h"
#include "meshtools/sculpt_test_meshes.h"
#include "mevrix/exports.h"
#include "support/temp_dir.h"

namespace mevrix::boundary {
namespace {

using test::readFile;
using test::TempDir;

using Export = float (*)(const char*, double, char*, int);

struct Call {
  const char* name;
  Export function;
  double value;
};

constexpr Call kCalls[] = {
    {"writeCollada 0", writeCollada, 0},
    {"writeCollada 1", writeCollada, 1},
    {"writeCollada 2", writeCollada, 2},
    {"writeCollada 3", writeCollada, 3},
    {"writeColladaTris 0", writeColladaTris, 0},
    {"writeColladaTris 2", writeColladaTris, 2},
    {"writeColladaTris 3", writeColladaTris, 3},
    {"OBJtoSculpty", OBJtoSculpty, 0},
    {"AppendOBJ", AppendOBJ, 5},
    {"ScaleUVs", ScaleUVs, 0.3},
    {"getGroups", getGroups, 0},
    {"FileCopyTo", FileCopyTo, 0},
};

// A mesh whose faces name vertices at random: some out of range, some corners without a
// texture coordinate, faces of 3 to 20 corners.
std::string randomMesh() {
  std::uint64_t state = 7;
  const auto next = [&](std::uint64_t range) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % range;
  };
  std::string obj;
  for (int i = 0; i < 60; ++i) {
    obj.append("v ").append(std::to_string(next(2000) / 7.0)).append(" ");
    obj.append(std::to_string(next(90))).append(" -").append(std::to_string(next(1000) / 3.0));
    obj.append("\nvt ").append(std::to_string(next(1000) / 999.0)).append(" ");
    obj.append(std::to_string(next(7) / 7.0)).append("\n");
    if (i % 9 == 0) obj.append("g mesh_part").append(std::to_string(i)).append("\n");
  }
  for (int f = 0; f < 80; ++f) {
    obj += "f";
    const std::uint64_t corners = 3 + (f % 7 == 0 ? next(18) : next(2));
    for (std::uint64_t c = 0; c < corners; ++c) {
      const std::string v = std::to_string(1 + next(64));
      obj.append(" ").append(v).append(next(11) == 0 ? "//" : "/");
      obj.append(next(2) == 0 ? v : std::to_string(1 + next(62)));
    }
    obj += "\n";
  }
  return obj;
}

// A mesh-exchange file: a chain of blocks, the group block behind several pages of others.
std::string groupFile() {
  std::string bytes(32, '\x41');
  const auto putU32 = [&](std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(value >> shift);
  };
  for (int block = 0; block < 300; ++block) {
    putU32(7);
    putU32(16 + 13 * (block % 5));
    putU32(0);
    putU32(0);
    bytes.append(13 * (block % 5), '\x9C');
  }
  putU32(40001);
  putU32(16 + 2 * 900);
  putU32(900);
  putU32(0);
  for (int id = 0; id < 900; ++id) {
    bytes += static_cast<char>(id * 37 % 251);
    bytes += static_cast<char>(id % 3);
  }
  return bytes;
}

struct Input {
  const char* name;
  std::string bytes;
};

std::vector<Input> inputs() {
  const std::string box = readFile(std::string(MEVRIX_TEST_DATA_DIR) + "/../../examples/box.obj");
  std::string crBox;
  for (const char c : box) crBox += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::string longLines = "g mesh_" + std::string(3000, 'n') + "\nvt";
  for (int i = 0; i < 400; ++i) longLines += " 0.25";
  longLines += "\nv 1 2 3\nv 4 5 6\nv 7 8 9\nf";
  for (int i = 0; i < 300; ++i)
    longLines.append(" ").append(std::to_string(1 + i % 3)).append("/1");
  longLines += "\n";
  return {{"the example box", box},
          {"a sculpt grid", test::gridObj(5, 4)},
          {"CR line ends", crBox},
          {"long lines", longLines},
          {"markup in names",
           "v 0 0 0\nv 1 0 0 &\nv 0 1 0  <\nvt 0 0 >\nvt 1 0   \"\nvt 0 1    '\ng mesh_<a&\"b'>\n"
           "f 1/1 2/2 3/3\ng mesh_x>y\nf 3/3 2/2 1/1\n"},
          {"a random mesh", randomMesh()},
          {"a group file", groupFile()}};
}

// What a call gives: its result and the output's bytes (none when it wrote no file).
struct Outcome {
  float result;
  std::string bytes;
  bool operator==(const Outcome&) const = default;
};

Outcome run(const Call& call, const TempDir& dir, const std::string& input) {
  const std::string output = dir.file("out.dae");
  std::filesystem::remove(output);
  GroupListClear(nullptr, 0, nullptr, 0);
  std::string buffer = output;
  const float result =
      call.function(input.c_str(), call.value, buffer.data(), static_cast<int>(buffer.size() + 1));
  return {result, std::filesystem::exists(output) ? readFile(output) : "(none)"};
}

TEST(TinySizes, EveryExportGivesTheSameBytesWhereverItsWorkIsSplit) {
  const TempDir dir;
  for (const Input& input : inputs()) {
    const std::string path = dir.write("in.obj", input.bytes);
    for (const Call& call : kCalls) {
      const Outcome production = run(call, dir, path);
      for (const std::size_t size : {1, 2, 3, 7, 64}) {
        common::splitWorkForTesting(size);
        const Outcome tiny = run(call, dir, path);
        common::splitWorkForTesting(0);
        EXPECT_TRUE(tiny == production)
            << call.name << " on " << input.name << ", split at " << size << ": result "
            << tiny.result << " against " << production.result;
      }
    }
  }
}

}  // namespace
}  // namespace mevrix::boundary
