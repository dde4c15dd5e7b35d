// omnipack check: each script of the table gives exactly its findings, with the status the
// installer gives at that line; the committed scripts give no error; the command and build use it.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "finding_writer.h"
#include "script_check.h"
#include "tool_test_support.h"

namespace tool_test {
namespace {

using omnipack::CheckedPackage;
using omnipack::Finding;
using omnipack::PackagedFile;

// A package in memory: the script and files with their texts; a name in no_record has no directory
// record.
CheckedPackage PackageOf(const std::string& script, const std::map<std::string, std::string>& files,
                         const std::vector<std::string>& no_record = {}) {
  CheckedPackage package;
  package.script_label = "ORQSCRIP.OSC";
  package.script_text = script;
  package.files.push_back({"ORQSCRIP.OSC", "ORQSCRIP.OSC", true});
  for (const auto& [name, text] : files) {
    const bool record = std::find(no_record.begin(), no_record.end(), name) == no_record.end();
    package.files.push_back({name, name, record});
  }
  package.read_text = [files](const PackagedFile& file) -> std::optional<std::string> {
    const auto found = files.find(file.stored_name);
    if (found == files.end())
      return std::nullopt;
    return found->second;
  };
  return package;
}

std::vector<std::string> FindingLines(const CheckedPackage& package) {
  std::vector<std::string> lines;
  for (const Finding& finding : omnipack::CheckScript(package))
    lines.push_back(omnipack::FindingLine(finding));
  return lines;
}

// Lines joined with CR LF, as scripts are written.
std::string Script(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

struct CheckCase {
  std::string what;
  std::vector<std::string> script;
  std::map<std::string, std::string> files;
  std::vector<std::string> findings;  // every one, in order
};

TEST(ScriptCheck, EachScriptGivesItsFindings) {
  const std::string long_argument(260, 'x');
  const std::vector<CheckCase> cases = {
      {"a clean script", {"[Main]", "Set a = 1", "Call Sub", "[Sub]", "Return a==1"}, {}, {}},
      {"load errors of the parser, every one of them",
       {"Set a = 1", "[Main]", "Frobnicate x", "Set b = " + long_argument, "Set c = 2"},
       {},
       {"ORQSCRIP.OSC:1: error: a command before the first section (status 4)",
        "ORQSCRIP.OSC:3: error: unknown keyword 'FROBNICATE' (status 2)",
        "ORQSCRIP.OSC:4: error: the argument passes 259 characters (status 3)"}},
      {"no Main",
       {"[Other]", "Set a = 1"},
       {},
       {"ORQSCRIP.OSC:1: error: no section [Main] (status 7)",
        "ORQSCRIP.OSC:1: warning: nothing calls the section [Other]"}},
      {"arguments without their command's form",
       {"[Main]", "Set a", "GetRegValue v HKLM\\SOFTWARE, x", "GetRegValue v = HKXX\\SOFTWARE, x",
        "GetRegValue v = HKLM\\SOFTWARE", "SetRegValue HKLM\\SOFTWARE, name",
        "CreateRegKey HKLM\\SOFTWARE", "GetIniFileValue v = a.ini",
        "GetIniFileValue v = a.ini, Sect", "SetIniFileValue a.ini, S, K", "StringAppend v = a",
        "GetFileVersion v", "Return =1", "UnloadModule v"},
       {},
       {"ORQSCRIP.OSC:2: error: SET: no \"=\" in the argument (status 23)",
        "ORQSCRIP.OSC:3: error: GETREGVALUE: no \"=\" in the argument (status 23)",
        "ORQSCRIP.OSC:4: error: GETREGVALUE: the key starts with no root (HKLM\\, HKCU\\ or "
        "HKLU\\) (status 20)",
        "ORQSCRIP.OSC:5: error: GETREGVALUE: no \",\" after the key (status 22)",
        "ORQSCRIP.OSC:6: error: SETREGVALUE: no \"=\" after the value name (status 21)",
        "ORQSCRIP.OSC:7: error: CREATEREGKEY: no subkey to create after the key's \",\" (status "
        "22)",
        "ORQSCRIP.OSC:8: error: GETINIFILEVALUE: no \",\" in the argument (status 27)",
        "ORQSCRIP.OSC:9: error: GETINIFILEVALUE: no second \",\" in the argument (status 26)",
        "ORQSCRIP.OSC:10: error: SETINIFILEVALUE: no \"=\" after \"file, section, key\" (status "
        "25)",
        "ORQSCRIP.OSC:11: error: STRINGAPPEND: the argument is not \"var = first, second\" (status "
        "2)",
        "ORQSCRIP.OSC:12: error: GETFILEVERSION: no \"=\" in the argument (status 40)",
        "ORQSCRIP.OSC:13: error: RETURN: a condition without a left operand or a comparison "
        "(status 37)",
        "ORQSCRIP.OSC:14: error: UNLOADMODULE: the argument is not \"var = product\" (status 2)"}},
      {"a variable that must be one and that nothing sets; one read before it is set",
       {"[Main]", "SetWorkDir root,CREATE", "SetRegValue HKLM\\SOFTWARE, v = missing",
        "NameStripFile later", "Set later = C:\\x\\y", "MoveFiles later = a.txt"},
       {},
       {"ORQSCRIP.OSC:2: error: SETWORKDIR needs the variable 'root', which no command sets "
        "(status 28)",
        "ORQSCRIP.OSC:3: error: SETREGVALUE needs the variable 'missing', which no command sets "
        "(status 28)",
        "ORQSCRIP.OSC:4: warning: NAMESTRIPFILE reads 'later' before any command sets it"}},
      {"a variable set in a section that Main calls first is set in time",
       {"[Main]", "Call Setup", "SetWorkDir root", "[Setup]", "GetWindowsDir root"},
       {},
       {}},
      {"missing sections, and an INSTALLFILES section with other commands",
       {"[Main]", "Call Nowhere", "ContinueIf Absent", "InstallFiles Files", "[Files]",
        "File readme.txt", "Set a = 1", "CopyFileAs readme.txt=b.txt"},
       {{"readme.txt", "text"}},
       {"ORQSCRIP.OSC:2: error: CALL names no section [Nowhere] (status 4)",
        "ORQSCRIP.OSC:3: error: CONTINUEIF names no section [Absent] (status 4)",
        "ORQSCRIP.OSC:6: error: FILE runs before any SETWORKDIR has set the folder it works in "
        "(status 6)",
        "ORQSCRIP.OSC:7: error: SET in [Files], which INSTALLFILES runs: only FILE and COPYFILEAS "
        "may stand there (status 5)",
        "ORQSCRIP.OSC:8: error: COPYFILEAS runs before any SETWORKDIR has set the folder it "
        "works in (status 6)"}},
      {"package files: missing, matched ignoring case, outside the package, unused",
       {"[Main]", "Set r = C:\\p", "SetWorkDir r", "File BIN\\Engine.DLL", "File bin\\gone.dll",
        "ReplaceFileAs ..\\x.dll=x.dll", "ExtractFileSet a.txt,,gone.txt",
        "CopyFileAs norec.txt=n"},
       {{"bin\\engine.dll", "x"}, {"a.txt", "x"}, {"unused.txt", "x"}, {"norec.txt", "x"}},
       {"ORQSCRIP.OSC:5: error: FILE needs 'bin\\gone.dll', which the package does not hold "
        "(status 29)",
        "ORQSCRIP.OSC:6: error: REPLACEFILEAS needs '..\\x.dll', which the package does not hold "
        "(status 29)",
        "unused.txt:1: warning: no command of the script uses this file"}},
      {"folders of the system and root keys",
       {"[Main]", "DeleteDirectory C:\\,TRUE", "GetWindowsDir win", "Set w = win",
        "DeleteDirectory w,TRUE", "GetSystemDir sys", "DeleteDirectory sys",
        "DeleteDirectory \\\\server\\share\\", "DeleteDirectory C:\\Temp\\Old,TRUE",
        "DeleteRegKey HKLM\\, TRUE", "SetRegValue hkcu\\\\, v = w",
        "DeleteRegValue HKLM\\SOFTWARE, x"},
       {},
       {"ORQSCRIP.OSC:2: error: DELETEDIRECTORY of the root 'C:\\': the installer refuses it "
        "(status 10)",
        "ORQSCRIP.OSC:5: error: DELETEDIRECTORY of the Windows folder: the installer refuses it "
        "(status 10)",
        "ORQSCRIP.OSC:7: error: DELETEDIRECTORY of the system folder: the installer refuses it "
        "(status 10)",
        "ORQSCRIP.OSC:8: error: DELETEDIRECTORY of the root '\\\\server\\share\\': the installer "
        "refuses it (status 10)",
        "ORQSCRIP.OSC:10: error: DELETEREGKEY acts on a root key itself",
        "ORQSCRIP.OSC:11: error: SETREGVALUE acts on a root key itself"}},
      {"literal folders of the system, however spelt, and folders that only look like them",
       {"[Main]", "DeleteDirectory C:\\WINDOWS", "DeleteDirectory c:/windows/system32/,TRUE",
        "DeleteDirectory C:\\Temp\\..\\.\\Windows", "Set s = C:\\Windows\\System32",
        "DeleteDirectory s", "DeleteDirectory C:\\Windows\\Temp", "DeleteDirectory C:\\WindowsOld",
        "DeleteDirectory D:\\Windows", "DeleteDirectory C:\\Windows\\System",
        "DeleteDirectory \\\\?\\C:\\Windows", "DeleteDirectory C:", "DeleteDirectory Windows",
        "DeleteDirectory C:\\Temp\\.."},
       {},
       {"ORQSCRIP.OSC:2: error: DELETEDIRECTORY of 'C:\\WINDOWS', the Windows folder of a system "
        "installed in its default place: the installer refuses it (status 10)",
        "ORQSCRIP.OSC:3: error: DELETEDIRECTORY of 'c:/windows/system32/', the system folder of an "
        "NT-family system installed in its default place: the installer refuses it (status 10)",
        "ORQSCRIP.OSC:4: error: DELETEDIRECTORY of 'C:\\Temp\\..\\.\\Windows', the Windows folder "
        "of a system installed in its default place: the installer refuses it (status 10)",
        "ORQSCRIP.OSC:6: error: DELETEDIRECTORY of 'C:\\Windows\\System32', the system folder of "
        "an NT-family system installed in its default place: the installer refuses it (status 10)",
        "ORQSCRIP.OSC:14: error: DELETEDIRECTORY of the root 'C:\\Temp\\..': the installer refuses "
        "it (status 10)"}},
      {"commands in the work directory before any SETWORKDIR, in the order the run takes",
       {"[Main]", "File a.txt", "Call Files", "Call Setup", "ReplaceFileAs a.txt=b.txt",
        "RenameFile b.txt=d.txt", "Register lib.dll", "[Setup]", "Set r = C:\\p", "SetWorkDir r",
        "[Files]", "CopyFileAs a.txt=c.txt", "RenameFile c.txt=e.txt", "Register lib.dll",
        "[Spare]", "File a.txt"},
       {{"a.txt", "x"}},
       {"ORQSCRIP.OSC:2: error: FILE runs before any SETWORKDIR has set the folder it works in "
        "(status 6)",
        "ORQSCRIP.OSC:12: error: COPYFILEAS runs before any SETWORKDIR has set the folder it "
        "works in (status 6)",
        "ORQSCRIP.OSC:13: error: RENAMEFILE runs before any SETWORKDIR has set the folder it "
        "works in (status 6)",
        "ORQSCRIP.OSC:14: error: REGISTER runs before any SETWORKDIR has set the folder it works "
        "in (status 6)",
        "ORQSCRIP.OSC:15: warning: nothing calls the section [Spare]"}},
      {"GETORQINIPATH, which always fails",
       {"[Main]", "GetOrqIniPath path"},
       {},
       {"ORQSCRIP.OSC:2: error: GETORQINIPATH always fails: the installer never locates the "
        "console's INI file (status 38)"}},
      {"sections nothing calls, a second section of a name, cycles",
       {"[Main]", "Call A", "[A]", "Call B", "[B]", "Call A", "[Self]", "Call Self", "[A]",
        "Set x = 1"},
       {},
       {"ORQSCRIP.OSC:6: warning: sections call each other in a cycle (A -> B -> A): the run stops "
        "them with 3 when they nest 64 deep or start 100,000 times",
        "ORQSCRIP.OSC:7: warning: nothing calls the section [Self]",
        "ORQSCRIP.OSC:8: warning: sections call each other in a cycle (Self -> Self): the run "
        "stops them with 3 when they nest 64 deep or start 100,000 times",
        "ORQSCRIP.OSC:9: warning: a second section [A]: every call runs the first, this one never "
        "runs"}},
      {"unquoted program paths with blanks, and waits over the bound",
       {"[Main]", "StartOrqApps C:\\Program Files\\P\\p.exe /tray,\"C:\\Program Files\\Q\\q.exe\"",
        "StartOrqApps C:\\P\\p.exe /tray /x", "Set long = 300001", "WaitForTime long",
        "WaitForTime 300000", "WaitForTime 4294967295"},
       {},
       {"ORQSCRIP.OSC:2: warning: STARTORQAPPS: the program path in 'C:\\Program Files\\P\\p.exe "
        "/tray' holds blanks and is not quoted",
        "ORQSCRIP.OSC:5: warning: WAITFORTIME 300001 is longer than 300000 ms: the wait is cut to "
        "that",
        "ORQSCRIP.OSC:7: warning: WAITFORTIME 4294967295 is longer than 300000 ms: the wait is cut "
        "to that"}},
      {"the globals file: its SET lines set variables, its faults are named at its own lines",
       {"[ThisPackage]", "IncludeGlobals globals.txt", "[Main]", "SetWorkDir root",
        "IncludeGlobals globals.txt"},
       {{"globals.txt", "; globals\r\nSet root = C:\\p\r\n\r\nSet broken\r\n"}},
       {"ORQSCRIP.OSC:5: error: INCLUDEGLOBALS runs only in [ThisPackage] (status 2)",
        "globals.txt:4: error: SET: no \"=\" in the argument (status 23)"}},
      {"a globals file with another command, and one that is missing",
       {"[ThisPackage]", "IncludeGlobals g.txt", "IncludeGlobals none.txt", "[Main]"},
       {{"g.txt", "Set a = 1\r\n  Call Main\r\n"}},
       {"ORQSCRIP.OSC:3: error: INCLUDEGLOBALS needs 'none.txt', which the package does not hold "
        "(status 29)",
        "g.txt:2: error: only SET lines may stand in a globals file, not 'CALL' (status 2)"}},
  };
  for (const CheckCase& check : cases) {
    SCOPED_TRACE(check.what);
    EXPECT_EQ(FindingLines(PackageOf(Script(check.script), check.files)), check.findings);
  }
}

TEST(ScriptCheck, AnEmptyScriptAndAFileWithoutRecord) {
  // The installer stops at the empty file: there is nothing more to say.
  EXPECT_EQ(FindingLines(PackageOf("", {})),
            (std::vector<std::string>{"ORQSCRIP.OSC:1: error: the script is empty (status 8)"}));
  EXPECT_EQ(FindingLines(
                PackageOf(Script({"[Main]", "ExtractFileSet a.txt"}), {{"a.txt", "x"}}, {"a.txt"})),
            (std::vector<std::string>{
                "ORQSCRIP.OSC:2: warning: EXTRACTFILESET fetches 'a.txt', which has no directory "
                "record: the installer refuses it (42)"}));
}

// The staged copies of the committed scripts: what the scenarios and the demo add to a package
// before they build it is added here too, with @ROOT@ as the scenarios replace it.
TEST(ScriptCheck, CommittedScriptsHaveNoErrors) {
  const fs::path root = fs::path(OMNI_FIXTURES).parent_path().parent_path();
  std::vector<fs::path> scripts;
  for (const fs::path& folder : {root / "examples", root / "tests" / "fixtures", root / "bench"}) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      const std::string extension = entry.path().extension().string();
      if (entry.is_regular_file() &&
          (entry.path().filename() == "ORQSCRIP.OSC" || extension == ".osc"))
        scripts.push_back(entry.path());
    }
  }
  ASSERT_GE(scripts.size(), 20u);
  for (const fs::path& script : scripts) {
    SCOPED_TRACE(script.string());
    TempDir package;
    const fs::path folder = script.parent_path();
    const fs::path files = folder / "files";
    fs::copy(fs::is_directory(files) ? files : folder, package.path(), fs::copy_options::recursive);
    std::string text;
    for (const std::uint8_t byte : ReadBytes(script))
      text += static_cast<char>(byte);
    for (std::size_t at; (at = text.find("@ROOT@")) != std::string::npos;)
      text.replace(at, 6, "C:\\omni-e2e\\product");
    WriteText(package.path() / "ORQSCRIP.OSC", text);
    // The programs and libraries that scenarios copy in from the Win32 build.
    for (const char* added :
         {"bin/zentorasvc.exe", "bin/zentoraeng.dll", "bin/zentora.exe", "zentorasvc.exe",
          "zentoraeng.dll", "zentora.exe", "comreg.dll", "big.bin", "engine.dll", "core.dll"}) {
      fs::create_directories((package.path() / added).parent_path());
      WriteText(package.path() / added, "x");
    }
    const ToolRun run = RunTool({"check", package.path().string()});
    EXPECT_EQ(run.out.find(": error: "), std::string::npos) << run.out;
  }
}

TEST(ScriptCheck, CommandReportsExitCodesAndJson) {
  TempDir dir;
  const fs::path folder = dir.path() / "main";
  fs::create_directories(folder);
  WriteText(folder / "ORQSCRIP.OSC", Script({"[Main]", "Set a", "Call Sub", "[Sub]"}));
  const ToolRun faulty = RunTool({"check", folder.string()});
  EXPECT_EQ(faulty.exit_code, 1);
  EXPECT_EQ(Lines(faulty.out),
            (std::vector<std::string>{(folder / "ORQSCRIP.OSC").string() +
                                          ":2: error: SET: no \"=\" in the argument (status 23)",
                                      "1 error, 0 warnings"}));
  const ToolRun json = RunTool({"check", "--json", folder.string()});
  EXPECT_EQ(json.exit_code, 1);
  EXPECT_NE(json.out.find("\"errors\":1,\"warnings\":0,\"findings\":[{\"file\":\"" +
                          (folder / "ORQSCRIP.OSC").string() +
                          "\",\"line\":2,\"severity\":\"error\",\"text\":\"SET: no \\\"=\\\" in "
                          "the argument\",\"status\":23}]"),
            std::string::npos)
      << json.out;

  WriteText(folder / "ORQSCRIP.OSC", Script({"[Main]", "Set a = 1", "[Spare]"}));
  const ToolRun clean = RunTool({"check", folder.string()});
  EXPECT_EQ(clean.exit_code, 0);
  EXPECT_EQ(Lines(clean.out).back(), "0 errors, 1 warning");

  EXPECT_EQ(RunTool({"check"}).exit_code, 2);
  EXPECT_EQ(RunTool({"check", "--yaml", folder.string()}).exit_code, 2);
  const ToolRun missing = RunTool({"check", (dir.path() / "none.exe").string()});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(Lines(missing.err).size(), 1u) << missing.err;
}

// build checks before it writes: errors stop it unless --no-check; the installer it writes is
// checked the same way from its own main set.
TEST(ScriptCheck, BuildRunsTheCheckFirst) {
  TempDir dir;
  CopyFixtureFolder("main", dir.path() / "main");
  CopyFixtureFolder("lang", dir.path() / "lang");
  const std::string script = (dir.path() / "main" / "ORQSCRIP.OSC").string();
  WriteText(script, Script({"[Main]", "Call Missing", "File readme.txt"}));
  const std::vector<std::string> build = {"build",
                                          "--main",
                                          dir / "main",
                                          "--lang",
                                          dir / "lang",
                                          "--stub",
                                          FixturePath("stub.exe").string(),
                                          "-o",
                                          dir / "out.exe"};
  const ToolRun refused = RunTool(build);
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_FALSE(fs::exists(dir.path() / "out.exe"));
  EXPECT_NE(refused.err.find(script + ":2: error: CALL names no section [Missing] (status 4)"),
            std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("the check found 2 errors, 4 warnings; nothing was built"),
            std::string::npos)
      << refused.err;

  std::vector<std::string> forced = build;
  forced.push_back("--no-check");
  ASSERT_EQ(RunTool(forced).exit_code, 0);
  const ToolRun checked = RunTool({"check", dir / "out.exe"});
  EXPECT_EQ(checked.exit_code, 1);
  EXPECT_NE(checked.out.find(dir / "out.exe" +
                             "(ORQSCRIP.OSC):2: error: CALL names no section [Missing] (status 4)"),
            std::string::npos)
      << checked.out;
  EXPECT_NE(checked.out.find(dir / "out.exe" +
                             "(sub\\tool.dll):1: warning: no command of the script uses this file"),
            std::string::npos)
      << checked.out;
}

}  // namespace
}  // namespace tool_test
