# Sourced by run.sh and test.sh: installs the Debian packages the build needs,
# only when one of them is missing (a fresh machine has few of them).
install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the converter needs.
BUILD_PACKAGES=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev)
# What the plug-in, its host, the emulator, the benchmarks and the fuzzer need.
FULL_PACKAGES=(libmotif-dev libxt-dev libx11-dev xvfb xauth xdotool x11-utils xfonts-base
    libavutil-dev clang libclang-rt-14-dev time)
