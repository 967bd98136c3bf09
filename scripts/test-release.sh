#!/usr/bin/env bash
# The packages as a user meets them: scripts/release.sh builds both zips
# (into a folder of this run's own), and each is unpacked and installed
# with its install.cmd under Wine's cmd in a fresh prefix of each bitness,
# used from a script, and uninstalled with uninstall.cmd.
#   bash scripts/test-release.sh
# Ends with the line "N passed, M failed"; exit status 0 only when none failed.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# A failed step is a failed check, counted, and the checks after it still
# run: no errexit here.
set +e
work=$(mktemp -d "${TMPDIR:-/tmp}/kx-release-test.XXXXXX")
prefixes=()
cleanup() {
  local p
  for p in "${prefixes[@]}"; do WINEPREFIX="$p" wineserver -k >/dev/null 2>&1; done
  rm -rf "$work"
}
kx_on_exit cleanup
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
# shellcheck source=wine-vars.sh
source "$KX_ROOT/scripts/wine-vars.sh"
kx_wine_path
# Where nothing 32-bit runs, only the 64-bit package is built and only the
# checks that run nothing 32-bit are made; the others are counted as skipped.
archs="x86 x64" all32=1
if ! kx_runs_32bit; then
  archs=x64 all32=0
  echo "test-release: WARNING: this kernel runs no 32-bit programs: the x86 package and every check" \
       "that runs a 32-bit program are SKIPPED" >&2
fi

echo "test-release: building the packages"
if ! KX_RELEASE_ARCHS="$archs" KX_DIST_DIR="$work/dist" KX_RELEASE_ALLOW_DIRTY=1 \
  bash "$KX_ROOT/scripts/release.sh" >"$work/release.log" 2>&1; then
  cat "$work/release.log" >&2
  echo "0 passed, 1 failed"
  exit 1
fi
version=$(kx_version)

passed=0 failed=0 skipped=0
check() { # what, then a command that must succeed
  local what=$1
  shift
  # Without 32-bit programs, a check of the x86 package or of 32-bit programs is skipped.
  if [ "$all32" = 0 ] && { [[ "$what" == *x86* ]] || [[ "$what" == *32-bit* ]]; }; then
    skipped=$((skipped + 1))
    echo "skipped: $what"
  elif "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAIL: $what"
  fi
}

