// What omnipack build refuses to pack, and the names and sizes at the limits that it accepts.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tool_test_support.h"

namespace tool_test {
namespace {

// A scratch copy of the fixture folders that a case changes before building.
class BuildCase {
 public:
  BuildCase() {
    CopyFixtureFolder("main", main());
    CopyFixtureFolder("lang", lang());
  }
  fs::path main() const { return dir_.path() / "main"; }
  fs::path lang() const { return dir_.path() / "lang"; }
  fs::path out() const { return dir_.path() / "update.exe"; }

  ToolRun Build(const std::vector<std::string>& extra) const {
    std::vector<std::string> args = {"build",
                                     "--main",
                                     main().string(),
                                     "--lang",
                                     lang().string(),
                                     "--stub",
                                     FixturePath("stub.exe").string(),
                                     "-o",
                                     out().string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  }

 private:
  TempDir dir_;
};

void AddFile(const fs::path& path, std::size_t size) {
  fs::create_directories(path.parent_path());
  WriteBytes(path, std::vector<std::uint8_t>(size, 'x'));
}

struct Case {
  const char* what;
  std::function<void(const BuildCase&)> prepare;
  std::vector<std::string> extra_args;
  std::string subject;  // the path relative to the scratch folder, or as given
  std::string reason;
  bool subject_in_scratch = true;
};

const std::string kLongFolder(200, 'f');

const std::vector<Case>& Refusals() {
  static const std::vector<Case> cases = {
      {"an empty file",
       [](const BuildCase& c) { AddFile(c.main() / "sub" / "empty.txt", 0); },
       {},
       "main/sub/empty.txt",
       "empty file: a size word of 0 cannot be decoded"},
      {"an empty language library",
       [](const BuildCase& c) { AddFile(c.lang() / "OPStbResFRA.dll", 0); },
       {},
       "lang/OPStbResFRA.dll",
       "empty file"},
      {"a name too long for the entry header",
       [](const BuildCase& c) { AddFile(c.main() / kLongFolder / std::string(59, 'n'), 1); },
       {"--no-record", kLongFolder + "/" + std::string(59, 'n')},
       "main/" + kLongFolder + "/" + std::string(59, 'n'),
       "name of 260 characters is too long for the entry header (at most 259)"},
      {"a name too long for the directory record",
       [](const BuildCase& c) { AddFile(c.main() / std::string(144, 'r'), 1); },
       {},
       "main/" + std::string(144, 'r'),
       "name of 144 characters is too long for the directory record (at most 143"},
      {"a name ending in tmp",
       [](const BuildCase& c) { AddFile(c.main() / "sub" / "cache.tmp", 5); },
       {},
       "main/sub/cache.tmp",
       "name ends in \"tmp\""},
      {"a name ending in TMP in another case",
       [](const BuildCase& c) { AddFile(c.lang() / "BACKUP.TmP", 5); },
       {},
       "lang/BACKUP.TmP",
       "name ends in \"tmp\""},
      {"a host name holding a backslash, which would climb out of the folder",
       [](const BuildCase& c) { AddFile(c.main() / "..\\evil.txt", 5); },
       {},
       "main/..\\evil.txt",
       "name holds \"\\\", which the installer takes for a folder separator"},
      {"a name with a drive",
       [](const BuildCase& c) { AddFile(c.main() / "C:evil.txt", 5); },
       {},
       "main/C:evil.txt",
       "name \"C:evil.txt\" would leave the folder it is unpacked into"},
      {"a device name",
       [](const BuildCase& c) { AddFile(c.main() / "COM1", 5); },
       {},
       "main/COM1",
       "name \"COM1\" names a device"},
      {"a device name with an extension, in lower case",
       [](const BuildCase& c) { AddFile(c.main() / "sub" / "con.txt", 5); },
       {},
       "main/sub/con.txt",
       "name \"sub\\con.txt\" names a device"},
      {"a folder named as a device",
       [](const BuildCase& c) { AddFile(c.lang() / "Nul" / "OPStbResFRA.dll", 5); },
       {},
       "lang/Nul/OPStbResFRA.dll",
       "name \"Nul\\OPStbResFRA.dll\" names a device"},
      {"two names equal but for case",
       [](const BuildCase& c) { AddFile(c.main() / "SUB" / "tool.dll", 5); },
       {},
       "main/sub/tool.dll",
       "name \"sub\\tool.dll\" equals \"SUB\\tool.dll\" but for case"},
      {"a data file shorter than its header",
       [](const BuildCase& c) { AddFile(c.main() / "DETECT.DAT", 51); },
       {},
       "main/DETECT.DAT",
       "data file shorter than 52 bytes"},
      {"a short data file in a subfolder, named in lower case",
       [](const BuildCase& c) { AddFile(c.main() / "sub" / "repair.dat", 10); },
       {},
       "main/sub/repair.dat",
       "data file shorter than 52 bytes"},
      {"a main folder without the install script",
       [](const BuildCase& c) { fs::remove(c.main() / "ORQSCRIP.OSC"); },
       {},
       "main",
       "no install script ORQSCRIP.OSC"},
      {"--no-record naming no file",
       [](const BuildCase&) {},
       {"--no-record", "sub/missing.dll"},
       "sub/missing.dll",
       "--no-record names no file of the main folder",
       false},
  };
  return cases;
}

TEST(BuildRefuses, EachFileTheInstallerCouldNotGiveBack) {
  for (const Case& refusal : Refusals()) {
    SCOPED_TRACE(refusal.what);
    BuildCase build;
    refusal.prepare(build);
    const ToolRun run = build.Build(refusal.extra_args);
    EXPECT_EQ(run.exit_code, 1);
    const std::string subject = refusal.subject_in_scratch
                                    ? (build.main().parent_path() / refusal.subject).string()
                                    : refusal.subject;
    const std::string expected = "omnipack: " + subject + ": " + refusal.reason;
    EXPECT_NE(run.err.find(expected), std::string::npos)
        << "want: " << expected << "\ngot: " << run.err;
    EXPECT_FALSE(fs::exists(build.out()));
    EXPECT_FALSE(fs::exists(build.out().string() + ".part"));
  }
}

TEST(BuildRefuses, EveryOffendingFileAtOnce) {
  BuildCase build;
  AddFile(build.main() / "a.txt", 0);
  AddFile(build.lang() / "b.tmp", 4);
  const ToolRun run = build.Build({});
  EXPECT_EQ(run.exit_code, 1);
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_EQ(lines.size(), 2u) << run.err;
  EXPECT_NE(lines[0].find("a.txt: empty file"), std::string::npos);
  EXPECT_NE(lines[1].find("b.tmp: name ends in"), std::string::npos);
}

struct Limit {
  const char* what;
  std::function<void(const BuildCase&)> prepare;
  std::vector<std::string> extra_args;
};

TEST(BuildAccepts, NamesAndSizesAtTheLimitsAndTheyVerify) {
  const std::vector<Limit> limits = {
      {"a 143-character name with a record",
       [](const BuildCase& c) { AddFile(c.main() / std::string(143, 'r'), 3); },
       {}},
      {"a longer name without a record",
       [](const BuildCase& c) { AddFile(c.main() / std::string(200, 'r'), 3); },
       {"--no-record", std::string(200, 'R')}},
      {"a 259-character name without a record",
       [](const BuildCase& c) { AddFile(c.main() / kLongFolder / std::string(58, 'n'), 3); },
       {"--no-record", kLongFolder + "\\" + std::string(58, 'n')}},
      {"a data file of exactly its header",
       [](const BuildCase& c) { AddFile(c.main() / "sub" / "deeper" / "repair.DAT", 52); },
       {}},
  };
  for (const Limit& limit : limits) {
    SCOPED_TRACE(limit.what);
    BuildCase build;
    limit.prepare(build);
    const ToolRun run = build.Build(limit.extra_args);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    // Verify decodes every entry and checks each record's CRC against the file it gives.
    const ToolRun verify = RunTool({"verify", build.out().string()});
    EXPECT_EQ(verify.exit_code, 0) << verify.out;
  }
}

}  // namespace
}  // namespace tool_test
