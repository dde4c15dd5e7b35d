#include "script/package_fetch.h"

#include "base/path.h"
#include "package/fetch.h"

namespace script {

Status FetchFromPackage(ScriptContext& context, std::string_view name, std::string& path,
                        platform::File* opened) {
  // Without an opened package there is nothing to extract the file from.
  if (context.env.main_set == nullptr || context.env.descriptor == nullptr)
    return status::kExtractFailed;
  package::PackageRun run{*context.env.main_set, context.package_folder, *context.env.descriptor,
                          context.env.reporter, context.fetched_files};
  return package::FetchPackageFile(run, name, path, base::kPathCapacity, /*verify=*/true, opened);
}

}  // namespace script
