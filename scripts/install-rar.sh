#!/usr/bin/env bash
# Installs RAR for Linux (`rar`, Debian's non-free section) when it is missing. The non-free section is
# read through a private source list and a private package list folder used for this one install only:
# the machine's own apt sources and lists stay as they are. RAR for Linux is shareware with its own
# licence (see /usr/share/doc/rar after the install).
set -euo pipefail
if command -v rar >/dev/null 2>&1; then
  exit 0
fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# The mirror and release the machine already uses (read only).
mirror=""
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  mirror=$(awk '/^URIs:/ { for (i = 2; i <= NF; ++i) if ($i !~ /security/) { print $i; exit } }' "$f")
  [ -n "$mirror" ] && break
done
if [ -z "$mirror" ] && [ -f /etc/apt/sources.list ]; then
  mirror=$(awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; ++i) if ($i ~ /^(https?|ftp|file):/) { print $i; exit } }' /etc/apt/sources.list)
fi
mirror=${mirror:-http://deb.debian.org/debian}
. /etc/os-release
suite=${VERSION_CODENAME:-bookworm}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir -p "$work/lists/partial"
chown -R _apt "$work/lists" 2>/dev/null || true
echo "deb [signed-by=$keyring] $mirror $suite main non-free" > "$work/sources.list"
apt_private=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$work/lists" -o DPkg::Lock::Timeout=900)
$sudo apt-get "${apt_private[@]}" update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get "${apt_private[@]}" install -y -qq --no-install-recommends rar
rar | head -n 2
