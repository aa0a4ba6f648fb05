// Drives a fuzz target without libFuzzer: every file named on the command
// line, and every file in a folder named there (the seed corpus, the saved
// crashes), is run once, then `--runs N` mutations of the target's seeds
// (random byte changes, insertions, deletions, splices) with a fixed `--seed`.
// `--write-seeds DIR` stores the built-in seeds as files (a starting corpus).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "fuzz_target.h"

namespace {

void RunOne(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

// The files to run for one argument: the file itself, or a folder's files in
// name order (a missing folder holds none: no crash was ever saved).
std::vector<std::filesystem::path> InputFiles(const std::filesystem::path& named) {
  if (!std::filesystem::exists(named)) return {};
  if (!std::filesystem::is_directory(named)) return {named};
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(named)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool RunFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  RunOne(std::string(std::istreambuf_iterator<char>(file), {}));
  return true;
}

bool WriteSeeds(const std::filesystem::path& folder, const std::vector<std::string>& seeds) {
  std::filesystem::create_directories(folder);
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "seed-%03zu", i);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
    if (!out.flush()) return false;
  }
  return true;
}

std::string Mutate(std::string input, const std::vector<std::string>& seeds, std::mt19937& rng) {
  std::uniform_int_distribution<int> byte(0, 255);
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = input.empty() ? 0 : rng() % (input.size() + 1);
    switch (rng() % 5) {
      case 0:  // change a byte
        if (!input.empty()) input[at % input.size()] = static_cast<char>(byte(rng));
        break;
      case 1:  // insert a byte, often a separator or control character
        input.insert(at, 1, "\x02\x03\x04\x06\x15\x17\x1A\r,;@"[rng() % 11]);
        break;
      case 2:  // delete a run
        if (!input.empty()) input.erase(at % input.size(), 1 + rng() % 4);
        break;
      case 3: {  // splice in part of another seed
        const std::string& other = seeds[rng() % seeds.size()];
        if (!other.empty()) input.insert(at, other.substr(rng() % other.size(), 1 + rng() % 16));
        break;
      }
      default:  // repeat a run (long lines, many fields)
        if (!input.empty()) input.insert(at, input.substr(at % input.size(), 1 + rng() % 32));
        break;
    }
  }
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  long runs = 0;
  unsigned seed = 1;
  std::size_t filesRun = 0;
  const std::vector<std::string> seeds = FuzzSeeds();
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--seed" && i + 1 < argc) {
      seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--write-seeds" && i + 1 < argc) {
      return WriteSeeds(argv[++i], seeds) ? 0 : 2;
    } else {
      for (const std::filesystem::path& path : InputFiles(argv[i])) {
        if (!RunFile(path)) return 2;
        ++filesRun;
      }
    }
  }
  for (const std::string& s : seeds) RunOne(s);
  std::mt19937 rng(seed);
  for (long r = 0; r < runs; ++r) RunOne(Mutate(seeds[rng() % seeds.size()], seeds, rng));
  std::printf("%zu files, %zu seeds and %ld mutations ran\n", filesRun, seeds.size(), runs);
  return 0;
}
