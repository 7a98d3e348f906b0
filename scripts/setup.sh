#!/usr/bin/env bash
# Installs what Vantrel needs to build, test and run on Debian 12, skipping what is there.
# Usage: scripts/setup.sh [package|windows]
#   package: also what builds and checks the Debian package
#   windows: only what cross-builds the Windows program, runs its tests under Wine and makes
#            its zip and installer
set -euo pipefail

packages=(
    cmake ninja-build g++ libgtest-dev   # build and core tests
    clang-format                          # the house format, checked by CI
    qt6-base-dev                          # the window (Widgets, Test, platform plugins)
    fonts-wine                            # MS Sans Serif, the face the fixed layout is drawn for
    xvfb xauth imagemagick                # a window without a desktop, and screenshots of it
    xdg-utils                             # xdg-open for the log viewer and the file manager
    fuse3 libfuse3-dev pkg-config         # a FUSE file system without hard links, for the tests
    dosfstools                            # a FAT image, for the file too large for FAT
    openbox xdotool xclip x11-utils      # tests driven through a window manager
)
if [ "${1:-}" = package ]; then
    packages+=(
        dpkg-dev                          # dpkg-shlibdeps: the package's library dependencies
        lintian desktop-file-utils appstream  # the checks of the package
    )
fi
if [ "${1:-}" = windows ]; then
    packages=(
        cmake ninja-build googletest      # the build, and GoogleTest's sources to build for Windows
        g++-mingw-w64-x86-64-posix        # the cross compiler, with posix threads
        wine wine64                       # runs the tests: the wine command and its 64-bit loader
        fonts-wine                        # Wine's bitmap MS Sans Serif, the face of the window
        xvfb xauth                        # a display for the Win32 window's tests
        wixl msitools                     # the Windows installer: built, and its tables read
        xdotool                           # finds the window the installed program opens
        osslsigncode openssl              # signs the program and the installer, when asked
        openbox xclip                     # the keyboard-only test: a window manager, the clipboard
    )
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
