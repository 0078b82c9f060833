#!/usr/bin/env bash
# Builds the Debian package from the optimised build and checks it without
# installing it: its metadata and contents, lintian (no errors), and the
# unpacked program, manual page, launcher, Wayland helper and completion run
# from a temporary folder. Skipped, saying why, where the dpkg tools are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

for tool in dpkg-deb dpkg-shlibdeps lintian cpack man; do
  if ! command -v "$tool" >/dev/null; then
    echo "Package tests skipped: $tool is not installed (tools/setup.sh installs it on Debian)."
    exit 0
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
expect_in() {  # expect_in WHAT TEXT PIECE...
  local what=$1 text=$2 piece
  shift 2
  for piece in "$@"; do
    grep -qF -- "$piece" <<<"$text" || fail "$what lacks \"$piece\""
  done
}

tools/package.sh "$work" >"$work/package.log" 2>&1 || { cat "$work/package.log" >&2; exit 1; }
deb=$(ls "$work"/orvel-disk-image_*_amd64.deb)
echo "Package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

info=$(dpkg-deb --info "$deb")
expect_in "dpkg-deb --info" "$info" "Package: orvel-disk-image" "Architecture: amd64" "Maintainer: " \
  "Section: admin" "pkexec" "qt6-wayland" "fonts-liberation2" "libqt6widgets6" "libc6"
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"

contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/orvel-disk-image \
  ./usr/libexec/orvel-disk-image/orvel-disk-image-desktop \
  ./usr/libexec/orvel-disk-image/orvel-disk-image-wayland \
  ./usr/share/applications/org.orvel.disk-image.desktop \
  ./usr/share/polkit-1/actions/org.orvel.disk-image.policy \
  ./usr/share/polkit-1/actions/org.orvel.disk-image.wayland.policy \
  ./usr/share/icons/hicolor/64x64/apps/orvel-disk-image.png \
  ./usr/share/icons/hicolor/128x128/apps/orvel-disk-image.png \
  ./usr/share/icons/hicolor/scalable/apps/orvel-disk-image.svg \
  "./usr/share/doc/orvel-disk-image/Orvel Disk Image.html" \
  ./usr/share/doc/orvel-disk-image/copyright \
  ./usr/share/doc/orvel-disk-image/changelog.gz \
  ./usr/share/man/man1/orvel-disk-image.1.gz \
  ./usr/share/orvel-disk-image/scenarios/demo/1-hard-disk/drive.ini \
  ./usr/share/bash-completion/completions/orvel-disk-image; do
  grep -qF -- " $file" <<<"$contents" || fail "the package lacks $file"
done
grep -v ' root/root ' <<<"$contents" && fail "files not owned by root"

# Errors fail; warnings and notes are shown.
if ! lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1; then
  fail "lintian reports errors"
fi
echo "lintian: $(grep -c '^E:' "$work/lintian.log" || true) errors, $(grep -c '^W:' "$work/lintian.log" || true) warnings"
sed 's/^/  /' "$work/lintian.log"

# The unpacked program, with its own home so that the demo drives and logs
# land in the temporary folder.
root="$work/root"
dpkg-deb -x "$deb" "$root"
program="$root/usr/bin/orvel-disk-image"
run() { env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_CACHE_HOME="$work/home/cache" \
  XDG_STATE_HOME="$work/home/state" "$@"; }
