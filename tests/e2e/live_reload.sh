# demo-live started in the build folder reloads the data as they are saved, with the shaders
# the repository's own: scene 1's fragment shader rewritten in place in the repository, then
# saved by rename in the build folder (as editors save) and so in the repository, each shows on
# screen as demo-snapshot renders the edited data, and the build run again leaves the edit be;
# a shader that does not compile is listed file:line with its line quoted, the last good
# picture staying on screen until the shader is fixed; a deleted picture keeps the last good
# one and a new one shows once it is back. The data are a copy laid out as the build lays them
# out, with a stand-in for the repository.
SCREEN_SIZE=960x540x24
source "$(dirname "$0")/live_lib.sh"
[ "$DEMO_DATA/newshaders" -ef "$SOURCE_DIR/newshaders" ] || fail "the build's newshaders/ is not the repository's"
lay_out_as_built
at=5  # scene 1, the cheapest scene to render
frag=$(awk '$1 == "program" { print $3; exit }' "$show_data")
picture=$(data_entry picture)
snapshot "$at" "$work/original.png"
cp "$repo/$frag" "$work/original.fs"

start_live --at "$at" --paused --no-hud
wait_for_screen "$work/original.png" 45 "the start"

# The colour channels turned, the shader otherwise as it was: it still uses every input the
# demo feeds it, so it passes the interface checks.
turned() { sed "s/^}\$/    FragColor.rgb = FragColor.$1;\\n}/" "$work/original.fs"; }
# A frame on and back: the same time drawn again, by whatever program the scene has now.
redraw() { xdotool key period comma; }

turned brg >"$work/brg.fs"
cat "$work/brg.fs" >"$repo/$frag"  # rewritten in place: same file, truncated and written
wait_for_output "^demo-live: $frag: scene 1 rebuilt"
snapshot "$at" "$work/brg.png"
wait_for_screen "$work/brg.png" 45 "the shader rewritten in place"

turned gbr >"$work/gbr.fs"
cp "$work/gbr.fs" "$run_dir/$frag.new"
mv "$run_dir/$frag.new" "$run_dir/$frag"  # saved by rename
wait_for_output "^demo-live: $frag: scene 1 rebuilt" 2
snapshot "$at" "$work/gbr.png"
wait_for_screen "$work/gbr.png" 45 "the shader saved by rename"
cmp -s "$work/gbr.fs" "$repo/$frag" || fail "the save in the build folder is not in the repository"
build_shaders_link
cmp -s "$work/gbr.fs" "$repo/$frag" || fail "the build overwrote the edit"

sed -i '20i\    float broken = ;' "$repo/$frag"
wait_for_output "^demo-live: $frag: scene 1 keeps its last good program"
grep -qE "^$frag:20: error: " "$work/stdout" || fail "the compile error is not listed as $frag:20"
grep -qxF "    float broken = ;" "$work/stdout" || fail "the line at fault is not quoted"
redraw
wait_for_screen "$work/gbr.png" 45 "the last good program after a broken save"
cp "$work/original.fs" "$repo/$frag"
wait_for_output "^demo-live: $frag: scene 1 rebuilt" 3
wait_for_screen "$work/original.png" 45 "the shader fixed"

ffmpeg -v error -nostdin -i "$run_dir/$picture" -vf vflip "$work/flipped.png"
rm "$run_dir/$picture"
wait_for_output "^demo-live: $picture: the picture keeps its last good one"
grep -qF "$picture: cannot be read (No such file or directory)" "$work/stdout" || fail "the deletion is not told"
redraw
wait_for_screen "$work/original.png" 45 "the last good picture after its deletion"
cp "$work/flipped.png" "$run_dir/$picture"
wait_for_output "^demo-live: $picture: picture reloaded"
snapshot "$at" "$work/flipped-show.png"
wait_for_screen "$work/flipped-show.png" 45 "the picture back, flipped"

quit_live "after the reloads"
echo "live reload: in place in the repository, by rename in the build folder, kept by a build, broken and" \
  "fixed shader, deleted and new picture"
