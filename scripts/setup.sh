#!/usr/bin/env bash
# Installs, from the distribution's packages, only what the build and the tests need and the
# machine lacks. Idempotent: a second run checks and does nothing.
set -euo pipefail

# Both mingw-w64 targets and both Wines: the program ships 32-bit, and where the kernel runs
# no 32-bit program its Windows side is built and run for x86_64 (scripts/wine-env.sh).
packages=(cmake ninja-build g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64
          fonts-wine xvfb x11-apps x11-utils imagemagick xdotool fonts-liberation clang libclang-rt-14-dev
          googletest libgtest-dev
          libbenchmark-dev ccache locales xauth)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
need_locale=0
locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$' || need_locale=1

if [ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  [ $need_locale -eq 1 ] && missing+=("(locale fr_FR.UTF-8)")
  echo "Il manque : ${missing[*]}" >&2
  echo "Lancez une fois, en root :  sudo bash scripts/setup.sh" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ $need_locale -eq 1 ] || ! locale -a | grep -qi '^fr_FR\.utf-\?8$'; then
  sed -i 's/^# *fr_FR.UTF-8 UTF-8/fr_FR.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
