// make_grid_obj OUT.obj MEGABYTES [--triangles] [--groups N]: writes a deterministic grid mesh.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_support.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_grid_obj OUT.obj MEGABYTES [--triangles] [--groups N]\n");
    return 1;
  }
  mevrix::bench::GridOptions options;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--triangles") options.triangles = true;
    if (arg == "--groups" && i + 1 < argc) options.groups = std::atoi(argv[++i]);
  }
  options.verticesPerSide = mevrix::bench::verticesPerSideForSize(std::atof(argv[2]), options.triangles);
  mevrix::bench::writeGridObj(argv[1], options);
  std::printf("%s: %d x %d vertices, %.1f MB\n", argv[1], options.verticesPerSide,
              options.verticesPerSide, mevrix::bench::fileMegabytes(argv[1]));
  return 0;
}
