# Installs (as root) or names (otherwise) the Debian packages the build, the tests and the
# demo need. Sourced by scripts/test and scripts/demo.
WLAN_PACKAGES="cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev android-liblog-dev
libjson-c-dev wpasupplicant iproute2 psmisc procps util-linux binutils"

wlan_install_deps() {
    local missing=""
    for pkg in $WLAN_PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $pkg"
        fi
    done
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq && apt-get install -y -qq --no-install-recommends $missing >/dev/null ||
            { echo "apt-get install failed"; return 1; }
    else
        echo "Missing packages. Run as root, or install them first:"
        echo "  apt-get install$missing"
        return 1
    fi
}
