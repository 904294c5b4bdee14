#!/usr/bin/env bash
# Installs what building and testing Vexa needs and is missing (Debian 12, as root).
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev qt6-base-dev libqt6svg6 fonts-dejavu-core fonts-dejavu-extra
  # the system's messages in Czech, for the tests under a Czech locale
  locales libc-l10n
  # print queues: libcups to build with; the print service and its tools for the tests, which
  # start a service of their own (the machine's own is neither started nor used)
  libcups2-dev cups-daemon cups-client
  # the install and package checks: entry and metadata validators, man, dpkg-shlibdeps, file
  desktop-file-utils appstream man-db dpkg-dev file
  # the start-up benchmark on an X server: xvfb-run -a build-release/bench/startup_bench
  xvfb xauth
  # the archive in a database: the client library, and the server the tests start privately
  libpq-dev postgresql)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run this as root (or install the packages above yourself)." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests run under a Czech locale as well as a neutral one; the system's messages need the
# Czech locale in both of its character sets.
wanted_locales=("cs_CZ.UTF-8 UTF-8" "cs_CZ ISO-8859-2")
generate=0
for l in "${wanted_locales[@]}"; do
  if ! grep -qx "$l" /etc/locale.gen 2>/dev/null; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "Run this as root to generate the locale $l." >&2
      exit 1
    fi
    echo "$l" >>/etc/locale.gen
    generate=1
  fi
done
if [ "$generate" = 1 ] || ! locale -a | grep -qi '^cs_CZ.utf8$'; then
  locale-gen
fi

# The tests start their own PostgreSQL server in a temporary directory. The server refuses to
# run as root, so as root it runs as this unprivileged system user (no home, no login).
if [ "$(id -u)" -eq 0 ] && ! getent passwd vexa-test >/dev/null; then
  echo "Creating the system user vexa-test for the tests' database server"
  useradd --system --user-group --no-create-home --home-dir /nonexistent \
    --shell /usr/sbin/nologin vexa-test
fi
