# Sourced by the build scripts: compile through ccache when it is there, with
# paths taken relative to the checkout, so that another clone of the same
# sources (a CI run, a second worktree) reuses the objects compiled before.
# Only a first configure of a build folder reads these variables.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  CCACHE_BASEDIR="$(pwd -P)"
  export CCACHE_BASEDIR CCACHE_NOHASHDIR=1
fi
