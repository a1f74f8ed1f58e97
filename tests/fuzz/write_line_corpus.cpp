// Writes the line fuzzer's seed sessions, one file each, into a folder:
//   write_line_corpus tests/fuzz/line_corpus

#include <cstdio>
#include <fstream>
#include <string>

#include "fuzz/line_seeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_line_corpus FOLDER\n");
    return 2;
  }
  for (const auto& seed : tavlink::fuzz::LineSeeds()) {
    const std::string path = std::string(argv[1]) + "/" + seed.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(seed.input.data()),
              static_cast<std::streamsize>(seed.input.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
