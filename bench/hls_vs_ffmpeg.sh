#!/usr/bin/env bash
# A recorded HLS stream against ffmpeg and yt-dlp on the same local nginx:
# a 2-minute stream of 2-second segments in two variants (720p at 4 Mbit/s
# and 360p at 1 Mbit/s, constant bit rate, so every segment weighs what its
# time says), made by ffmpeg, served with each connection capped at
# 1 MB/s so that fetching segments side by side is what counts.
#   dromo-fetch --connections 8 URL out.mp4      (as many as yt-dlp's fragments)
#   ffmpeg -i URL -c copy out.mp4                (one segment at a time)
#   yt-dlp -N 8 URL                              (when installed)
# In alternating runs (RUNS each, at least 5; medians): wall time, CPU time
# (user + sys) and the ratios. Every result is checked to be the 720p
# variant's two minutes. Usage: bench/hls_vs_ffmpeg.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
[ "$runs" -ge 5 ] || runs=5

scripts/install-deps.sh
scripts/build.sh dromo-fetch >/dev/null
fetch=$PWD/build/bin/dromo-fetch
ytdlp=$(command -v yt-dlp || true)

source bench/lib.sh
www=$work/www
ffmpeg -v error -y -f lavfi -i testsrc2=size=1280x720:rate=25 -f lavfi -i sine=f=440 -t 120 \
  -filter_complex "[0:v]split=2[a][b];[b]scale=640:360[c]" -map "[a]" -map 1:a -map "[c]" -map 1:a \
  -c:v libx264 -preset ultrafast -g 50 -x264-params nal-hrd=cbr:force-cfr=1 \
  -b:v:0 4M -minrate:v:0 4M -maxrate:v:0 4M -bufsize:v:0 2M \
  -b:v:1 1M -minrate:v:1 1M -maxrate:v:1 1M -bufsize:v:1 500k -c:a aac \
  -f hls -hls_time 2 -hls_playlist_type vod -master_pl_name master.m3u8 \
  -var_stream_map "v:0,a:0 v:1,a:1" -hls_segment_filename "$www/v%v_%03d.ts" "$www/v%v.m3u8"
start_nginx "location / { limit_rate 1m; }"
url=http://127.0.0.1:$port/master.m3u8
mb=$(du -cm "$www"/v0_*.ts | tail -1 | cut -f1)

# The file is the 720p variant's two minutes, or the run does not count.
check() {
  local probe
  probe=$(ffprobe -v error -select_streams v:0 -show_entries stream=width:format=duration -of csv=p=0 "$1" | tr '\n' ' ')
  awk -v p="$probe" -v who="$2" 'BEGIN { split(p, f, "[ ,]+");
    if (f[1] != 1280 || f[2] < 118 || f[2] > 122) { printf "%s made %s\n", who, p > "/dev/stderr"; exit 1 } }'
}

for f in dromo ffmpeg ytdlp; do : > "$work/$f.txt"; done
for _ in $(seq "$runs"); do
  rm -rf "${work:?}/out/"*
  timed "$fetch" --quiet --connections 8 "$url" "$work/out/d.mp4" >> "$work/dromo.txt"
  check "$work/out/d.mp4" dromo-fetch
  timed ffmpeg -v error -y -i "$url" -c copy "$work/out/f.mp4" >> "$work/ffmpeg.txt"
  check "$work/out/f.mp4" ffmpeg
  if [ -n "$ytdlp" ]; then
    timed "$ytdlp" -q --no-part -N 8 -f bestvideo*+bestaudio/best --merge-output-format mp4 \
      -o "$work/out/y.%(ext)s" "$url" >> "$work/ytdlp.txt"
    check "$work/out/y.mp4" yt-dlp
  fi
done

col() { cut -d' ' -f"$2" "$work/$1.txt" | median; }
dw=$(col dromo 1); dc=$(col dromo 2); fw=$(col ffmpeg 1); fc=$(col ffmpeg 2)
echo "HLS, 2 min of 2-s segments, 720p variant ${mb} MB, each connection capped at 1 MB/s, $runs alternating runs (median):"
awk -v dw="$dw" -v dc="$dc" -v fw="$fw" -v fc="$fc" -v m="$mb" 'BEGIN {
  printf "  dromo-fetch --connections 8 %6.2f s  %6.2f MB/s  cpu %.3f s\n", dw, m / dw, dc
  printf "  ffmpeg -c copy             %7.2f s  %6.2f MB/s  cpu %.3f s\n", fw, m / fw, fc
  printf "  vs ffmpeg: %.2f times as fast (target >= 3), cpu %.3f of its own (target <= 1.0)\n", fw / dw, dc / fc }'
if [ -n "$ytdlp" ]; then
  yw=$(col ytdlp 1); yc=$(col ytdlp 2)
  awk -v dw="$dw" -v dc="$dc" -v yw="$yw" -v yc="$yc" -v m="$mb" 'BEGIN {
    printf "  yt-dlp -N 8                %7.2f s  %6.2f MB/s  cpu %.3f s\n", yw, m / yw, yc
    printf "  vs yt-dlp: %.3f times as fast (target >= 1.0), cpu %.3f of its own (target <= 1.0)\n", yw / dw, dc / yc }'
else
  echo "  yt-dlp is not installed: left out"
fi
