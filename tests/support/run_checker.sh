#!/bin/sh
# Runs an independent checker of expected files (a Python script that needs
# only Python's standard library) for ctest, or skips it with one line saying
# why (exit 77, the checkers' SKIP_RETURN_CODE) when Python 3 or a file that
# it needs is absent.
#
# Usage: run_checker.sh PYTHON [NEEDED_FILE...] -- SCRIPT [ARG...]
# PYTHON is the interpreter CMake found: empty or ...-NOTFOUND when none.
python=$1
shift
case $python in
  '' | *-NOTFOUND)
    echo "skipped: no Python 3 interpreter was found when the build was configured"
    exit 77
    ;;
esac
if ! "$python" -c '' >/dev/null 2>&1; then
  echo "skipped: the Python 3 interpreter $python does not run"
  exit 77
fi
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  if [ ! -r "$1" ]; then
    echo "skipped: data absent: $1"
    exit 77
  fi
  shift
done
[ $# -gt 0 ] && shift # the --
exec "$python" "$@"
