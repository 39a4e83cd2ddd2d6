# Sourced by every script: works from the repository's root, with one default for the number
# of parallel jobs (the machine's cores) that --jobs N replaces.
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
jobs=$(nproc)

# usage_error MESSAGE: the script's usage (its header comment) and exit code 2.
usage_error() {
  echo "$(basename "$0"): $1" >&2
  sed -n '2,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
  exit 2
}

# stop_wine_prefix PREFIX: ends the Wine server of that prefix, with every program in it.
stop_wine_prefix() {
  WINEPREFIX="$1" "${WINESERVER:-/usr/lib/wine/wineserver64}" -k 2>/dev/null || true
}
