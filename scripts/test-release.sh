#!/usr/bin/env bash
# The packages as a user meets them: scripts/release.sh builds both zips
# and both Windows Installer packages (into a folder of this run's own). In
# a fresh prefix of each bitness, each zip is unpacked and installed with
# its install.cmd under Wine's cmd, used from a script, and uninstalled with
# uninstall.cmd; then each .msi is installed with Wine's msiexec, compared
# with what regsvr32 wrote, used, repaired, upgraded and removed.
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
# The Japanese ANSI code page, which the type library's description needs.
export LC_ALL=ja_JP.UTF-8
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
# A script run by the cscript of a bitness from a folder; its output in $out.
# A Wine process now and then dies while starting, before the script's first
# line; Wine's cscript also stops silently at a script error. A run that
# printed nothing at all is made once more; when that one prints, the log
# says so, since it may hide a fault that comes and goes.
run_vbs() { # bits, folder, script
  local cscript try
  cscript=$(cscript_of "$1")
  for try in 1 2; do
    out=$(cd "$2" && timeout 120 $W "$cscript" //nologo "$3" </dev/null 2>&1 | tr -d '\r')
    if [ -n "$out" ]; then
      [ "$try" = 2 ] && echo "test-release: $3 printed nothing the first time, and did the second" >&2
      return 0
    fi
  done
  return 1
}
made() { # the cscript of a bitness creates the control
  run_vbs "$1" "$work/unpacked${WINEARCH#win}" made.vbs && grep -qx 'made WM_PAINT' <<<"$out"
}
# Every VBScript example of a package, run from its examples folder with the
# cscript of a bitness, prints OK last; what a failing one printed is shown.
examples_ok() { # package, bits
  local dir f n=0
  dir="$work/unpacked${WINEARCH#win}/Kestrix-$version-$1/examples"
  for f in "$dir"/*.vbs; do
    [ -f "$f" ] || break
    n=$((n + 1))
    run_vbs "$2" "$dir" "$(basename "$f")"
    if [ "$(tail -n 1 <<<"$out")" != OK ]; then
      echo "$(basename "$f") did not print OK; it printed:"
      if [ -n "$out" ]; then sed 's/^/  | /' <<<"$out"; else echo "  (nothing, twice)"; fi
      return 1
    fi
  done
  [ "$n" -gt 0 ]
}
# What Kestrix registers, key by key under HKEY_CLASSES_ROOT.
kx_keys=('CLSID\{9C3D95F7-81D2-4F8F-BF6F-2945C667B57D}' 'CLSID\{FB36C703-6340-40A4-BEEB-56036C5C61D7}'
  'CLSID\{E48147E9-C570-4BF4-B89C-FA0EE1117026}' 'CLSID\{2EC5D106-BE93-4AF5-B735-6EB8A668016A}'
  'Kestrix32.Kestrix' 'TypeLib\{5C2BF89F-7E58-43A7-BB95-8DF1DBF28742}'
  'Interface\{459EEE11-887B-4B5E-8133-0DF0B8E8E8A2}' 'Interface\{A9E46ED3-9148-402C-9D92-B32D349204BA}'
  'Interface\{EE7E5239-2028-428C-BFFD-CC4CB248F473}')
# No key of Kestrix in either view of the registry; names what is left.
nothing_left() {
  local k view left=0
  for k in "${kx_keys[@]}"; do
    for view in 64 32; do
      if $W reg query "HKLM\\Software\\Classes\\$k" /reg:$view </dev/null >/dev/null 2>&1; then
        echo "left: $k (/reg:$view)"
        left=1
      fi
    done
  done
  [ "$left" = 0 ]
}
# With nothing registered, a program in the unpacked folder whose manifest
# names the Kestrix assembly finds the control there: KxRegProbe (built by
# the test command; exit code 0: the ProgID, the control and its type
# library all found; 7 without the manifest),
# given an application manifest beside it.
probe_exe() { # bits: the test build's KxRegProbe of that bitness
  if [ "$1" = 64 ]; then echo "$KX_ROOT/build64/tests/demos/KxRegProbe.exe"
  else echo "$KX_ROOT/build/tests/demos/KxRegProbe.exe"; fi
}
regfree() { # package, bits
  local probe arch=x86 dir
  probe=$(probe_exe "$2")
  [ "$2" = 64 ] && arch=amd64
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
# Exports each key as the regedit of a bitness sees it into a folder.
export_keys() { # bits, folder
  local regedit=regedit k n=0
  [ "$1" = 32 ] && [ "$WINEARCH" = win64 ] && regedit='C:\windows\syswow64\regedit.exe'
  rm -rf "$2" && mkdir -p "$2"
  for k in "${kx_keys[@]}"; do
    n=$((n + 1))
    timeout 60 $W "$regedit" /E "$(winepath -w "$2/$n.reg" 2>/dev/null)" "HKEY_CLASSES_ROOT\\$k" </dev/null >/dev/null 2>&1
  done
}

# The Windows Installer packages.
msi_of() { echo "$work/dist/Kestrix-${2:-$version}-$1.msi"; }
msiexec() { # arguments; the exit code reaches the shell modulo 256
  timeout 120 $W msiexec "$@" </dev/null >/dev/null 2>&1
}
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
uninstall_entry() { # package: its product's entry in the installed programs (in either view), printed
  local code key
  code=$(product_code "$1")
  [ -n "$code" ] || return 1
  key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code"
  { $W reg query "$key" /reg:64 || $W reg query "$key" /reg:32; } </dev/null 2>/dev/null | tr -d '\r'
  return "${PIPESTATUS[0]}"
}
installed() { uninstall_entry "$1" >/dev/null; }
folder_of() { # package: its install folder, as a Unix path
  local pf='C:\Program Files'
  [ "$1" = x86 ] && [ "$WINEARCH" = win64 ] && pf='C:\Program Files (x86)'
  winepath -u "$pf\\Kestrix" 2>/dev/null
}
# The package's tables: no self-registration and no custom action (nothing
# runs regsvr32 or the OCX), the OCX as the versioned file it is, and the
# installed programs' entry, once installed.
tables_ok() { # package, bits
  local pkg out
  pkg=$(msi_of "$1")
  [ "$(msiinfo export "$pkg" SelfReg 2>/dev/null | tr -d '\r' | sed 1,3d)" = "" ] &&
    [ "$(msiinfo export "$pkg" CustomAction | tr -d '\r' | sed 1,3d)" = "" ] &&
    msiinfo export "$pkg" File | tr -d '\r' | grep -q "^Kestrix.OCX	[^	]*	Kestrix.OCX	[0-9]*	$version.0.0	" &&
    out=$(uninstall_entry "$pkg") &&
    grep -qE "DisplayName +REG_SZ +Kestrix $version \($2-bit\)$" <<<"$out" &&
    grep -qE "DisplayVersion +REG_SZ +$version$" <<<"$out" &&
    grep -qE "Publisher +REG_SZ +Kestrix$" <<<"$out"
}
# What the package wrote to the registry against what regsvr32 wrote.
same_registry() { # package, bits, reference folder, the folders registered from...
  local pkg=$1 bits=$2 reference=$3 folders='' f
  shift 3
  for f in "$@"; do folders+="${folders:+;}$(winepath -w "$f" 2>/dev/null)"; done
  [ "$(find "$reference" -name '*.reg' -size +0 | wc -l)" = "${#kx_keys[@]}" ] ||
    { echo "the reference lacks keys: $(ls "$reference")"; return 1; }
  export_keys "$bits" "$work/msi-$pkg"
  python3 "$KX_ROOT/tests/release/RegCompare.py" "$reference" "$folders" "$work/msi-$pkg" \
    "$(winepath -w "$(folder_of "$pkg")" 2>/dev/null)" "win$bits"
}
# KxRegProbe of a bitness, outside any folder of Kestrix: the ProgID, the
# control and its type library (LoadRegTypeLib) all found.
probe() { # bits
  local exe
  exe=$(probe_exe "$1")
  (cd "$work" && timeout 120 $W "$exe" </dev/null >/dev/null 2>&1)
}
repaired() { # package: the OCX deleted, then put back by a repair (Wine's
  # msiexec does not take /fa)
  local ocx
  ocx="$(folder_of "$1")/Kestrix.OCX"
  rm -f "$ocx" && ! [ -f "$ocx" ] &&
    msiexec /i "$(winepath -w "$(msi_of "$1")" 2>/dev/null)" REINSTALL=ALL REINSTALLMODE=amus /qn && [ -f "$ocx" ]
}
# The package removed: it was there, and after it neither it nor its folder is.
removed() { # package
  local pkg
  pkg=$(msi_of "$1")
  installed "$pkg" || { echo "$1 was not installed"; return 1; }
  msiexec /x "$(winepath -w "$pkg" 2>/dev/null)" /qn || { echo "msiexec /x $1 failed"; return 1; }
  ! installed "$pkg" || { echo "$1 is still installed"; return 1; }
  ! [ -e "$(folder_of "$1")" ] || { echo "$(folder_of "$1") is left"; return 1; }
}
install_msi() { # package [version]
  msiexec /i "$(winepath -w "$(msi_of "$1" "${2:-}")" 2>/dev/null)" /qn /l*v "$(winepath -w "$work/msi.log" 2>/dev/null)"
}
cmd64='C:\windows\system32\cmd.exe'
cmd32='C:\windows\syswow64\cmd.exe'

echo "test-release: a 32-bit Windows"
if [ "$all32" = 1 ]; then
prefix 32
check "x86: the OCX has no debug sections and its debug link names its .debug file and CRC" debug_linked x86
check "x86: install.cmd registers with System32's regsvr32" run x86 cmd install.cmd
export_keys 32 "$work/ref32-x86" # what the packages are held against
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
echo "test-release: the Windows Installer packages on a 32-bit Windows"
check "x86 .msi: installs silently" install_msi x86
check "x86 .msi: no self-registration or custom action, the OCX's file version, its installed programs entry" \
  tables_ok x86 32
check "x86 .msi: the registry holds what regsvr32 wrote" \
  same_registry x86 32 "$work/ref32-x86" "$work/unpacked32/Kestrix-$version-x86"
check "x86 .msi: a 32-bit script creates the control, its type library loads" eval 'made 32 && probe 32'
check "x86 .msi: a repair puts back the deleted OCX" eval 'repaired x86 && made 32'
check "x86 .msi: removed, nothing of Kestrix is left" eval 'removed x86 && nothing_left'
x64_refused() {
  local rc=0
  install_msi x64 || rc=$?
  [ "$rc" = 97 ] && ! [ -e "$(folder_of x64)" ] && nothing_left # 1633: this platform is not supported
}
check "x64 .msi: refused on 32-bit Windows, nothing written" x64_refused
else
  echo "skipped: the 32-bit Windows checks"
fi

echo "test-release: a 64-bit Windows"
prefix 64
check "x64 from a 64-bit cmd: System32's regsvr32" eval 'run x64 "$cmd64" install.cmd && said "Using C:\windows\System32\regsvr32.exe"'
export_keys 64 "$work/ref64-x64"
check "x64 from a 32-bit cmd: Sysnative's regsvr32" eval 'run x64 "$cmd32" install.cmd && said "Using C:\windows\Sysnative\regsvr32.exe"'
check "x86 from a 64-bit cmd: SysWOW64's regsvr32" eval 'run x86 "$cmd64" install.cmd && said "Using C:\windows\SysWOW64\regsvr32.exe"'
check "x86 from a 32-bit cmd: SysWOW64's regsvr32" eval 'run x86 "$cmd32" install.cmd && said "Using C:\windows\SysWOW64\regsvr32.exe"'
export_keys 32 "$work/ref64-x86"
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

echo "test-release: the Windows Installer packages on a 64-bit Windows"
in_program_files_x86() {
  $W reg query 'HKLM\Software\Classes\CLSID\{9C3D95F7-81D2-4F8F-BF6F-2945C667B57D}\InprocServer32' /reg:32 \
    </dev/null 2>/dev/null | tr -d '\r' | grep -qF 'C:\Program Files (x86)\Kestrix\Kestrix.OCX' &&
    [ -f "$(winepath -u 'C:\Program Files (x86)\Kestrix\Kestrix.OCX' 2>/dev/null)" ]
}
check "x86 .msi from the 64-bit msiexec: installs in Program Files (x86)" eval 'install_msi x86 && in_program_files_x86'
check "x86 .msi: the 32-bit view holds what the 32-bit regsvr32 wrote" \
  same_registry x86 32 "$work/ref64-x86" "$work/unpacked64/Kestrix-$version-"{x86,x64}
check "x86 .msi: a 32-bit script creates the control, its type library loads; a 64-bit script cannot" \
  eval 'made 32 && probe 32 && ! made 64'
check "x86 .msi: removed, nothing of Kestrix is left" eval 'removed x86 && nothing_left'
# The same files packed as an older version, which this version upgrades in
# one step and which may not come back over it.
older=1.34.99
older_msi() {
  python3 "$KX_ROOT/scripts/make-msi.py" "$work/dist/stage-x64/msi/files" "$work/dist/stage-x64/msi/registry" \
    "$older" x64 "$(msi_of x64 $older)" && [ "$(product_code "$(msi_of x64 $older)")" != "$(product_code "$(msi_of x64)")" ]
}
check "x64 .msi: an older version ($older) of its own product code installs" \
  eval 'older_msi && install_msi x64 $older && installed "$(msi_of x64 $older)"'
check "x64 .msi: upgrades it in one step, leaving one product of this version" \
  eval 'install_msi x64 && installed "$(msi_of x64)" && ! installed "$(msi_of x64 $older)"'
# Wine 8's msiexec /qn logs no launch condition's message: the log shows
# the newer product found, and the condition that failed carries the message.
downgrade_refused() {
  local rc=0
  install_msi x64 $older || rc=$?
  echo "msiexec exit code $rc"
  [ "$rc" = 67 ] && grep -aq "WIX_DOWNGRADE_DETECTED = $(product_code "$(msi_of x64)")" "$work/msi.log" &&
    msiinfo export "$(msi_of x64 $older)" LaunchCondition | tr -d '\r' |
    grep -qx "NOT WIX_DOWNGRADE_DETECTED	A newer version of Kestrix is already installed." &&
    installed "$(msi_of x64)" && ! installed "$(msi_of x64 $older)"
}
check "x64 .msi: the older version over it is refused (1603), for the newer one found" downgrade_refused
check "x64 .msi: no self-registration or custom action, the OCX's file version, its installed programs entry" \
  tables_ok x64 64
check "x64 .msi: the registry holds what the 64-bit regsvr32 wrote" \
  same_registry x64 64 "$work/ref64-x64" "$work/unpacked64/Kestrix-$version-"{x64,x86}
check "x64 .msi: a 64-bit script creates the control, its type library loads" eval 'made 64 && probe 64'
check "both .msi: x86 installed beside it, x64 removed, the 32-bit control still works" \
  eval 'install_msi x86 && removed x64 && made 32 && probe 32'
check "both .msi: x64 back, x86 removed, the 64-bit control still works" \
  eval 'install_msi x64 && removed x86 && made 64 && probe 64'
# Windows keeps the ProgID in one key that both views share, and so the
# packages' shared component writes it once. Wine's msi writes a 32-bit
# component's copy of it under Wow6432Node, which the 64-bit package
# removed last does not see: that copy apart, nothing may be left.
wine_progid_apart() {
  $W reg delete 'HKLM\Software\Classes\Wow6432Node\Kestrix32.Kestrix' /f </dev/null >/dev/null 2>&1
  nothing_left
}
check "both .msi: the last removed, nothing of Kestrix is left (Wine's copy of the ProgID in the other view apart)" \
  eval 'removed x64 && wine_progid_apart'

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
