#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Dealscope needs.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
    build-essential cmake pkg-config git ca-certificates \
    libgtest-dev libgmock-dev libbenchmark-dev \
    libicu-dev libxml2-dev libxml2-utils libcurl4-openssl-dev libdds-dev \
    libwxgtk3.2-dev libwxgtk-webview3.2-dev libwebkit2gtk-4.0-dev \
    xvfb xauth imagemagick xdotool \
    tcl deal python3 \
    clang libclang-rt-14-dev >/dev/null
# Node.js runs the independent PBN reader and the WHATWG encoding tables in the tests. A machine that already has
# node and npm (possibly from another source than Debian, whose npm package conflicts with it) keeps them.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    $SUDO apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
fi