output=$(run "$program" --demo list) || fail "--demo list exited $?"
expect_in "--demo list" "$output" "Model" "simb1"
output=$(run "$program" --demo health 0) || fail "--demo health 0 exited $?"
expect_in "--demo health 0" "$output" "Temperature"
# The demo drives come from the package's own scenario folder: their sparse
# files are kept under demo-<FNV-1a of the folder's path> in the cache.
fnv1a() {
  local text=$1 hash=$((0xcbf29ce484222325)) at byte
  for ((at = 0; at < ${#text}; at++)); do
    printf -v byte '%d' "'${text:at:1}"
    hash=$(((hash ^ (byte & 255)) * 0x100000001b3))
  done
  printf '%016x' "$hash"
}
run "$program" --demo clone 0 2 --range 0 0 1 --yes --quiet --log-dir "$work/logs" >/dev/null 2>&1 ||
  fail "a one-sector demo clone exited $?"
scenario=$(realpath "$root/usr/share/orvel-disk-image/scenarios/demo")
[ -d "$work/home/cache/orvel-disk-image/demo-$(LC_ALL=C fnv1a "$scenario")" ] ||
  fail "the demo drives are not those of $scenario: $(ls "$work/home/cache/orvel-disk-image")"
output=$(run "$program" --help) || fail "--help exited $?"
expect_in "--help" "$output" "Usage: orvel-disk-image" "Exit status"
manual=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/orvel-disk-image.1.gz" 2>"$work/man.log") ||
  fail "man -l exited $?"
[ -s "$work/man.log" ] && fail "man -l warns: $(cat "$work/man.log")"
# Every command and option of --help is in the manual page.
for word in list health clone image restore verify --demo --log-dir --range --reverse --retries --yes --quiet \
  --json --verify --no-verify --help --version "EXIT STATUS" FILES EXAMPLES IMAGE.sha256; do
  grep -qF -- "$word" <<<"$manual" || fail "the manual page lacks $word"
done

# The desktop entry starts the launcher, and the launcher pkexec: through
# the Wayland helper with the socket's absolute path on a Wayland session.
entry="$root/usr/share/applications/org.orvel.disk-image.desktop"
grep -qx 'Exec=/usr/libexec/orvel-disk-image/orvel-disk-image-desktop' "$entry" ||
  fail "the desktop entry does not start the launcher: $(grep '^Exec=' "$entry")"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry"
fi
expect_in "the policies" "$(cat "$root"/usr/share/polkit-1/actions/*.policy)" \
  '<annotate key="org.freedesktop.policykit.exec.path">/usr/bin/orvel-disk-image</annotate>' \
  '<annotate key="org.freedesktop.policykit.exec.path">/usr/libexec/orvel-disk-image/orvel-disk-image-wayland</annotate>'
mkdir "$work/fake-bin"
printf '#!/bin/sh\necho "$@"\n' >"$work/fake-bin/pkexec"
chmod +x "$work/fake-bin/pkexec"
launcher="$root/usr/libexec/orvel-disk-image/orvel-disk-image-desktop"
launch() { env -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR PATH="$work/fake-bin:$PATH" "$@" "$launcher"; }
[ "$(launch)" = /usr/bin/orvel-disk-image ] || fail "without Wayland the launcher runs: $(launch)"
[ "$(launch env WAYLAND_DISPLAY=wayland-1 XDG_RUNTIME_DIR=/run/user/1000)" = \
  "/usr/libexec/orvel-disk-image/orvel-disk-image-wayland /run/user/1000/wayland-1" ] ||
  fail "on Wayland the launcher runs: $(launch env WAYLAND_DISPLAY=wayland-1 XDG_RUNTIME_DIR=/run/user/1000)"
[ "$(launch env WAYLAND_DISPLAY=/run/user/1000/wayland-0)" = \
  "/usr/libexec/orvel-disk-image/orvel-disk-image-wayland /run/user/1000/wayland-0" ] ||
  fail "with an absolute WAYLAND_DISPLAY the launcher runs: $(launch env WAYLAND_DISPLAY=/run/user/1000/wayland-0)"
helper="$root/usr/libexec/orvel-disk-image/orvel-disk-image-wayland"
if output=$(PKEXEC_UID=$(id -u) "$helper" "$work/not-a-socket" 2>&1); then
  fail "the Wayland helper took a socket outside /run/user"
fi
expect_in "the Wayland helper's refusal" "$output" "the Wayland display is refused"

# Completion of commands and of the demo drives' numbers.
complete_words() {  # complete_words WORD... (the last is the one completed)
  PATH="$root/usr/bin:$PATH" HOME="$work/home" XDG_CACHE_HOME="$work/home/cache" bash -c '
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _orvel_disk_image; echo "${COMPREPLY[*]}"' completion \
    "$root/usr/share/bash-completion/completions/orvel-disk-image" "$@"
}
[ "$(complete_words orvel-disk-image cl)" = clone ] || fail "completing cl gives: $(complete_words orvel-disk-image cl)"
drives=$(complete_words orvel-disk-image --demo health "")
[[ " $drives " == *" 0 "* && " $drives " == *" 1 "* ]] || fail "completing health's drive gives: $drives"
expect_in "completing clone's source" "$(complete_words orvel-disk-image --demo clone "")" simb1
[ "$(complete_words orvel-disk-image res)" = restore ] || fail "completing res gives: $(complete_words orvel-disk-image res)"
expect_in "completing restore's destination" "$(complete_words orvel-disk-image --demo restore disk.img "")" simb1
mkdir "$work/maps" && touch "$work/maps/Maker XY1000QZ.map" "$work/maps/Maker XY1000QZ.log"
maps=$(complete_words orvel-disk-image clone 0 1 --resume "$work/maps/")
[ "$maps" = "$work/maps/Maker XY1000QZ.map" ] || fail "completing --resume gives: $maps"

echo "Package tests took $((SECONDS - started)) s"
[ "$failures" -eq 0 ] || { echo "$failures package checks failed" >&2; exit 1; }
