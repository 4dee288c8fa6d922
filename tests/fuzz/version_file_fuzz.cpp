// The version file the update server publishes, of any bytes: cut into lines
// and its version read, then handed to the daily update check as the
// server's answer. The lines written back one per line read back the same;
// the check either stops at the version, or asks for exactly the addresses
// the file lists and reports the one that failed.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "platform/Clock.h"
#include "update/Signature.h"
#include "update/UpdateCheck.h"
#include "update/VersionFile.h"

namespace varnoket {
namespace {

constexpr const char* kRunningVersion = "1.13";
// An address no line of a version file can hold, so a listed file never
// stands for the version file itself.
constexpr const char* kVersionUrl = "version\n";

std::string& PublicKey() {
  static std::string key;
  return key;
}

bool IsBlankOrControl(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u <= 0x20 || u == 0x7f;
}

void CheckLines(const std::string& text, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    FUZZ_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
  }
  for (const char* end : {"\r\n", "\n", "\r"}) {
    std::string written;
    for (const std::string& line : lines) written += line + end;
    FUZZ_CHECK(SplitVersionLines(written) == lines);
  }
  if (!text.empty() && text.find('\0') != 0 && text.find_first_of("\r\n") == std::string::npos) {
    FUZZ_CHECK(lines.size() == 1);
  }
  for (const std::string& line : lines) {
    const std::string version = NormalizeVersion(line);
    FUZZ_CHECK(NormalizeVersion(version) == version);
    FUZZ_CHECK(version.find(',') == std::string::npos);
    FUZZ_CHECK(version.empty() ||
               (!IsBlankOrControl(version.front()) && !IsBlankOrControl(version.back())));
  }
}

// An update server that answers the version file with the fuzzed text and
// nothing else, on a machine always on line.
class ServerOfText final : public UpdateHost {
 public:
  ServerOfText(fuzz::MemoryFileSystem& fs, const std::string& text) : fs_(fs), text_(text) {}

  bool IsOnline() override { return true; }
  bool Fetch(const std::string& url, const std::string& fileName, bool) override {
    if (url == kVersionUrl) {
      fs_.files[fileName] = text_;
      return true;
    }
    asked.push_back(url);
    return false;
  }
  void ShowError(const std::string& message) override { shown.push_back(message); }

  std::vector<std::string> asked;
  std::vector<std::string> shown;

 private:
  fuzz::MemoryFileSystem& fs_;
  const std::string& text_;
};

void CheckUpdateTick(const std::string& text, const std::vector<std::string>& lines) {
  fuzz::MemoryFileSystem fs;
  ManualClock clock(LocalDateTime{2026, 3, 2, 14, 0, 0, 0});
  ServerOfText server(fs, text);
  UpdateEnv env(fs, clock, server);
  env.programFolder = fuzz::TargetFolder();
  env.programPath = env.programFolder + "/varnoket";
  env.versionUrl = kVersionUrl;
  env.publicKeyHex = PublicKey();
  const std::vector<std::string>& asked = server.asked;
  const std::vector<std::string>& shown = server.shown;
  UpdateState state;
  state.currentVersion = kRunningVersion;

  const UpdateTickResult result = RunUpdateTick(env, state, true);
  FUZZ_CHECK(result != UpdateTickResult::kProcessEnded);
  FUZZ_CHECK(state.lastUpdateCheck > 0);
  FUZZ_CHECK(shown.size() == (result == UpdateTickResult::kStopTick ? 1u : 0u));
  const bool sameVersion = !lines.empty() && NormalizeVersion(lines[0]) == kRunningVersion;
  if (text.empty() || (lines.size() >= 2 && sameVersion)) {
    FUZZ_CHECK(result == UpdateTickResult::kGoOn && asked.empty());
  } else if (lines.size() >= 2) {
    // The first listed address, exactly as written, failed and is named.
    FUZZ_CHECK(asked.size() == 1 && asked[0] == lines[1]);
    FUZZ_CHECK(shown[0].find(lines[1]) != std::string::npos);
  } else {
    FUZZ_CHECK(result == UpdateTickResult::kStopTick && asked.empty());
  }
  // The downloaded version file is never left behind.
  FUZZ_CHECK(!fs.Exists(env.programFolder + "/" + kVersionFileName));
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string secret;
  if (!varnoket::MakeKeyPair(varnoket::PublicKey(), secret)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  const std::string text(fuzz::AsText(data, size));
  const std::vector<std::string> lines = SplitVersionLines(text);
  CheckLines(text, lines);
  CheckUpdateTick(text, lines);
  return 0;
}
