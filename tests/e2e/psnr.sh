# Comparing pictures for the shell tests, through ffmpeg: the peak signal-to-noise ratio of two
# pictures' RGB, in dB, "inf" when they are identical. Sourced by a case's library, which
# defines fail.

# Prints the PSNR of pictures $1 and $2.
psnr() {
  ffmpeg -hide_banner -nostdin -i "$1" -i "$2" \
    -lavfi '[0]format=rgb24[a];[1]format=rgb24[b];[a][b]psnr' -f null - 2>&1 |
    sed -n 's/.*PSNR.* average:\([^ ]*\).*/\1/p'
}

# True when score $1 is at least $2 dB.
psnr_above() {
  [ "$1" = inf ] || awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'
}

# Fails unless the PSNR of pictures $1 and $2 is at least $3 dB; $4 names the frame.
psnr_at_least() {
  local score
  score=$(psnr "$1" "$2")
  psnr_above "$score" "$3" || fail "$4: PSNR $score dB against the demo's"
}
