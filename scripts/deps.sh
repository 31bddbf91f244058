#!/usr/bin/env bash
# Installs what building and testing QuietusMachine needs on Debian 12, and nothing that is
# already there. `deps.sh run` installs only what building and running the Linux program needs.
set -euo pipefail

run_pkgs=(cmake ninja-build g++ pkg-config python3 qt6-base-dev qt6-base-dev-tools libgl-dev qt6-wayland libwayland-dev
          libxss-dev wayland-protocols
          fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-cjk
          xvfb trayer x11-utils xdotool imagemagick dbus dbus-x11 openbox)
test_pkgs=("${run_pkgs[@]}" git googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
           g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 fonts-wine
           python3-dbusmock python3-dbus python3-gi at-spi2-core python3-pyatspi faketime libfaketime locales weston file)
# The deployment check runs the Ansible playbook for Linux desktops against this machine.
test_pkgs+=(ansible-core ansible ansible-lint)  # ansible: the Windows collections ansible-lint resolves
# The Debian package: cpack -G DEB (dpkg-shlibdeps) and scripts/deb-check.sh.
test_pkgs+=(lintian appstream desktop-file-utils dpkg-dev man-db)
# The Windows installers: wixl builds the MSIs, msitools reads and unpacks them (msi-check.sh).
test_pkgs+=(wixl msitools)
# Debian's own StatusNotifierItem host, a tray that shows only menus (the Linux end-to-end run).
test_pkgs+=(haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils)
# The screen reader the Linux end-to-end run listens to (scripts/orca-speech.py).
test_pkgs+=(orca)

want=("${test_pkgs[@]}")
[ "${1:-}" = run ] && want=("${run_pkgs[@]}")

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

missing=()
for p in "${want[@]}"; do
  [ -n "$p" ] || continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
