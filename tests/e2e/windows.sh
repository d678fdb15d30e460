# The Windows build as a Windows user gets it: the release zip unpacked, and demo.exe run under
# Wine (in a prefix of the test's own, made with wineboot) on a virtual screen with Mesa's
# llvmpipe. It shows the show: a frame it presents is, to 35 dB, one of the show's frames of the
# seconds around as demo-capture renders them (there is no holding its clock, so the test finds
# its time). Escape ends it with status 0 and nothing printed; with a shader missing it prints
# the demo's messages and draws on; and its music reaches OpenAL Soft's wave-file output from the tune's
# first frame, loop after loop, sample-exact. demo-check.exe finds the data all good. Skipped,
# saying why, without the zip or Wine.
source "$(dirname "$0")/lib.sh"
: "${CAPTURE:?}"
zip=$(ls "$WINDOWS_BUILD"/packages/demo-*-windows-x86_64.zip 2>/dev/null | head -n 1) || true
wine=/usr/lib/wine/wine64
[ -n "$zip" ] || { echo "SKIPPED: no Windows build in $WINDOWS_BUILD (scripts/build-windows makes it)"; exit 77; }
[ -x "$wine" ] || { echo "SKIPPED: no Wine (Debian's wine64)"; exit 77; }
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's server outlives the last program by a few seconds, writing into the prefix: it is
# ended and waited for before the test's folder goes.
wineserver=/usr/lib/wine/wineserver64
trap '"$wineserver" -k 2>/dev/null; "$wineserver" -w 2>/dev/null; cleanup' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot could not make a prefix"
unzip -q "$zip" -d "$work/windows"
run_dir=$(echo "$work"/windows/demo-*)
# The same frame drawn by llvmpipe under Wine and natively, averaged down in light (the capture's
# supersampling) and in sRGB values (the grab's scaling): 37 dB; another second's: 20.
least_db=32

# Starts demo.exe in the unpacked folder; waits until its window is up and sets shown to the
# real time then, in seconds.
start_windows_demo() {
  (cd "$run_dir" && exec "$wine" demo.exe >"$work/stdout" 2>"$work/stderr") &
  demo_pid=$!
  poll 60 eval 'xdotool search --onlyvisible --classname "^demo.exe$" >/dev/null 2>&1' || fail "no window from demo.exe"
  shown=$EPOCHREALTIME
}
windows_escape() {
  xdotool key Escape
  finish_demo_within 30 "demo.exe still runs after Escape"
  expect_eq "$status" 0 "demo.exe's exit status ($1)"
}

# OpenAL Soft's configuration for the runs, as Windows sees its path (Wine's Z: is /).
sound_output() {
  use_sound_output "$@"
  export ALSOFT_CONF="Z:$ALSOFT_CONF"
}

# The show: a frame grabbed 3 s after the window came up lies in scene 1, 2.5 to 6 s in; the
# seconds around, rendered 60 a second by demo-capture from the same data at the grab's size and
# supersampled to the screen's, hold its twin.
sound_output null
start_windows_demo
poll 10 eval 'awk -v s="$shown" -v now="$EPOCHREALTIME" "BEGIN { exit !(now - s >= 3) }"'
ffmpeg -v error -nostdin -y -f x11grab -draw_mouse 0 -video_size 1920x1080 -i "$DISPLAY" -frames:v 1 "$work/shown.png"
windows_escape "Escape"
expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "what demo.exe printed"
(cd "$run_dir" && "$CAPTURE" --from 2.5 --to 6 --fps 60 --size 480x270 --supersample 4 --frames "$work/frames" 2>/dev/null) ||
  fail "demo-capture of the seconds around"
ffmpeg -v error -nostdin -pattern_type glob -i "$work/frames/frame-*.png" -loop 1 -i "$work/shown.png" \
  -lavfi "[1]scale=480:270:flags=area[b];[0][b]psnr=shortest=1:stats_file=$work/psnr" -f null -
best=$(awk '{ sub(/.*psnr_avg:/, ""); v = $1 == "inf" ? 99 : $1 + 0; if (v > most) most = v } END { print most }' "$work/psnr")
awk -v b="$best" -v l="$least_db" 'BEGIN { exit !(b >= l) }' || fail "the frame shown matches none of the show's by $least_db dB (best $best)"

# demo-check.exe, on a hidden window's context, finds the data all good.
(cd "$run_dir" && "$wine" demo-check.exe) 2>&1 | tr -d '\r' >"$work/check" || fail "demo-check.exe: $(cat "$work/check")"
grep -q "^demo-check: all good" "$work/check" || fail "demo-check.exe: $(cat "$work/check")"

# A shader missing: the demo's messages, and the show drawn on.
rm "$run_dir/$(awk '$1 == "program" { print $3; exit }' "$show_data")"
start_windows_demo
poll 10 eval 'awk -v s="$shown" -v now="$EPOCHREALTIME" "BEGIN { exit !(now - s >= 2) }"'
windows_escape "a shader missing"
expect_eq "$(tr -d '\r' <"$work/stdout" | awk -v sep="$report_separator" '/^ERROR::/ || $0 == sep')" \
  "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ
ERROR::SHADER_COMPILATION_ERROR of type: VERTEX
$report_separator
ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT
$report_separator
ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM
$report_separator" "demo.exe's messages for a missing shader"
unzip -q -o "$zip" -d "$work/windows"

# The music, through OpenAL Soft's wave-file output (paths as Windows sees them, on Wine's Z:).
frames=9600
use_tune "$frames"
sound_output "Z:$work/capture.wav"
start_windows_demo
poll 30 eval '(($(played_from_start "$work/capture.wav" "$frames") >= 2 * music_rate))' ||
  fail "not two seconds of the tune from its first frame, sample-exact: $(capture_runs "$work/capture.wav" "$frames" | head -n 5)"
windows_escape "the music"
echo "demo.exe under Wine: a frame the show's to $best dB, Escape, a missing shader's messages, the music looped"
