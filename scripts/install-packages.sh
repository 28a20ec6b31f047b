#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing (as root),
# and generates the test locale.
set -euo pipefail
source "$(dirname "$0")/common.sh"

mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$ROOT/scripts/packages.txt")
missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
need_locale=0
locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$' || need_locale=1

[ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ] && exit 0
[ "$(id -u)" -eq 0 ] || die "missing packages (${missing[*]}) or locale en_US.UTF-8; run ./build.sh as root once"

if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    apt-get install -y -q "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
    log "generating locale en_US.UTF-8"
    sed -i 's/^# *\(en_US.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
