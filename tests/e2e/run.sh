#!/usr/bin/env bash
# Whole installers under Wine (and Xvfb for their boxes): each scenario builds an installer from a
# fixture with omnipack, runs it as a real Windows program and checks its exit code, install log,
# boxes, completion record and what it leaves in the temporary folder.
#
#   tests/e2e/run.sh [WINDOWS_BUILD]    (default: the tree scripts/windows-tree.sh chooses, with its
#                                        test dist staged)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The boxes and windows need a display: one of the run's own when there is none.
[ -n "${DISPLAY:-}" ] || exec "$root/tools/with-display" "$0" "$@"
source "$root/scripts/windows-tree.sh"
windows_build=${1:-$windows_build}
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

# A failed check outside a scenario fails the suite too.
[ "$failures" = 0 ] || [ "$scenarios_failed" -gt 0 ] || scenarios_failed=1
echo "end-to-end scenarios: $scenarios_ok ok, $scenarios_failed failed"
[ "$failures" = 0 ] || { echo "$failures end-to-end check(s) failed"; exit 1; }
