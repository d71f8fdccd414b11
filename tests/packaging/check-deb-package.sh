#!/usr/bin/env bash
# Builds the Debian package from a built tree, inspects it, installs it into a scratch root with
# dpkg and removes it again, and runs its maintainer scripts against a stand-in udevadm.
#   check-deb-package.sh BUILD-DIR APP-ID
set -euo pipefail
build=$1
app_id=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/corvane-deb-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-deb-package: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$scratch/cpack.log")"
deb=$(ls "$scratch"/out/corvane_*.deb)

# The control data: name, the dependencies dpkg-shlibdeps found, the udev hook.
info=$(dpkg-deb -I "$deb")
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = corvane ] || fail "the package is not called corvane"
depends=$(field Depends)
dependency_names=$(sed 's/, /\n/g' <<<"$depends" | awk '{print $1}')
for lib in libc6 libqt6widgets6 libqt6gui6 libqt6core6 libhidapi-hidraw0 libudev1 libstdc++6; do
  grep -qxF "$lib" <<<"$dependency_names" || fail "Depends lacks $lib: $depends"
done
grep -q ' postinst ' <<<"$info" || fail "no postinst"
grep -q ' postrm ' <<<"$info" || fail "no postrm"

# The files: programs, rule, desktop entry, icons, description, man page, nothing else.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort)
expected=$(printf '%s\n' usr/bin/corvane usr/bin/corvanectl \
  usr/lib/udev/rules.d/70-corvane-keyboard.rules "usr/share/applications/$app_id.desktop" \
  "usr/share/metainfo/$app_id.metainfo.xml" usr/share/man/man1/corvanectl.1.gz \
  $(for s in 16 22 24 32 48 64 128 256; do echo "usr/share/icons/hicolor/${s}x${s}/apps/$app_id.png"; done) | sort)
[ "$files" = "$expected" ] || fail "the package's files differ:
$(diff <(echo "$expected") <(echo "$files") || true)"
dpkg-deb -c "$deb" | awk '{print $2}' | grep -qv '^root/root$' && fail "a file is not owned by root"

# The maintainer scripts: udev reloads its rules and applies them to the hidraw nodes on this
# system, and leaves another root's udev alone.
dpkg-deb -e "$deb" "$scratch/control"
mkdir -p "$scratch/bin"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$scratch/udevadm.log" >"$scratch/bin/udevadm"
chmod +x "$scratch/bin/udevadm"
env -u DPKG_ROOT PATH="$scratch/bin:$PATH" sh "$scratch/control/postinst" configure
env -u DPKG_ROOT PATH="$scratch/bin:$PATH" sh "$scratch/control/postrm" remove
[ "$(cat "$scratch/udevadm.log")" = "control --reload-rules
trigger --subsystem-match=hidraw --action=change
control --reload-rules" ] || fail "the scripts called udevadm as: $(cat "$scratch/udevadm.log")"
rm "$scratch/udevadm.log"
DPKG_ROOT=/elsewhere PATH="$scratch/bin:$PATH" sh "$scratch/control/postinst" configure
[ ! -e "$scratch/udevadm.log" ] || fail "the postinst reloaded this system's udev for another root"

# Install into a scratch root and remove it again.
if [ "$(id -u)" -ne 0 ]; then
  echo "check-deb-package: not root, so dpkg cannot install into a scratch root (it must own the"
  echo "files as root); the file list above was checked instead"
  exit 0
fi
root="$scratch/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
# The scratch root has none of the libraries, hence --force-depends; the scripts run outside it.
dpkg_root() { dpkg --root="$root" --force-script-chrootless --log=/dev/null "$@"; }
dpkg_root --force-depends -i "$deb" >"$scratch/dpkg.log" 2>&1 || fail "dpkg -i failed: $(cat "$scratch/dpkg.log")"
[ "$(dpkg_root -s corvane 2>/dev/null | grep '^Status:')" = "Status: install ok installed" ] ||
  fail "the package is not installed"
for f in $expected; do
  [ -f "$root/$f" ] || fail "$f was not installed"
done
dpkg_root --purge corvane >"$scratch/dpkg.log" 2>&1 || fail "dpkg --purge failed: $(cat "$scratch/dpkg.log")"
left=$(cd "$root" && find . -path ./var -prune -o -print | grep -v '^\.$' || true)
[ -z "$left" ] || fail "files were left after the purge: $left"
echo "check-deb-package: $(basename "$deb") builds, installs and removes cleanly"
