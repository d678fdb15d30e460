# What a short capture makes: an MP4 with exactly (to - from) x fps H.264 frames and an AAC
# track as long; a second capture, made without a display, with the same frames, hash for hash;
# frames equal to the demo's own rendering of their time, as PNGs exactly and through the video
# closely; and beside PNGs a soundtrack as long as the capture (what it holds is the logic
# tests' to check).
source "$(dirname "$0")/capture_lib.sh"
range=(--from 20 --to 20.5 --fps 10)

capture "${range[@]}" --size 320x180 --out "$work/a.mp4"
expect_eq "$status" 0 "exit status"
streams=$(ffprobe -v error -count_frames -of csv=p=0 \
  -show_entries stream=codec_type,codec_name,pix_fmt,width,height,nb_read_frames,duration "$work/a.mp4")
video=$(grep ',video,' <<<"$streams") || fail "no video stream in: $streams"
audio=$(grep ',audio,' <<<"$streams") || fail "no audio stream in: $streams"
IFS=, read -r codec _ width height pix_fmt video_seconds frames <<<"$video"
expect_eq "$codec/$pix_fmt/${width}x$height" "h264/yuv420p/320x180" "video format"
expect_eq "$frames" 5 "video frames"
IFS=, read -r acodec _ audio_seconds _ <<<"$audio"
expect_eq "$acodec" aac "audio codec"
# One AAC frame (1024 samples) either way covers the encoder's priming and padding.
awk -v a="$audio_seconds" -v v="$video_seconds" 'BEGIN { d = a - v; exit !(d < 0.024 && d > -0.024) }' \
  || fail "audio lasts $audio_seconds s, video $video_seconds s"

# The second one with no display at all (drawn through EGL) makes the same frames.
CAPTURE_PREFIX="env -u DISPLAY -u WAYLAND_DISPLAY" capture "${range[@]}" --size 320x180 --out "$work/b.mp4"
expect_eq "$status" 0 "exit status of the second capture, without a display"
for run in a b; do ffmpeg -v error -nostdin -i "$work/$run.mp4" -map 0:v -f framemd5 "$work/$run.md5"; done
cmp -s "$work/a.md5" "$work/b.md5" || fail "two captures of the same range, with and without a display, differ"

# The video's third frame (t = 20.2) against the demo's rendering at that size: close, not
# equal, after H.264 and chroma subsampling; a flipped or shifted frame scores far lower.
ffmpeg -v error -nostdin -i "$work/a.mp4" -vf 'select=eq(n\,2)' -frames:v 1 "$work/video.png"
"$SNAPSHOT" 20.2 "$work/snapshot-small.png" 320x180
psnr_at_least "$work/video.png" "$work/snapshot-small.png" 30 "video frame at t = 20.2 s"

# Frame 201 of a PNG capture is t = 20.1 exactly as the demo draws it, its soundtrack beside.
capture --from 20.1 --to 20.2 --fps 10 --frames "$work/frames"
expect_eq "$status" 0 "exit status of the PNG capture"
expect_eq "$(ls "$work/frames" | tr '\n' ' ')" "frame-000201.png soundtrack.wav " "PNG capture files"
"$SNAPSHOT" 20.1 "$work/snapshot.png"
psnr_at_least "$work/frames/frame-000201.png" "$work/snapshot.png" 50 "PNG frame at t = 20.1 s"
wav_samples=$(ffprobe -v error -of csv=p=0 -show_entries stream=duration_ts "$work/frames/soundtrack.wav")
expect_eq "$wav_samples" 4410 "soundtrack samples for 0.1 s"
echo "capture output: frame count, audio length, identical reruns, frames match the demo"
