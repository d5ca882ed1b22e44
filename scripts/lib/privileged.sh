# Sourced by the set-up scripts: runs a command as root, through sudo only when this is not root
# and sudo is there; otherwise says how to go on and stops.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "$(basename "$0"): installing packages needs root, and sudo is not installed." >&2
    echo "Run this script as root (su -c '$0'), or install sudo first (as root: apt-get install -y sudo)." >&2
    exit 1
  fi
}
