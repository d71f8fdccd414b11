#!/usr/bin/env bash
# Installs a built tree into a scratch folder (DESTDIR, prefix /usr) and checks what lands there:
# the file list, the desktop entry, the AppStream description, the udev rule, the man page, and
# that the installed corvanectl keeps its data in the user's config folder, not beside itself.
#   check-install-tree.sh BUILD-DIR APP-ID
set -euo pipefail
build=$1
app_id=$2
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/corvane-install-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-install-tree: $*" >&2; exit 1; }

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null

expected=(
  usr/bin/corvane
  usr/bin/corvanectl
  usr/lib/udev/rules.d/70-corvane-keyboard.rules
  "usr/share/applications/$app_id.desktop"
  "usr/share/metainfo/$app_id.metainfo.xml"
  usr/share/man/man1/corvanectl.1.gz
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
actual=$(cd "$scratch/root" && find . -type f -o -type l | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$actual" = "$wanted" ] || fail "installed files differ from the list:
$(diff <(echo "$wanted") <(echo "$actual") || true)"

for size in 16 22 24 32 48 64 128 256; do
  png="$scratch/root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "icon $size is $dims"
done

desktop-file-validate "$scratch/root/usr/share/applications/$app_id.desktop" ||
  fail "the desktop entry does not validate"
grep -qx 'Categories=Settings;HardwareSettings;' "$scratch/root/usr/share/applications/$app_id.desktop" ||
  fail "the desktop entry is not in Settings;HardwareSettings;"
grep -qx "Icon=$app_id" "$scratch/root/usr/share/applications/$app_id.desktop" ||
  fail "the desktop entry does not name the installed icon"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    fail "the AppStream description does not validate"
else
  echo "check-install-tree: appstreamcli is missing; the AppStream description is not validated"
fi
"$here/check-udev-rule.sh" "$scratch/root/usr/lib/udev/rules.d/70-corvane-keyboard.rules" >/dev/null

if command -v man >/dev/null && command -v groff >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -l "$scratch/root/usr/share/man/man1/corvanectl.1.gz" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "the man page has faults: $warnings"
fi

# The installed tool is an installed copy: its data goes to the user's config folder.
mkdir -p "$scratch/run"
XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run" \
  "$scratch/root/usr/bin/corvanectl" macros || fail "the installed corvanectl does not run"
[ -f "$scratch/config/corvane/config/config.ini" ] || fail "the installed copy did not use ~/.config/corvane"
[ ! -e "$scratch/root/usr/bin/config" ] || fail "the installed copy wrote beside itself"
echo "check-install-tree: the installation is complete"
