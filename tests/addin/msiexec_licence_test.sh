#!/usr/bin/env bash
# The add-in in a real setup: wine msiexec installs msiexec.msi, whose licence dialog runs
# WatchScroll from the package's own Binary table (in Wine's custom action server, a process of
# its own), and a user scrolls the licence with the keyboard through xdotool. Checks that a key
# at the top leaves the watch running and that the end of the text ends it; the setup itself
# then checks with the dialog probe that Next is enabled and refuses to go on unless
# LicenseViewed is set, so it completes only when all of that holds.
# Runs in the Wine session (display and prefix).
# Usage: msiexec_licence_test.sh <wine loader> <trellum_dialog_probe.exe> <msiexec.msi> <work folder>
set -Eeuo pipefail
wine=$1
probe_exe=$2
package=$3
work=$4

mkdir -p "$work"
log=$work/msiexec.log
rm -f "$log"
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }

# Whatever stops the script says so, with the setup's log.
trap 'fail "line $LINENO: $BASH_COMMAND ended with $?"' ERR

fail() {
  trap - ERR
  echo "FAIL: $*"
  [ -f "$log" ] && tr -d '\r' <"$log" | tail -n 20
  exit 1
}

# A probe that fails (Wine busy starting a process, say) is a line that matches nothing.
probe() { "$wine" "$probe_exe" "$1" 2>/dev/null | tr -d '\r' || true; }
# The value of one field of a probe line.
field() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" <<<"$2"; }
# Probes a dialog until the line matches the pattern, for at most the given seconds.
await() {
  local title=$1 pattern=$2 seconds=$3 line
  for _ in $(seq $((seconds * 4))); do
    line=$(probe "$title")
    if [[ $line =~ $pattern ]]; then
      echo "$line"
      return 0
    fi
    sleep 0.25
  done
  fail "dialog \"$title\" never showed $pattern (last: $line)"
}

"$wine" msiexec /i "$(windows_path "$package")" PROBE="$(windows_path "$probe_exe")" \
  /l*v "$(windows_path "$log")" >/dev/null 2>&1 &
installer=$!
trap 'kill "$installer" 2>/dev/null || true' EXIT

# The watch is up when both hook properties are on the dialog; Next is still disabled.
line=$(await "Licence agreement" "found=1 hooks=2 viewed=0 next=0" 60)
echo "watching: $line"

# A key released at the top of the text: the watch goes on.
text=$(field text "$line")
xdotool mousemove "${text%,*}" "${text#*,}" click 1
xdotool key Down
sleep 1.5
line=$(probe "Licence agreement")
[[ $line =~ "hooks=2 viewed=0 next=0" ]] || fail "a key at the top ended the watch: $line"

# Ctrl+End scrolls to the end; its key release ends the watch and the setup goes on by itself.
xdotool key ctrl+End
for _ in $(seq 240); do
  kill -0 "$installer" 2>/dev/null || break
  sleep 0.25
done
kill -0 "$installer" 2>/dev/null && fail "the setup did not end after the end of the licence was reached"
status=0
wait "$installer" || status=$?
trap - EXIT
log_text=$(tr -d '\r' <"$log")
grep -q "NextEnabledCheck. Return value 1" <<<"$log_text" || fail "the setup's own check did not see Next enabled"
grep -q "LicenseViewed = 1" <<<"$log_text" || fail "LicenseViewed not set"
[ "$status" -eq 0 ] || fail "msiexec ended with $status"
echo "setup completed: Next enabled by the watch, LicenseViewed = 1"
