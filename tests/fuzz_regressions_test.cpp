// Replays every kept fuzz input (fuzz/corpus-regressions/<target>/*) through the same
// checks as the fuzz targets, under the default test build's sanitizers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#define FUZZ_FAIL() \
  throw std::runtime_error("fuzz check failed at line " + std::to_string(__LINE__))
#include "fuzz/decimal_fuzz.h"
#include "fuzz/draw_line_fuzz.h"
#include "fuzz/extended_fuzz.h"
#include "fuzz/line_editor_fuzz.h"
#include "fuzz/lzw_fuzz.h"
#include "fuzz/mask_fuzz.h"
#include "fuzz/terminal_keys_fuzz.h"
#include "fuzz/write_text_fuzz.h"

namespace {
using FuzzBody = int (*)(const uint8_t*, size_t);

struct Target {
  const char* directory;
  FuzzBody body;
};

const Target kTargets[] = {
    {"mask_fuzz", maskFuzzOne},
    {"decimal_fuzz", decimalFuzzOne},
    {"write_text_fuzz", writeTextFuzzOne},
    {"draw_line_fuzz", drawLineFuzzOne},
    {"lzw_fuzz", lzwFuzzOne},
    {"line_editor_fuzz", lineEditorFuzzOne},
    {"terminal_keys_fuzz", terminalKeysFuzzOne},
    {"extended_fuzz", extendedFuzzOne},
};

std::filesystem::path regressionsDirectory() {
  return std::filesystem::path(__FILE__).parent_path().parent_path() / "fuzz" /
         "corpus-regressions";
}

class FuzzRegressions : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzRegressions, EveryKeptInputPassesTheTargetsChecks) {
  const std::filesystem::path directory = regressionsDirectory() / GetParam().directory;
  ASSERT_TRUE(std::filesystem::is_directory(directory)) << directory;
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    EXPECT_NO_THROW(GetParam().body(bytes.data(), bytes.size())) << entry.path();
    ++replayed;
  }
  EXPECT_GT(replayed, 0) << "no kept input for " << GetParam().directory;
}

// The fuzz build makes a target of every fuzz/*_fuzz.cpp; each must be replayed here too.
TEST(FuzzTargets, EveryTargetFileHasItsReplay) {
  const std::filesystem::path fuzzDirectory = regressionsDirectory().parent_path();
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(fuzzDirectory)) {
    const std::string name = entry.path().stem().string();
    if (entry.path().extension() != ".cpp" || !name.ends_with("_fuzz")) continue;
    ++files;
    bool replayed = false;
    for (const Target& t : kTargets) replayed = replayed || name == t.directory;
    EXPECT_TRUE(replayed) << name << " has no entry in kTargets";
  }
  EXPECT_EQ(files, static_cast<int>(std::size(kTargets)));
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegressions, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.directory); });
}  // namespace
