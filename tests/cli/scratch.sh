# Sourced by the console tests: a scratch folder removed on exit, and how a check fails.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
