# Sourced by the build scripts: compile through ccache where it is installed, keyed on paths
# relative to the checkout, so a second clone on the same machine (CI's) reuses the first's work.
CACHE_ARGS=()
if command -v ccache >/dev/null; then
  CACHE_ARGS=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
fi
