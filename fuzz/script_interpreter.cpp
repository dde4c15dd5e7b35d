// The script parser and interpreter: the input is an install script. It is loaded from a file as
// the installer loads ORQSCRIP.OSC, then ThisPackage and Main run with the commands this build
// carries out, without a package (INCLUDEGLOBALS finds nothing) and with a reporter that drops
// every line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "fuzz_support.h"
#include "package/container.h"
#include "platform/filesystem.h"
#include "script/interpreter.h"
#include "script/run_state.h"
#include "script/script_loader.h"
#include "shell/run/command_handlers.h"

namespace {

// An empty folder of its own stands for the package folder; it goes at exit.
struct PackageFolder {
  explicit PackageFolder(std::string folder) : path(std::move(folder)) {
    platform::CreateFolder(path);
  }
  ~PackageFolder() { platform::RemoveFolder(path); }
  std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz_support::InputFile input;
  static const PackageFolder package_folder(input.path() + ".pkg");
  const std::string& path = input.Write(data, size);

  fuzz_support::SilentReporter reporter;
  script::RunState state;
  package::PackageFile no_set;
  package::PackageDescriptor no_directory;
  script::LoadedScript loaded =
      script::LoadScript(path, package_folder.path,
                         {reporter, state, shell::CommandHandlers(), &no_set, &no_directory});
  if (loaded.status == status::kOk && script::RunThisPackage(*loaded.context) == status::kOk)
    script::RunMain(*loaded.context);
  return 0;
}
