#!/bin/sh
# Runs a command beside a CUPS scheduler of its own: configuration, spool and logs in a fresh
# folder, a Unix socket in it and no network port, no system service touched. Two queues take
# Wine's PostScript: "OrlaPdf", the default, whose backend turns each job into a PDF file, and
# "OrlaRefusing", which accepts no jobs. The command gets CUPS_SERVER (the socket),
# ORLA_TEST_PRINT_PDF (the file the next OrlaPdf job becomes) and ORLA_TEST_CUPS_LOG (the
# scheduler's log). The scheduler is stopped and the folder removed when the command ends; the
# command's exit status is returned.
#
# Usage: with_private_cups.sh <cupsd> <cups-exec> <ps2pdf> <command...>
set -eu
cupsd=$1
cupsexec=$2
ps2pdf=$3
shift 3

# The backend runs as the scheduler's own user only when that is root; another user would
# need a system-wide group setup this script does not make.
if [ "$(id -u)" -ne 0 ]; then
  echo "with_private_cups: skipped, the private scheduler needs root"
  exit 77
fi

dir=$(mktemp -d /tmp/orla-cups-XXXXXX)
pid=
stop() {
  if [ -n "$pid" ]; then
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$dir"
}
trap stop EXIT
trap 'exit 1' INT TERM

mkdir -p "$dir/spool" "$dir/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/out" \
         "$dir/bin/backend" "$dir/bin/daemon" "$dir/bin/filter"
# The scheduler starts its helpers through cups-exec from its own program folder.
ln -s "$cupsexec" "$dir/bin/daemon/cups-exec"

# Readable by root only (0700), so the scheduler runs it as root. Without arguments a backend
# lists the devices it serves.
cat >"$dir/bin/backend/orlapdf" <<EOF
#!/bin/sh
[ \$# -eq 0 ] && { echo 'direct orlapdf "Unknown" "ORLA test PDF printer"'; exit 0; }
out=\${DEVICE_URI#orlapdf:}
if [ -n "\${6:-}" ]; then cp "\$6" "\$out.ps"; else cat >"\$out.ps"; fi || exit 1
"$ps2pdf" "\$out.ps" "\$out.part" && mv "\$out.part" "\$out"
EOF
chmod 0700 "$dir/bin/backend/orlapdf"

cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir
ServerBin $dir/bin
DataDir /usr/share/cups
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
Printcap $dir/printcap
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
SystemGroup root
EOF

cat >"$dir/cupsd.conf" <<EOF
Listen $dir/cups.sock
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF

cat >"$dir/printers.conf" <<EOF
<DefaultPrinter OrlaPdf>
Info ORLA test PDF printer
DeviceURI orlapdf:$dir/out/printed.pdf
State Idle
Accepting Yes
Shared No
</DefaultPrinter>
<Printer OrlaRefusing>
Info ORLA test printer that takes no jobs
DeviceURI orlapdf:$dir/out/refused.pdf
State Idle
Accepting No
Shared No
</Printer>
EOF
chmod 0600 "$dir/printers.conf"

"$cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
pid=$!
# The socket is made once the configuration and the queues are loaded.
for _ in $(seq 100); do
  [ -S "$dir/cups.sock" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -S "$dir/cups.sock" ]; then
  echo "with_private_cups: the scheduler did not start" >&2
  cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
  exit 1
fi

export CUPS_SERVER="$dir/cups.sock"
export ORLA_TEST_PRINT_PDF="$dir/out/printed.pdf"
export ORLA_TEST_CUPS_LOG="$dir/log/error_log"
status=0
"$@" || status=$?
if [ "$status" -ne 0 ]; then
  echo "with_private_cups: the scheduler's log:" >&2
  grep -E '^[EW] ' "$dir/log/error_log" >&2 || true
fi
exit "$status"
