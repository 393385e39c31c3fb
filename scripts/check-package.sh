#!/usr/bin/env bash
# Builds the .deb and checks it as a user would meet it, on Debian 12 as root:
#   the validators on the desktop entry, the metainfo and the manual pages, lintian on the .deb;
#   apt-get install ./ostrelin_*.deb; under Xvfb in a fresh home `ostrelin` on a missing tree
#   (message box, exit status 1), then `ostrelin` itself (start dialog, then the full-screen main
#   window on the demo atlas; a screenshot goes to build-package/); apt-get remove ostrelin.
# Exits non-zero at the first check that fails.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${OSTRELIN_BUILD_DIR:-$here/build}-package
[ "$(id -u)" -eq 0 ] || { echo "check-package.sh installs the package: run it as root" >&2; exit 2; }

step() { echo; echo "== $*"; }

bash "$here/scripts/dev.sh" need desktop-file-utils appstream lintian man-db xvfb xauth openbox \
  xdotool imagemagick
step "building the package"
bash "$here/scripts/dev.sh" package | tail -n 3
deb=$(ls "$build"/ostrelin_*.deb)
ls -l "$deb"
dpkg-deb --field "$deb" Package Version Depends Suggests

step "lintian"
lintian --fail-on error "$deb" && echo "lintian: no errors"

step "apt-get install ./$(basename "$deb")"
cd "$build"
apt-get remove -y -qq ostrelin >/dev/null 2>&1 || true
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$(basename "$deb")" 2>&1 | tail -n 2
for f in /usr/bin/{ostrelin,karvolen,atlasbau,linklist,umriss} \
         /usr/share/applications/de.ostrelin.Ostrelin.desktop \
         /usr/share/metainfo/de.ostrelin.Ostrelin.metainfo.xml \
         /usr/share/icons/hicolor/{16x16,48x48,256x256}/apps/de.ostrelin.Ostrelin.png \
         /usr/share/icons/hicolor/scalable/apps/de.ostrelin.Ostrelin.svg \
         /usr/share/ostrelin/demo-atlas/Daten/Index.LST; do
  [ -e "$f" ] || { echo "missing after install: $f" >&2; exit 1; }
done
echo "programs, desktop entry, metainfo, icons and demo atlas installed"

step "validators"
desktop-file-validate /usr/share/applications/de.ostrelin.Ostrelin.desktop
echo "desktop-file-validate: done"
appstreamcli validate --no-net /usr/share/metainfo/de.ostrelin.Ostrelin.metainfo.xml
for page in karvolen ostrelin atlasbau linklist umriss; do
  out=$(man --warnings -l "/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$out" ] || { echo "man $page: $out" >&2; exit 1; }
  echo "man --warnings -l $page.1.gz: no warnings"
done
atlasbau check /usr/share/ostrelin/demo-atlas

step "ostrelin in a fresh home under Xvfb"
home=$(mktemp -d)
chmod 755 "$home"
shot="$build/check-package.png"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$shot" "$home" <<'EOF'
set -euo pipefail
shot=$1
# A fresh user: nothing but the new home and the display.
export HOME=$2 PATH=/usr/bin:/bin
unset XDG_CONFIG_HOME XDG_DATA_HOME
cd "$HOME"
openbox >/dev/null 2>&1 &
sleep 1
# A visible window called Ostrelin at least `min` pixels wide; "id WxH" on standard output.
window() {
  for _ in $(seq 120); do
    for w in $(xdotool search --onlyvisible --name '^Ostrelin$' 2>/dev/null); do
      size=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p')
      if [ "${size%x*}" -ge "$1" ]; then echo "$w $size"; return 0; fi
    done
    sleep 0.5
  done
  return 1
}
# A tree that does not exist: a message on standard error and in a box, exit status 1.
ostrelin "$HOME/kein-atlas" 2>"$HOME/stderr" & missing=$!
read -r box size < <(window 1) || { echo "no message box" >&2; exit 1; }
echo "message box: window $box, $size"
xdotool windowactivate --sync "$box" key Return
status=0
wait "$missing" || status=$?
echo "ostrelin $HOME/kein-atlas: exit status $status, standard error: $(grep ostrelin "$HOME/stderr")"
[ "$status" -eq 1 ]
[ ! -e "$HOME/.config/ostrelin" ]

ostrelin & launcher=$!
read -r dialog size < <(window 1) || { echo "no start dialog" >&2; exit 1; }
echo "start dialog: window $dialog, $size"
xdotool windowactivate --sync "$dialog" key --clearmodifiers alt+p
# The main window covers the screen (but for the window manager's frame).
read -r main size < <(window 1200) || { echo "no main window" >&2; exit 1; }
echo "main window: window $main, $size"
sleep 2
import -window root "$shot"
echo "settings written by ostrelin:"
sed 's/^/    /' "$HOME/.config/ostrelin/KARVOLEN.INI"
ls -ld "$HOME/.local/share/ostrelin" | sed 's/^/    /'
# The launcher passes SIGTERM on to karvolen and ends with its status (128 + 15).
kill -TERM "$launcher"
status=0
wait "$launcher" || status=$?
echo "ostrelin ended with exit status $status after SIGTERM"
[ "$status" -eq 143 ]
EOF
grep -q "^DataPath=/usr/share/ostrelin/demo-atlas$" "$home/.config/ostrelin/KARVOLEN.INI"
echo "screenshot: $shot"
rm -rf "$home"

step "apt-get remove ostrelin"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq ostrelin 2>&1 | tail -n 1
for f in /usr/bin/ostrelin /usr/bin/karvolen /usr/share/ostrelin; do
  [ ! -e "$f" ] || { echo "left after remove: $f" >&2; exit 1; }
done
echo "removed: no program, desktop file or demo atlas left"
echo
echo "== all package checks passed"
