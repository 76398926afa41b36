# Debian 12 packages that building, testing and running need. Sourced by the scripts.

V270_PACKAGES=(
    cmake ninja-build g++ pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    libjpeg62-turbo-dev libcairo2-dev
    g++-mingw-w64-x86-64-posix wine wine64
    xvfb xauth xdotool imagemagick x11-utils fonts-wqy-microhei fonts-dejavu-core
    python3
    nsis zip ccache
)

# Installs the packages that are missing, quietly; does nothing when all are there.
v270_install_packages() {
    local missing=()
    local package
    for package in "${V270_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    # With recommends: Wine draws through the X extensions and fonts it only recommends.
    "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}
