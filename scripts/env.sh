# Sourced by the scripts: where the build lives, and a private runtime folder
# for Qt when the session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -w "${XDG_RUNTIME_DIR}" ]; then
  export XDG_RUNTIME_DIR="$(mktemp -d /tmp/tomeric-runtime.XXXXXX)"
  chmod 700 "$XDG_RUNTIME_DIR"
fi
TOMERIC_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TOMERIC_BUILD="${TOMERIC_BUILD:-$TOMERIC_ROOT/build}"
# ccache keys on paths relative to the checkout, so a fresh clone (CI) reuses
# what an earlier build of the same sources compiled.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$TOMERIC_ROOT}"
export CCACHE_NOHASHDIR=true
