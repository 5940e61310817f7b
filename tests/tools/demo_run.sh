# What the demo's end-to-end tests share; sourced with the repository and the build folder:
# `folder`, a fresh folder removed at exit; `run_demo`, which runs scripts/run-demo.sh into it;
# `fail` and `expect`, which judge its summary.
repo="$1"
build="$2"
folder="$(mktemp -d)"
trap 'rm -rf "${folder}"' EXIT

# Runs the demo with the given environment settings (NAME=value ...), keeping what it printed in
# `output` and its exit status in `status`.
run_demo() {
  output="$(env "$@" bash "${repo}/scripts/run-demo.sh" "${build}" "${folder}" 2>&1)"
  status=$?
}
fail() {
  echo "FAIL: $1" >&2
  echo "${output}" >&2
  exit 1
}
# The exit status must be $1.
expect_status() {
  [ "${status}" -eq "$1" ] || fail "exit status ${status}, expected $1"
}
# The output must hold the line $1 exactly.
expect() {
  grep -qxF -- "$1" <<< "${output}" || fail "missing line: $1"
}
