# Shared by the scripts that play a user's session with the real program:
# building it, a temporary folder cleaned up at exit with the processes the
# script started, and a program folder with a store over a documents folder.
# Source it from the repository's root.

# Installs what the session needs and builds varnoket and varnoket-cli into
# $build (BUILD_DIR, default build).
# With PREBUILT set to a build folder that holds them already (say
# build-asan), that folder is used as it is.
build_programs() {
  bash scripts/install-deps.sh --with-screen
  if [ -n "${PREBUILT:-}" ]; then
    build=$PREBUILT
    return
  fi
  build=${BUILD_DIR:-build}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$(nproc)" --target varnoket varnoket-cli >/dev/null
}

# Makes $work, a fresh temporary folder; at exit every process whose id is in
# the `pids` array is ended and the folder removed.
make_work_folder() {
  work=$(mktemp -d)
  pids=()
  trap end_session EXIT
}
end_session() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}

# The program installed in $prog with VARNOKET.INI pointing at $store, and the
# station file of this machine ($station) backing up the folder $1. Any
# further arguments are extra lines of the station file's [PARAMS] section.
prepare_program_folder() {
  local documents=$1
  shift
  mkdir -p "$prog" "$store"
  install -m 755 "$build/src/app/varnoket" "$prog/varnoket"
  station=$(hostname)
  station=${station%%.*}
  printf '[PARAMS]\r\nRACINE=%s\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n' "$store" > "$prog/VARNOKET.INI"
  mkdir -p "$store/$station"
  # The marker a configured store carries: runs write only where it is.
  printf '[STORE]\r\nID=%s\r\nCREATED=%s\r\n' "$(head -c 16 /dev/urandom | od -An -tx1 | tr -d ' \n')" \
    "$(date '+%Y-%m-%d %H:%M:%S')" > "$store/VARNOKET.STORE"
  {
    printf '[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n'
    for line in "$@"; do printf '%s\r\n' "$line"; done
    printf '[DIRECTORIES]\r\nD1=%s\r\n' "$documents"
  } > "$store/$station/$station.ini"
}

# A backup by varnoket-cli under a clock set to 14:00, $1 days ago.
backup_days_ago() {
  NO_FAKE_STAT=1 faketime "$(date -d "$1 days ago" '+%Y-%m-%d') 14:00:00" \
    "$build/src/cli/varnoket-cli" --program-folder "$prog" backup >/dev/null
}
