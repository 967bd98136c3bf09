#!/usr/bin/env bash
# Builds the release from the committed tree: in dist/ (ignored by git)
#   Kestrix-<version>-x86.zip, Kestrix-<version>-x64.zip, the Windows
#   Installer packages Kestrix-<version>-x86.msi and -x64.msi, the debug
#   information of each OCX (Kestrix-<version>-<arch>.OCX.debug, which the
#   OCX's debug link names) and SHA256SUMS.
#   bash scripts/release.sh
# Refuses a tree with uncommitted changes. Reproducible: the time is the
# last commit's (SOURCE_DATE_EPOCH, unless the caller sets it), the linker
# takes it for the PE stamp, widl and chmcmd run at it
# (scripts/at-source-date.sh), the zips hold sorted entries with fixed
# times and permissions, and the packages' codes are made by name
# (scripts/make-msi.py), so that two clean clones in different folders give
# the same bytes (scripts/check-reproducible.sh shows it).
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# KX_RELEASE_ALLOW_DIRTY=1 (the tests of the packages) builds what the tree
# holds; KX_DIST_DIR puts the result elsewhere.
if [ "${KX_RELEASE_ALLOW_DIRTY:-0}" != 1 ] && [ -n "$(git status --porcelain)" ]; then
  echo "release: the tree has uncommitted changes; commit or stash them first" >&2
  git status --short >&2
  exit 1
fi
bash "$KX_ROOT/scripts/setup.sh" </dev/null
need=()
for p in zip:zip faketime:faketime wixl:wixl msibuild:msitools python3:python3; do
  command -v "${p%%:*}" >/dev/null 2>&1 || need+=("${p#*:}")
done
if ((${#need[@]})); then
  echo "release: installing ${need[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}"
export TZ=UTC
version=$(kx_version)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }

dist="${KX_DIST_DIR:-$KX_ROOT/dist}"
rm -rf "$dist"
mkdir -p "$dist"

# One bitness: its build folder (only the control and its help file), then
# the package's folder and its zip.
package() {
  local bits=$1 arch=$2 name=$3 hosts=$4
  local build="$dist/build-$name"
  cmake -S "$KX_ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$KX_ROOT/cmake/mingw-$arch.cmake" \
    -DBUILD_TESTING=OFF -DKX_TIME_LAUNCHER="$KX_ROOT/scripts/at-source-date.sh" </dev/null >/dev/null
  KX_WINE_QUIET=1 cmake --build "$build" -j"${KX_JOBS:-2}" --target Kestrix </dev/null >/dev/null
  local stage="$dist/stage-$name/Kestrix-$version-$name"
  mkdir -p "$stage/examples"
  cp "$build/prg/Kestrix/Kestrix.manifest" "$build/prg/Kestrix/chm/Kestrix.chm" \
    "$build/prg/Kestrix/chm/reference.html" LICENSE CHANGELOG.md "$stage/"
  # The OCX without its debug sections and symbols (which a PE keeps apart
  # from them: half its size); both go beside the packages, in the file its
  # debug link names (objcopy stamps SOURCE_DATE_EPOCH, not the clock).
  local objcopy="$arch-w64-mingw32-objcopy" debug="Kestrix-$version-$name.OCX.debug"
  "$objcopy" --only-keep-debug "$build/prg/Kestrix/Kestrix.OCX" "$dist/$debug"
  (cd "$dist" && "$objcopy" --strip-all --add-gnu-debuglink="$debug" "$build/prg/Kestrix/Kestrix.OCX" \
    "$stage/Kestrix.OCX")
  local manifestArch=x86
  [ "$bits" = 64 ] && manifestArch=amd64
  # Texts for Windows: CR LF.
  crlf() { sed 's/\r$//; s/$/\r/'; }
  # The README of the zip or of the installer package (its @ZIP@ or @MSI@
  # blocks, up to @END@).
  readme() {
    sed -e "s/@KX_VERSION@/$version/g" -e "s/@KX_BITS@/$bits/g" -e "s/@KX_ARCH@/$manifestArch/g" \
      -e "s/@KX_ARCH_NAME@/$name/g" -e "s/@KX_HOSTS@/$hosts/g" release/README.txt.in |
      awk -v kind="@$1@" '/^@(ZIP|MSI)@$/ { skip = $0 != kind; next } /^@END@$/ { skip = 0; next } !skip' | crlf
  }
  readme ZIP >"$stage/README.txt"
  sed -e "s/@KX_BITS@/$bits/g" release/install.cmd.in | crlf >"$stage/install.cmd"
  crlf <release/uninstall.cmd >"$stage/uninstall.cmd"
  for f in release/examples/*; do crlf <"$f" >"$stage/examples/$(basename "$f")"; done
  # The reference's VBScript examples, one script each.
  awk -v dir="$stage/examples" '
    /^```vbscript$/ { n++; file = sprintf("%s/reference-%02d.vbs", dir, n); on = 1; next }
    on && /^```$/ { on = 0; close(file); next }
    on { printf "%s\r\n", $0 > file }' docs/reference.md
  find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  find "$stage" -type d -exec chmod 755 {} +
  find "$stage" -type f -exec chmod 644 {} +
  (cd "$(dirname "$stage")" && find "Kestrix-$version-$name" -print | LC_ALL=C sort |
    zip -X -D -q -@ "$dist/Kestrix-$version-$name.zip")
  # The installer package: the zip's files but its commands, its own README,
  # and the registration's rows the build wrote from the server's table;
  # both kept in the stage, so that a package can be made of them again.
  local msi="$dist/stage-$name/msi"
  mkdir -p "$msi/registry"
  cp -rp "$stage" "$msi/files"
  rm "$msi/files/install.cmd" "$msi/files/uninstall.cmd"
  readme MSI >"$msi/files/README.txt"
  touch -d "@$SOURCE_DATE_EPOCH" "$msi/files/README.txt"
  cp "$build/prg/Kestrix/KestrixRegistry.wxs" "$build/prg/Kestrix/KestrixRegistry.txt" "$msi/registry/"
  python3 "$KX_ROOT/scripts/make-msi.py" "$msi/files" "$msi/registry" "$version" "$name" \
    "$dist/Kestrix-$version-$name.msi"
}

# KX_RELEASE_ARCHS chooses the packages (default both): a machine that runs
# no 32-bit programs cannot build the 32-bit one (its manifest is written by
# a 32-bit program).
for arch in ${KX_RELEASE_ARCHS:-x86 x64}; do
  case "$arch" in
    x86) package 32 i686 x86 " (VB5, VB6, 32-bit office suites)" ;;
    x64) package 64 x86_64 x64 " (64-bit office suites and other 64-bit programs)" ;;
    *) echo "release: KX_RELEASE_ARCHS names x86 and x64, not $arch" >&2; exit 2 ;;
  esac
done
(cd "$dist" && sha256sum Kestrix-"$version"-*.zip Kestrix-"$version"-*.msi Kestrix-"$version"-*.OCX.debug >SHA256SUMS)
echo "release: $dist"
cat "$dist/SHA256SUMS"
