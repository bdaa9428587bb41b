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
    xvfb xauth imagemagick \
    tcl deal nodejs npm python3 \
    clang libclang-rt-14-dev >/dev/null
