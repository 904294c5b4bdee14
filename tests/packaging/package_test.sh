#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR ("install") or builds its Debian package ("deb")
# and checks what came out. Nothing is installed on the machine itself.
# Usage: package_test.sh install|deb BUILD_DIR VERSION PROGRAM...
set -euo pipefail

check=$1 build=$2 version=$3
shift 3
programs=("$@")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vexa-$check.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs a command, showing its output only when it fails.
quiet() {
  "$@" >"$tmp/log" 2>&1 || { cat "$tmp/log" >&2; fail "$*"; }
}

# Runs a program the way it runs on a machine without any display.
headless() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"
}

case $check in
install)
  quiet env DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr
  usr=$tmp/root/usr
  [ ! -e "$tmp/root/etc" ] || fail "the install writes to /etc"
  for program in "${programs[@]}"; do
    [ -x "$usr/bin/$program" ] || fail "bin/$program is missing"
  done

  help=$(headless "$usr/bin/vexa" --help) || fail "vexa --help failed"
  grep -q -- '--version' <<<"$help" || fail "vexa --help lists no --version: $help"

  desktop=$usr/share/applications/cz.lomar.Vexa.desktop
  quiet desktop-file-validate "$desktop"
  # The entry starts the installed program, shows the installed icon and names the window's
  # class, which Qt takes from the application name.
  grep -qx 'Exec=vexa' "$desktop" || fail "the entry does not start vexa"
  grep -qx 'StartupWMClass=Vexa' "$desktop" || fail "the entry names another window class"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ||
    fail "no scalable icon $icon in the hicolor theme"

  metainfo=$usr/share/metainfo/cz.lomar.Vexa.metainfo.xml
  quiet appstreamcli validate --no-net "$metainfo"
  grep -q '<launchable type="desktop-id">cz.lomar.Vexa.desktop</launchable>' "$metainfo" ||
    fail "the metadata does not launch the desktop entry"

  page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -P cat -l "$usr/share/man/man1/vexa.1.gz" \
    2>"$tmp/man.err") || fail "man -l failed"
  [ ! -s "$tmp/man.err" ] || fail "the manual page has faults: $(cat "$tmp/man.err")"
  # shellcheck disable=SC2016 # the page shows the variables' names
  for text in "Vexa $version" '$XDG_CONFIG_HOME/Lomar/HKEY_CURRENT_USER.reg' \
    '/etc/xdg/Lomar/HKEY_LOCAL_MACHINE.reg' '[HKEY_LOCAL_MACHINE\SOFTWARE\Lomar\Vexa]' \
    '"path"="/srv/vexa"' '$XDG_DATA_HOME/Lomar/Vexa/'; do
    grep -qF -- "$text" <<<"$page" || fail "the manual page lacks $text"
  done
  # Every program's page renders cleanly; the database's set-up is shown where it is done.
  for program in "${programs[@]}"; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -P cat -l "$usr/share/man/man1/$program.1.gz" \
      >"$tmp/$program.man" 2>"$tmp/man.err" || fail "man -l $program failed"
    [ ! -s "$tmp/man.err" ] || fail "the page of $program has faults: $(cat "$tmp/man.err")"
  done
  for text in '"databaze"=' 'GRANT SELECT, INSERT, UPDATE ON zaznamy' 'sslmode=verify-full'; do
    grep -qF -- "$text" "$tmp/vexa-archiv.man" || fail "vexa-archiv(1) lacks $text"
  done
  ;;

deb)
  quiet cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out"
  debs=("$tmp"/out/*.deb)
  if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack made no single package"
  fi
  deb=${debs[0]}
  quiet dpkg-deb --info "$deb"

  [ "$(dpkg-deb --field "$deb" Package)" = vexa ] || fail "the package is not named vexa"
  [[ $(dpkg-deb --field "$deb" Version) == "$version"-* ]] || fail "the version is not $version"
  depends=$(dpkg-deb --field "$deb" Depends)
  for dependency in libc6 libpq5 libqt6widgets6 libqt6svg6 fonts-dejavu-core fonts-dejavu-extra; do
    grep -qE "(^|, )$dependency( |,|$)" <<<"$depends" || fail "no $dependency in: $depends"
  done
  grep -q 'travel documents' <<<"$(dpkg-deb --field "$deb" Description)" ||
    fail "the description says nothing"

  # Exactly these files, and nothing under /etc (so no conffiles either).
  expected=(./usr/share/applications/cz.lomar.Vexa.desktop
    ./usr/share/doc/vexa/changelog.Debian.gz
    ./usr/share/doc/vexa/copyright
    ./usr/share/icons/hicolor/scalable/apps/cz.lomar.Vexa.svg
    ./usr/share/metainfo/cz.lomar.Vexa.metainfo.xml)
  for program in "${programs[@]}"; do
    expected+=("./usr/bin/$program" "./usr/share/man/man1/$program.1.gz")
  done
  files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
  [ "$files" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
    fail "the package holds: $files"

  dpkg-deb -x "$deb" "$tmp/root"
  shown=$(headless "$tmp/root/usr/bin/vexa" --version) || fail "vexa --version failed"
  [ "$shown" = "Vexa $version" ] || fail "vexa --version says: $shown"
  ;;

*)
  fail "unknown check $check"
  ;;
esac
echo "package $check check passed"
