#!/usr/bin/env bash
# Whole installers under Wine (and Xvfb for their boxes): each scenario builds an installer from a
# fixture with omnipack, runs it as a real Windows program and checks its exit code, install log,
# boxes, completion record and what it leaves in the temporary folder.
#
#   tests/e2e/run.sh [WIN32_BUILD]    (default build/win32; dist/ must be staged)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The boxes and windows need a display: one of the run's own when there is none.
[ -n "${DISPLAY:-}" ] || exec "$root/tools/with-display" "$0" "$@"
win32=${1:-$root/build/win32}
here="$root/tests/e2e"
source "$here/harness.sh"
source "$here/shell_scenarios.sh"
source "$here/install_scenarios.sh"
source "$here/query_scenarios.sh"
source "$here/signing_scenarios.sh"
source "$here/settings_scenarios.sh"
source "$here/package_scenarios.sh"
source "$here/check_scenarios.sh"
source "$here/library_scenarios.sh"
source "$here/wizard_scenarios.sh"
source "$here/running_product_scenarios.sh"

[ "$failures" = 0 ] || { echo "$failures end-to-end check(s) failed"; exit 1; }
