#!/usr/bin/env bash
# Installs the Debian packages the build needs, once; later runs find them and do nothing.
set -euo pipefail

PACKAGES=(
	cmake ninja-build g++ clang libclang-rt-14-dev
	libgtest-dev libgmock-dev libbenchmark-dev
	nlohmann-json3-dev libcli11-dev
	liblo-dev liblo-tools libsodium-dev
	libpng-dev libfreetype-dev libharfbuzz-dev libfontconfig-dev pkgconf
	fonts-dejavu-core fonts-dejavu-extra fonts-wqy-microhei fonts-noto-color-emoji
	clang-format universal-ctags python3
	libcpp-httplib-dev
	chromium chromium-driver python3-selenium
)

missing=()
for package in "${PACKAGES[@]}"; do
	if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
		missing+=("$package")
	fi
done

if ((${#missing[@]} > 0)); then
	echo "Installing: ${missing[*]}"
	SUDO=""
	if [[ $(id -u) -ne 0 ]]; then
		SUDO="sudo"
	fi
	$SUDO apt-get update -qq
	DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
