# Installs the Debian packages the build and the tests need, when missing.
# Sourced by run.sh and test.sh.

# What the package test needs: the packaging tools, the checkers of the
# Freedesktop files, and the Qt plugins the package depends on (so that apt can
# satisfy every dependency from what is installed, even without package lists).
TESS_PACKAGE_TEST_PACKAGES="dpkg-dev file desktop-file-utils appstream lintian libxml2-utils man-db qt6-image-formats-plugins libqt6svg6"

tess_missing_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  echo "${missing[@]:-}"
}

tess_ensure_packages() {
  local missing
  missing=$(tess_missing_packages "$@")
  [ -z "$missing" ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
      echo "tessarine: these packages are missing and there is no sudo to install them: $missing" >&2
      return 1
    fi
  fi
  echo "tessarine: installing $missing"
  export DEBIAN_FRONTEND=noninteractive
  # shellcheck disable=SC2086
  if ! $sudo apt-get install -y --no-install-recommends $missing; then
    $sudo apt-get update
    # shellcheck disable=SC2086
    $sudo apt-get install -y --no-install-recommends $missing
  fi
}

# What building the program needs.
TESS_BUILD_PACKAGES="g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libsqlite3-dev libicu-dev libgl-dev fonts-dejavu-core"

# What running the program needs beyond the build: the readers of TIFF, WebP and
# other image formats beside Qt's own JPEG, PNG, BMP and GIF.
TESS_RUN_PACKAGES="qt6-image-formats-plugins"
