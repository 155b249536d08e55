#!/bin/sh
# Installs what Tarsel needs to build, run and test on Debian 12.
set -e
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y \
    cmake g++ make qt6-base-dev qt6-svg-dev libgl1-mesa-dev 7zip \
    dpkg-dev desktop-file-utils xvfb xauth imagemagick