# A fresh prefix of a bitness with both packages unpacked in a lasting folder.
W=
prefix() {
  export WINEPREFIX="$work/prefix$1"
  prefixes+=("$WINEPREFIX")
  if [ "$1" = 64 ]; then export WINEARCH=win64 W=/usr/lib/wine/wine64; else export WINEARCH=win32 W=wine; fi
  timeout 300 $W wineboot -i </dev/null >/dev/null 2>&1
  mkdir -p "$work/unpacked$1"
  local zip
  for zip in "$work"/dist/Kestrix-"$version"-*.zip; do (cd "$work/unpacked$1" && unzip -q -o "$zip"); done
  printf 'Set k = CreateObject("Kestrix32.Kestrix")\r\nWScript.Echo "made " & k.GetEventName(15)\r\n' \
    >"$work/unpacked$1/made.vbs"
}
# Runs a package's script with a cmd; its output in $out, its status returned.
out=
run() { # package, cmd, script [env]
  out=$(cd "$work/unpacked${WINEARCH#win}/Kestrix-$version-$1" && env ${4:-} timeout 120 $W "$2" /c "$3" </dev/null 2>&1 | tr -d '\r')
  return "${PIPESTATUS[0]:-1}"
}
said() { grep -qF -- "$1" <<<"$out"; }
cscript_of() { # bits: the cscript of that bitness in this prefix
  if [ "$1" = 32 ] && [ "$WINEARCH" = win64 ]; then echo 'C:\windows\syswow64\cscript.exe'
  else echo 'C:\windows\system32\cscript.exe'; fi
}
made() { # the cscript of a bitness creates the control
  timeout 120 $W "$(cscript_of "$1")" //nologo "$(winepath -w "$work/unpacked${WINEARCH#win}/made.vbs" 2>/dev/null)" </dev/null 2>&1 |
    tr -d '\r' | grep -qx 'made WM_PAINT'
}
# Every VBScript example of a package, run from its examples folder with the
# cscript of a bitness, prints OK.
examples_ok() { # package, bits
  local cscript dir f n=0
  cscript=$(cscript_of "$2")
  dir="$work/unpacked${WINEARCH#win}/Kestrix-$version-$1/examples"
  for f in "$dir"/*.vbs; do
    [ -f "$f" ] || break
    n=$((n + 1))
    (cd "$dir" && timeout 120 $W "$cscript" //nologo "$(basename "$f")" </dev/null 2>&1) | tr -d '\r' | tail -n 1 | grep -qx OK ||
      { echo "$(basename "$f") did not print OK"; return 1; }
  done
  [ "$n" -gt 0 ]
}
nothing_left() {
  ! $W reg query 'HKCR\Kestrix32.Kestrix' >/dev/null 2>&1 &&
    ! $W reg query 'HKLM\Software\Classes\CLSID\{9C3D95F7-81D2-4F8F-BF6F-2945C667B57D}' /reg:64 >/dev/null 2>&1 &&
    ! $W reg query 'HKLM\Software\Classes\CLSID\{9C3D95F7-81D2-4F8F-BF6F-2945C667B57D}' /reg:32 >/dev/null 2>&1 &&
    ! $W reg query 'HKLM\Software\Classes\TypeLib\{5C2BF89F-7E58-43A7-BB95-8DF1DBF28742}' >/dev/null 2>&1
}
# With nothing registered, a program in the unpacked folder whose manifest
# names the Kestrix assembly finds the control there: KxRegProbe (built by
# the test command; exit code 0: the ProgID, the control and its type
# library all found; 7 without the manifest),
# given an application manifest beside it.
regfree() { # package, bits
  local probe="$KX_ROOT/build/tests/demos/KxRegProbe.exe" arch=x86 dir
  [ "$2" = 64 ] && probe="$KX_ROOT/build64/tests/demos/KxRegProbe.exe" arch=amd64
  [ -f "$probe" ] || { echo "no $probe (run the test command)"; return 1; }
  dir="$work/unpacked${WINEARCH#win}/Kestrix-$version-$1"
  cp "$probe" "$dir/KxRegProbe.exe"
  printf '%s\r\n' '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>' \
    '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">' \
    "  <assemblyIdentity type=\"win32\" name=\"KxRegProbe\" version=\"1.0.0.0\" processorArchitecture=\"$arch\"/>" \
    '  <dependency><dependentAssembly>' \
    "    <assemblyIdentity type=\"win32\" name=\"Kestrix\" version=\"$version.0.0\" processorArchitecture=\"$arch\"/>" \
    '  </dependentAssembly></dependency>' '</assembly>' >"$dir/KxRegProbe.exe.manifest"
  local rc=0
  (cd "$dir" && timeout 120 $W KxRegProbe.exe </dev/null >/dev/null 2>&1) || rc=$?
  [ "$rc" = 0 ]
}
# A package's OCX carries no debug sections, and its debug link names the
# release's .debug file of that package, with the CRC of that file.
debug_linked() { # package
  local ocx="$work/unpacked${WINEARCH#win}/Kestrix-$version-$1/Kestrix.OCX" link="$work/debuglink-$1"
  local objcopy=x86_64-w64-mingw32-objcopy
  [ "$1" = x86 ] && objcopy=i686-w64-mingw32-objcopy
  ! "${objcopy/objcopy/objdump}" -h "$ocx" | grep -q ' \.debug_' &&
    "$objcopy" --dump-section .gnu_debuglink="$link" "$ocx" "$link.ocx" &&
    python3 - "$link" "$work/dist/Kestrix-$version-$1.OCX.debug" <<'PY'
import os, struct, sys, zlib
link = open(sys.argv[1], "rb").read()
name = link[:link.index(b"\0")].decode()
crc = struct.unpack("<I", link[-4:])[0]
debug = sys.argv[2]
sys.exit(0 if name == os.path.basename(debug) and crc == zlib.crc32(open(debug, "rb").read()) else 1)
PY
}
cmd64='C:\windows\system32\cmd.exe'
cmd32='C:\windows\syswow64\cmd.exe'

echo "test-release: a 32-bit Windows"
if [ "$all32" = 1 ]; then
prefix 32
check "x86: the OCX has no debug sections and its debug link names its .debug file and CRC" debug_linked x86
check "x86: install.cmd registers with System32's regsvr32" run x86 cmd install.cmd
check "x86: it said which regsvr32 and that it registered" said 'Using C:\windows\System32\regsvr32.exe'
check "x86: a script creates the control" made 32
check "x86: every VBScript example of the package prints OK" examples_ok x86 32
check "x64: refused on 32-bit Windows" eval '! run x64 cmd install.cmd && said "this Windows is 32-bit"'
check "x86: a refused registration says so and exits 1" \
  eval '! run x86 cmd install.cmd KX_REGSVR32=C:\\nowhere\\regsvr32.exe && said "not run as administrator"'
check "x86: uninstall.cmd unregisters" run x86 cmd uninstall.cmd
check "x86: nothing of Kestrix is left in the registry" nothing_left
check "x86: with nothing registered, a program with a manifest uses it from the unpacked folder" regfree x86 32
tmp=$($W cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')
utmp=$(winepath -u "$tmp" 2>/dev/null)
mkdir -p "$utmp/opened-in-place" && cp -r "$work/unpacked32/Kestrix-$version-x86" "$utmp/opened-in-place/"
in_temp_refused() {
  local out
  out=$(cd "$utmp/opened-in-place/Kestrix-$version-x86" && timeout 120 $W cmd /c install.cmd </dev/null 2>&1 | tr -d '\r')
  grep -q "is a temporary folder" <<<"$out" && nothing_left
}
check "x86: a package in the temporary folder is refused, nothing registered" in_temp_refused
else
  echo "skipped: the 32-bit Windows checks"
fi

echo "test-release: a 64-bit Windows"
prefix 64
check "x64 from a 64-bit cmd: System32's regsvr32" eval 'run x64 "$cmd64" install.cmd && said "Using C:\windows\System32\regsvr32.exe"'
check "x64 from a 32-bit cmd: Sysnative's regsvr32" eval 'run x64 "$cmd32" install.cmd && said "Using C:\windows\Sysnative\regsvr32.exe"'
check "x86 from a 64-bit cmd: SysWOW64's regsvr32" eval 'run x86 "$cmd64" install.cmd && said "Using C:\windows\SysWOW64\regsvr32.exe"'
check "x86 from a 32-bit cmd: SysWOW64's regsvr32" eval 'run x86 "$cmd32" install.cmd && said "Using C:\windows\SysWOW64\regsvr32.exe"'
check "x64: the OCX has no debug sections and its debug link names its .debug file and CRC" debug_linked x64
check "a 64-bit script creates the 64-bit control" made 64
check "x64: every VBScript example of the package prints OK" examples_ok x64 64
check "a 32-bit script creates the 32-bit control" made 32
check "x64: uninstall.cmd unregisters" run x64 "$cmd64" uninstall.cmd
check "the 32-bit control still works after the 64-bit one went" made 32
check "x86: uninstall.cmd unregisters" run x86 "$cmd64" uninstall.cmd
check "nothing of Kestrix is left in either registry view" nothing_left
check "x64: with nothing registered, a program with a manifest uses it from the unpacked folder" regfree x64 64
check "x86 on 64-bit Windows: the same" regfree x86 32

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
