#!/usr/bin/env bash
# check-package.sh [DEB]: checks the Debian package (built by package.sh when none is given) the
# way a service desk receives it. lintian must find no error; then a clean Debian 12 root made by
# debootstrap from the machine's Debian mirror installs the package with apt and its dependencies,
# the udev rule, desktop entry, icons and metadata must be in place, and the program, started
# offscreen as an ordinary user, must still run after a few seconds and end when asked.
# Needs root and a few minutes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
umask 022

if [ "$(id -u)" -ne 0 ]; then
  echo "check-package.sh needs root (debootstrap, chroot)" >&2
  exit 1
fi
"$top/scripts/install-deps.sh" debootstrap lintian file

deb=${1:-}
if [ -z "$deb" ]; then
  deb=$("$top/scripts/package.sh" | tail -n 1)
fi
deb=$(realpath "$deb")

failures=0
pass() { echo "ok: $*"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The first URI that apt's configured sources give for a suite, from one-line and deb822 files.
mirror_for() {
  local suite=$1
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null \
    | awk -v suite="$suite" '$1 == "deb" {
        i = 2
        if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
        if ($(i + 1) == suite) print $i
      }'
  cat /etc/apt/sources.list.d/*.sources 2>/dev/null \
    | awk -v suite="$suite" 'BEGIN { RS = "" } {
        types = ""; uris = ""; suites = ""
        n = split($0, lines, "\n")
        for (k = 1; k <= n; k++) {
          line = lines[k]
          if (sub(/^Types:[ \t]*/, "", line)) types = " " line " "
          else if (sub(/^URIs:[ \t]*/, "", line)) uris = line
          else if (sub(/^Suites:[ \t]*/, "", line)) suites = line
        }
        if (types !~ / deb /) next
        m = split(suites, names, /[ \t]+/)
        for (j = 1; j <= m; j++)
          if (names[j] == suite) { split(uris, u, /[ \t]+/); print u[1] }
      }'
}

work=$(mktemp -d /var/tmp/r4xx-check.XXXXXX)
chmod 755 "$work"
root="$work/root"
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  # Never delete through a mount that is still in place.
  if findmnt -rn -o TARGET | grep -q "^$work/"; then
    echo "left $work in place: something is still mounted in it" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
cp "$deb" "$work/"

echo "== lintian $(basename "$deb")"
# As an ordinary user, the way lintian wants to run.
install -d -o nobody "$work/lintian"
lintian_output=$(setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env HOME="$work/lintian" TMPDIR="$work/lintian" \
  lintian --info --display-info --pedantic "$work/$(basename "$deb")" 2>&1) || true
echo "${lintian_output:-(no tags)}"
if grep -q '^E: ' <<<"$lintian_output"; then
  fail "lintian reports errors"
else
  pass "lintian reports no error"
fi

mirror=$(mirror_for bookworm | head -n 1)
security=$(mirror_for bookworm-security | head -n 1)
if [ -z "$mirror" ]; then
  echo "no Debian 12 (bookworm) mirror in /etc/apt/sources.list*" >&2
  exit 1
fi

echo "== debootstrap bookworm from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 \
  || { tail -n 20 "$work/debootstrap.log"; exit 1; }
{
  echo "deb $mirror bookworm main"
  echo "deb $mirror bookworm-updates main"
  if [ -n "$security" ]; then echo "deb $security bookworm-security main"; fi
} >"$root/etc/apt/sources.list"
mount -t proc proc "$root/proc"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }

echo "== apt-get install $(basename "$deb")"
cp "$deb" "$root/tmp/"
chmod 644 "$root/tmp/$(basename "$deb")"
in_root apt-get update -q >/dev/null
# Without recommends: the computed dependencies alone must be enough to run the program.
if in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" >"$root/tmp/apt.log" 2>&1; then
  pass "apt installs the package and its dependencies"
else
  tail -n 20 "$root/tmp/apt.log"
  fail "apt could not install the package"
  exit 1
fi

