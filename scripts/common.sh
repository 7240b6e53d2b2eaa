# Shared by the scripts: installs Debian packages that are missing (through sudo when not
# root).
install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev
    libqt6sql6-sqlite libsqlite3-dev zlib1g-dev libvlc-dev vlc-bin vlc-plugin-base
    vlc-plugin-video-output libgl-dev)
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev xvfb xauth ffmpeg python3 x11-utils
    libqt6svg6 qt6-qpa-plugins util-linux desktop-file-utils appstream)
