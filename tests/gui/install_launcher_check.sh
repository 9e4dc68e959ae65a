#!/usr/bin/env bash
# Installs the build into a throw-away prefix and runs what it installed: every option path of the
# three programs, then the launcher with a throw-away home, as a desktop menu starts it: the
# client must come up in the config folder, a first run must get the sentinel info.cfg that opens
# the setup dialog, and an existing info.cfg must survive.
# The setup dialog opens before any socket, so no port is touched. Usage: SCRIPT BUILD_DIR
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"
BUILD=${1:?usage: $0 BUILD_DIR}
make_work

PREFIX=$WORK/prefix
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

for program in qornc qornc-server qornc-launcher; do
  [ -x "$PREFIX/bin/$program" ] || fault "bin/$program is not installed as a program"
done
DESKTOP=$PREFIX/share/applications/qornc.desktop
if [ -f "$DESKTOP" ]; then
  for line in Name=QORNC Exec=qornc-launcher Icon=qornc 'Categories=Network;InstantMessaging;' \
      X-GNOME-UsesNotifications=true; do
    grep -qxF "$line" "$DESKTOP" || fault "qornc.desktop lacks $line"
  done
  grep -q '^Comment=.' "$DESKTOP" || fault "qornc.desktop has no Comment"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$DESKTOP" || fault "qornc.desktop does not validate"
  fi
else
  fault "share/applications/qornc.desktop is not installed"
fi
for size in 16 32 48 128 256; do
  for name in qornc qornc-alert; do
    icon=$PREFIX/share/icons/hicolor/${size}x${size}/apps/$name.png
    [ -f "$icon" ] || { fault "$icon is not installed"; continue; }
    # A PNG header states its size at bytes 16..23: width and height, big-endian.
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
      awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$width x $height" = "$size x $size" ] || fault "$icon is $width x $height"
  done
done

# Every option path of the three programs, from a terminal with no display: the exit status, the
# text (on standard output for an answer, on standard error for a refusal), and not one file made,
# not even the launcher's settings folder. Each case: program|arguments|status|text.
option_cases=(
  "qornc|--no-such-option|1|qornc: Unknown option 'no-such-option'."
  "qornc|-platform|1|qornc: Missing value after '-platform'."
  "qornc|--version=2|1|qornc: Unexpected value after '--version'."
  "qornc|stray|1|qornc: Unexpected argument 'stray'."
  "qornc|--version|0|qornc 1."
  "qornc|-h|0|--help-all"
  "qornc|--help-all|0|--platform <name"
  "qornc-server|--no-such-option|1|qornc-server: unknown option '--no-such-option'"
  "qornc-server|--port=x|1|qornc-server: bad port 'x' for --port"
  "qornc-server|stray|1|qornc-server: unexpected argument 'stray'"
  "qornc-server|--version|0|qornc-server 1."
  "qornc-launcher|--no-such-option|1|qornc: Unknown option 'no-such-option'."
  "qornc-launcher|stray|1|qornc: Unexpected argument 'stray'."
  "qornc-launcher|--version|0|qornc 1."
  "qornc-launcher|--help|0|--version"
)
for entry in "${option_cases[@]}"; do
  IFS='|' read -r program arguments expected text <<<"$entry"
  home=$WORK/options-home
  rm -rf "$home" && mkdir "$home"
  status=0
  # shellcheck disable=SC2086 # the arguments are words
  (cd "$home" && exec env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" timeout 10 \
    "$PREFIX/bin/$program" $arguments) >"$WORK/out" 2>"$WORK/err" || status=$?
  [ "$status" = "$expected" ] || fault "$program $arguments ended with $status, not $expected: $(cat "$WORK/err")"
  stream=$WORK/out quiet=$WORK/err
  [ "$expected" = 0 ] || stream=$WORK/err quiet=$WORK/out
  grep -qF -- "$text" "$stream" || fault "$program $arguments did not say \"$text\": $(cat "$stream")"
  [ ! -s "$quiet" ] || fault "$program $arguments also wrote: $(cat "$quiet")"
  made=$(find "$home" -mindepth 1)
  [ -z "$made" ] || fault "$program $arguments made $made"
done

runs_as() { [ "$(readlink /proc/$CLIENT/exe 2>/dev/null)" = "$1" ]; }
# Starts the installed launcher with the given environment, waits until it has become the
# installed client, and leaves its pid in CLIENT.
start_launcher() {
  env -i PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen "$@" "$PREFIX/bin/qornc-launcher" >"$WORK/client.log" 2>&1 &
  CLIENT=$!
  pids+=("$CLIENT")
  local expected
  expected=$(readlink -f "$PREFIX/bin/qornc")
  while_alive "$CLIENT" 5 runs_as "$expected" && return 0
  fault "the launcher did not become $expected ($(cat "$WORK/client.log"))"
  return 1
}

# Checks the running client's working folder, then stops it; the first run's setup dialog is
# still open, so it holds nothing that needs a clean exit.
expect_folder() {
  local folder=$1 cwd
  cwd=$(readlink "/proc/$CLIENT/cwd" || true)
  [ "$cwd" = "$folder" ] || fault "the client runs in '$cwd', not in $folder"
  kill -TERM "$CLIENT" 2>/dev/null || true
  wait "$CLIENT" 2>/dev/null || true
}

mode_of() { stat -c %a "$1"; }
FIRST_RUN=$(printf 'userid default\r\npassword default\r\nserverip 127.0.0.1\r\n')

# Each case: the environment given to the launcher, and the folder it must use.
mkdir -p "$WORK/home1" "$WORK/home2" "$WORK/home3"
cases=(
  "HOME=$WORK/home1|$WORK/home1/.config/qornc"
  "HOME=$WORK/home2 XDG_CONFIG_HOME=$WORK/xdg2|$WORK/xdg2/qornc"
  "HOME=$WORK/home3 XDG_CONFIG_HOME=relative/path|$WORK/home3/.config/qornc"
)
for entry in "${cases[@]}"; do
  read -r -a environment <<<"${entry%%|*}"
  folder=${entry##*|}
  start_launcher "${environment[@]}" || continue
  [ -d "$folder" ] || { fault "$folder was not created"; expect_folder "$folder"; continue; }
  [ "$(mode_of "$folder")" = 700 ] || fault "$folder has mode $(mode_of "$folder"), not 700"
  [ "$(mode_of "$folder/info.cfg")" = 600 ] || fault "$folder/info.cfg has mode $(mode_of "$folder/info.cfg")"
  [ "$(cat "$folder/info.cfg")" = "$FIRST_RUN" ] || fault "first-run info.cfg in $folder holds: $(od -c "$folder/info.cfg")"
  expect_folder "$folder"
done

# The user's own settings, in a folder the user made with other modes, stay exactly as they are.
OWN=$WORK/home4/.config/qornc
mkdir -p "$OWN" && chmod 750 "$OWN"
printf 'userid alice\npassword default\nserverip 127.0.0.1\n' >"$OWN/info.cfg"
chmod 640 "$OWN/info.cfg"
before=$(md5sum <"$OWN/info.cfg")
if start_launcher "HOME=$WORK/home4"; then
  expect_folder "$OWN"
fi
[ "$(md5sum <"$OWN/info.cfg")" = "$before" ] || fault "an existing info.cfg was rewritten"
[ "$(mode_of "$OWN/info.cfg")" = 640 ] || fault "an existing info.cfg changed its mode"
[ "$(mode_of "$OWN")" = 750 ] || fault "an existing config folder changed its mode"

verdict "install and launcher: all checks passed"
