#!/usr/bin/env bash
# Installs wine and the MinGW-w64 cross compiler from Debian when missing: the end-to-end test of a
# Windows archiver run through wine cross-compiles a Windows stand-in with the one and runs it with the
# other (about 1.3 GB together; without them that test is skipped). Configure the build afterwards.
set -euo pipefail
missing=()
command -v wine >/dev/null 2>&1 || missing+=(wine wine64)
command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends \
    "${missing[@]}"
fi
