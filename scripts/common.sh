# Shared by the set-up scripts: the Debian packages the project needs, and a display
# for the desktop when there is none.

VIREO_PACKAGES=(
  build-essential cmake ninja-build pkg-config clang-format
  libboost-filesystem-dev libgtk-3-dev libwebkit2gtk-4.1-dev
  googletest libgtest-dev
  fonts-nanum xvfb openbox xdotool x11-utils imagemagick
  dpkg-dev desktop-file-utils
  mingw-w64 wine wine64 locales nsis zip unzip
)

vireo_install_packages() {
  local missing=()
  for p in "${VIREO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Starts Xvfb and openbox on a free display unless one is usable already; exports
# DISPLAY and stops both when the calling script exits.
vireo_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  VIREO_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >/dev/null 2>&1 &
  VIREO_WM_PID=$!
  # Give the window manager a moment to take the screen.
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id #" && break
    sleep 0.1
  done
  trap 'kill $VIREO_WM_PID $VIREO_XVFB_PID 2>/dev/null || true' EXIT
  VIREO_OWN_DISPLAY=1
}