echo "== files in place"
rule="$root/lib/udev/rules.d/70-r4xx-controller.rules"
if [ -f "$rule" ] \
  && grep -Eq 'ATTR\{idVendor\}=="0451".*ATTR\{idProduct\}=="9001".*TAG\+="uaccess"' "$rule" \
  && ! grep -Eq 'MODE:?="?[0-7]*[2367]"?' "$rule"; then
  pass "udev rule for 0451:9001 with the uaccess tag and no world-writable mode"
else
  fail "udev rule missing or wrong: $rule"
fi
desktop="$root/usr/share/applications/r4xx-terminal.desktop"
if [ -f "$desktop" ] && grep -qx 'Exec=r4xx-terminal' "$desktop" && grep -qx 'Icon=r4xx-terminal' "$desktop" \
  && [ -x "$root/usr/bin/r4xx-terminal" ]; then
  pass "desktop entry starts /usr/bin/r4xx-terminal with the icon r4xx-terminal"
else
  fail "desktop entry missing or wrong"
fi
for size in 16 22 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/r4xx-terminal.png"
  if [ -f "$icon" ] && file -b "$icon" | grep -q "PNG image data, $size x $size"; then
    pass "icon ${size}x${size}"
  else
    fail "icon ${size}x${size} missing or of another size"
  fi
done
if ls "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null 2>&1; then
  pass "AppStream metadata"
else
  fail "AppStream metadata missing"
fi

if [ -x "$root/usr/bin/r4xx-cli" ] && [ -f "$root/usr/share/man/man1/r4xx-cli.1.gz" ] \
  && zcat "$root/usr/share/man/man1/r4xx-cli.1.gz" | grep -q '^\.SH EXIT STATUS'; then
  pass "r4xx-cli with its manual page"
else
  fail "r4xx-cli or its manual page missing"
fi
completion="$root/usr/share/bash-completion/completions/r4xx-cli"
if [ -f "$completion" ] && bash -n "$completion" && grep -q 'complete -F _r4xx_cli r4xx-cli' "$completion"; then
  pass "bash completion of r4xx-cli"
else
  fail "bash completion of r4xx-cli missing or broken"
fi

echo "== r4xx-cli as an ordinary user, no controller on the bus"
in_root useradd --create-home engineer
cli() {
  chroot --userspec=engineer:engineer "$root" env -i HOME=/home/engineer PATH=/usr/bin:/bin \
    LANG=C.UTF-8 r4xx-cli "$@"
}
if cli --help | grep -q '^Использование: r4xx-cli'; then pass "r4xx-cli --help"; else fail "r4xx-cli --help"; fi
status=0
cli list >/dev/null 2>"$root/tmp/cli.log" || status=$?
if [ "$status" -eq 3 ] && grep -q 'Контроллер не обнаружен на шине USB' "$root/tmp/cli.log"; then
  pass "r4xx-cli list without a controller: status 3 and the terminal's line"
else
  fail "r4xx-cli list without a controller ended with status $status"
  sed 's/^/  /' "$root/tmp/cli.log"
fi

echo "== r4xx-terminal, offscreen, as an ordinary user"
install -d -m 700 -o "$(in_root id -u engineer)" "$root/tmp/runtime-engineer"
chroot --userspec=engineer:engineer "$root" env -i HOME=/home/engineer PATH=/usr/bin:/bin \
  LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp/runtime-engineer \
  r4xx-terminal >"$root/tmp/run.log" 2>&1 &
program=$!
sleep 5
if kill -0 "$program" 2>/dev/null; then
  pass "still running after 5 seconds"
  kill -TERM "$program"
  status=0
  wait "$program" || status=$?
  # 143: ended by the termination signal it was sent, not by a crash of its own.
  if [ "$status" -eq 143 ]; then pass "ends when asked"; else fail "ended with status $status when asked"; fi
else
  status=0
  wait "$program" || status=$?
  fail "exited by itself within 5 seconds, status $status"
fi
if [ -s "$root/tmp/run.log" ]; then
  echo "its output:"
  sed 's/^/  /' "$root/tmp/run.log"
fi

if [ "$failures" -eq 0 ]; then
  echo "check-package: PASSED"
else
  echo "check-package: $failures check(s) FAILED"
  exit 1
fi
