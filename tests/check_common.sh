# The opening the shell checks share, sourced first: unset variables are
# errors, $dir is a scratch directory removed on exit, and $failed turns 1 at
# the first failed expectation (exit "$failed" at the end).
#
#   . "$(dirname "$0")/check_common.sh"
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0

# expect <description> <condition...>: one "ok" or "FAIL" line
expect() {
  what="$1"; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failed=1; fi
}
