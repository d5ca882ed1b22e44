#!/usr/bin/env bash
# The set-up scripts' way to root: direct as root, through sudo for a user who has it, and a
# message with what to do for a user without it. Needs root to become another user.
set -euo pipefail
[ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null || exit 77

lib=$1/scripts/lib/privileged.sh
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
chmod 755 "$fake"
printf '#!/bin/sh\necho "sudo was asked: $*"\n' >"$fake/sudo"
chmod 755 "$fake/sudo"
# A folder with the shell's tools but no sudo.
mkdir "$fake/bin"
for tool in bash id basename dirname; do ln -s "$(command -v $tool)" "$fake/bin/$tool"; done
chmod 755 "$fake/bin"

as_user() { setpriv --reuid=nobody --regid=nogroup --clear-groups env PATH="$1" bash -c "$2"; }

out=$(PATH=$fake:$PATH bash -c ". '$lib'; as_root id -u")
[ "$out" = 0 ] || { echo "as root: got '$out'"; exit 1; }

out=$(as_user "$fake:$fake/bin" ". '$lib'; as_root apt-get update")
[ "$out" = "sudo was asked: apt-get update" ] || { echo "with sudo: got '$out'"; exit 1; }

if err=$(as_user "$fake/bin" ". '$lib'; as_root apt-get update; echo went on" 2>&1); then
  echo "without sudo the script went on: $err"
  exit 1
fi
[[ $err == *"sudo is not installed"* && $err == *"as root"* ]] || { echo "without sudo: $err"; exit 1; }
echo ok
