# shellcheck shell=bash
# One run at a time per build folder.
#
# Two runs sharing a build folder would build over each other and, worse,
# stop each other's wine server. Sourced by build.sh, test.sh, demo.sh and
# wine-env.sh:
#   kx_lock_build_dir <build-dir>    # waits while another live run holds it
#   kx_unlock_build_dir              # releases it if this shell took it
# The lock is a folder <build-dir>/.kestrix-lock holding the owner's pid.
# A shell that holds it exports KX_LOCK_HOLDER, so scripts it starts see the
# lock as theirs. A lock whose owner is dead is taken over. No open file
# descriptor is involved, so nothing left running (a wine server, an Xvfb)
# can keep a lock alive after its owner died.
# KX_LOCK_WAIT: seconds to wait for another run (default 1800).

kx_lock_build_dir() {
  # Callers may run with errexit: every failure here is handled.
  local -
  set +e
  local build="$1"
  mkdir -p "$build" || return 1
  local dir
  dir="$(cd "$build" && pwd)/.kestrix-lock"
  local owner
  owner=$(cat "$dir/pid" 2>/dev/null)
  # Held by this shell or by the run that started it.
  if [ -n "$owner" ] && { [ "$owner" = "${KX_LOCK_HOLDER:-}" ] || [ "$owner" = "$$" ]; } &&
     kill -0 "$owner" 2>/dev/null; then
    return 0
  fi
  local waited=0 said=0
  while ! mkdir "$dir" 2>/dev/null; do
    owner=$(cat "$dir/pid" 2>/dev/null)
    if [ -z "$owner" ]; then
      # Being created this very moment, or left half-made by a killed run.
      if [ "$waited" -ge 5 ]; then rm -rf "$dir"; fi
    elif ! kill -0 "$owner" 2>/dev/null; then
      rm -rf "$dir"
      continue
    elif [ "$said" = 0 ]; then
      echo "lock: waiting for another run using $build (pid $owner)" >&2
      said=1
    fi
    if [ "$waited" -ge "${KX_LOCK_WAIT:-1800}" ]; then
      echo "lock: gave up waiting for $build after $waited s" >&2
      return 1
    fi
    sleep 1
    waited=$((waited + 1))
  done
  echo "$$" >"$dir/pid"
  KX_LOCK_DIR="$dir"
  export KX_LOCK_HOLDER="$$"
}

kx_unlock_build_dir() {
  local -
  set +e
  if [ -n "${KX_LOCK_DIR:-}" ] && [ "$(cat "$KX_LOCK_DIR/pid" 2>/dev/null)" = "$$" ]; then
    rm -rf "$KX_LOCK_DIR"
  fi
  KX_LOCK_DIR=
  return 0
}
