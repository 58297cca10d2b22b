#!/usr/bin/env bash
# Installs everything Velloran needs to build and test on Debian 12 (bookworm), as root.
# Idempotent: installs only what is missing; a run with everything present is a no-op.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

BUILD_PKGS=(
  g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-5compat-dev
  libssl-dev libdb5.3-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev lld
)
TEST_PKGS=(
  xvfb xauth fonts-dejavu-core
  openssl curl
  dovecot-imapd dovecot-pop3d
  python3 python3-aiosmtpd
  dnsmasq
  lighttpd lighttpd-mod-openssl
  sharutils coreutils db5.3-util
  libc-bin locales
  xdotool trayer x11-utils pulseaudio
  clang-format
)
want=("${BUILD_PKGS[@]}" "${TEST_PKGS[@]}")

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#want[@]} packages present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing ${missing[*]}; run this script as root" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
# Package scripts must never start system daemons (dovecot, dnsmasq and lighttpd would
# listen on every interface); the tests start their own instances on loopback.
cleanup_policy=
if [ ! -e /usr/sbin/policy-rc.d ]; then
  printf '#!/bin/sh\nexit 101\n' > /usr/sbin/policy-rc.d
  chmod 755 /usr/sbin/policy-rc.d
  cleanup_policy=1
fi
trap '[ -n "$cleanup_policy" ] && rm -f /usr/sbin/policy-rc.d' EXIT
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
