#include "script/package_fetch.h"

#include <optional>

#include "base/path.h"
#include "package/fetch.h"

namespace script {

namespace {

// The run's package as a fetch sees it; none when the run has no opened package, which there is
// nothing to extract from.
std::optional<package::PackageRun> RunOf(ScriptContext& context) {
  if (context.env.main_set == nullptr || context.env.descriptor == nullptr)
    return std::nullopt;
  return package::PackageRun{*context.env.main_set, context.package_folder, *context.env.descriptor,
                             context.env.reporter, context.fetched_files};
}

}  // namespace

Status FetchFromPackage(ScriptContext& context, std::string_view name, std::string& path,
                        platform::File* opened) {
  std::optional<package::PackageRun> run = RunOf(context);
  if (!run)
    return status::kExtractFailed;
  return package::FetchPackageFile(*run, name, path, base::kPathCapacity, /*verify=*/true, opened);
}

bool DecodesFromPackage(ScriptContext& context, std::string_view name) {
  std::optional<package::PackageRun> run = RunOf(context);
  return run && !package::TakenFromPackageFolder(*run, name);
}

Status DecodeFromPackage(ScriptContext& context, std::string_view name, platform::File& into) {
  std::optional<package::PackageRun> run = RunOf(context);
  if (!run)
    return status::kExtractFailed;
  return package::DecodePackageFile(*run, name, into);
}

}  // namespace script
