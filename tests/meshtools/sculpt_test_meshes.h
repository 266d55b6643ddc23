#pragma once
// Grid meshes for sculpt-map tests.

#include <string>

namespace mevrix::test {

// A mesh of cellsU x cellsV quadrilaterals on the texture grid u = i / cellsU, v = j / cellsV,
// each going around its cell from (i, j) up to (i, j + 1), across to (i + 1, j + 1) and down to
// (i + 1, j), or the other way round. Vertex (i, j) stands at (i, j, -i).
inline std::string gridObj(int cellsU, int cellsV, bool otherWayRound = false) {
  std::string obj;
  const int verticesU = cellsU + 1;
  const int verticesV = cellsV + 1;
  for (int j = 0; j < verticesV; ++j) {
    for (int i = 0; i < verticesU; ++i) {
      obj += "v " + std::to_string(i) + ' ' + std::to_string(j) + ' ' + std::to_string(-i) + '\n';
    }
  }
  for (int j = 0; j < verticesV; ++j) {
    for (int i = 0; i < verticesU; ++i) {
      obj += "vt " + std::to_string(static_cast<double>(i) / cellsU) + ' ' +
             std::to_string(static_cast<double>(j) / cellsV) + '\n';
    }
  }
  for (int j = 0; j < cellsV; ++j) {
    for (int i = 0; i < cellsU; ++i) {
      const int a = j * verticesU + i + 1;
      const int corners[4] = {a, otherWayRound ? a + 1 : a + verticesU, a + verticesU + 1,
                              otherWayRound ? a + verticesU : a + 1};
      obj += 'f';
      for (int c : corners) obj += ' ' + std::to_string(c) + '/' + std::to_string(c);
      obj += '\n';
    }
  }
  return obj;
}

}  // namespace mevrix::test
