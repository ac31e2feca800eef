#!/usr/bin/env bash
# Takes the screenshots of boardwatch's page in the README: three boardsims
# play through three relays, a round of eight boards names the players (the
# other five relays are not there), and headless Chromium shows the live
# page at 1920x1080 (docs/boardwatch-hall.png) and on a phone, 390x844
# (docs/boardwatch-phone.png), while the games go on.
#   bash scripts/page_screenshot.sh [BUILD_DIR]    (default build/dev, built first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
bash scripts/setup.sh chromium
[ -d "$build" ] || cmake --preset dev -B "$build"
cmake --build "$build" --target boardwatch boardsim damrelay page_screenshot

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

games=(
  "35-30 18-22 33-29 19-24 30x19 13x33 38x29 14-19 29-24 19x30 34x14 9x20 31-27 22x31 36x27 20-24 37-31 24-30 42-38 12-18 48-42 4-9 27-21 17x48"
  "32-28 19-23 28x19 14x23 37-32 10-14 41-37 5-10 46-41 20-25 31-26 15-20"
  "33-28 18-23 39-33 12-18 44-39 7-12 50-44"
)
players=("Jansen, Jan" "Anna de Vries" "Piet Smit" "Bakker" "Müller" "Łukasz Nowak" "Diallo" "Sow"
         "van den Berg" "Kok" "Visser" "Mulder" "de Boer" "Meijer" "Bos" "Vos")
printf 'board,relay,white,black\n' > "$scratch/round.csv"
for board in 1 2 3 4 5 6 7 8; do
  port=$((50100 + board))
  white=${players[$(( (board - 1) * 2 ))]}
  black=${players[$(( (board - 1) * 2 + 1 ))]}
  printf '%s,127.0.0.1:%s/COM3,"%s","%s"\n' "$board" "$port" "$white" "$black" >> "$scratch/round.csv"
  i=$((board - 1))
  [ "$i" -lt "${#games[@]}" ] || continue
  echo "${games[$i]}" > "$scratch/game$i"
  "$build/tools/boardsim/boardsim" --link "$scratch/board$i" --pace 20 --game "$scratch/game$i" \
    < /dev/null > "$scratch/boardsim$i.log" 2>&1 &
  pids+=($!)
  sleep 0.3
  "$build/server/damrelay" --listen 127.0.0.1 --map COM3="$scratch/board$i" "$port" > "$scratch/relay$i.log" 2>&1 &
  pids+=($!)
done

"$build/tools/boardwatch/boardwatch" --http 127.0.0.1:0 --pdn "$scratch" --round "$scratch/round.csv" \
  --event "Dutch Open" --site Utrecht --round-tag 3 < /dev/null > "$scratch/watch.log" 2>&1 &
pids+=($!)
until grep -q "http://127.0.0.1:" "$scratch/watch.log"; do sleep 0.1; done
port=$(sed -n 's|.*http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$scratch/watch.log" | head -1)

moves() {
  exec 3<>"/dev/tcp/127.0.0.1/$port"
  printf 'GET /state.json HTTP/1.0\r\n\r\n' >&3
  grep -c '^        "[0-9]*[-x][0-9]*",\?$' <&3 || true
  exec 3<&-
}
# The first game played out, the others under way.
until [ "$(moves)" -ge 30 ]; do sleep 0.5; done
"$build/testing/support/page_screenshot" "http://127.0.0.1:$port/" 1920 1080 docs/boardwatch-hall.png
"$build/testing/support/page_screenshot" "http://127.0.0.1:$port/" 390 844 docs/boardwatch-phone.png
echo "docs/boardwatch-hall.png docs/boardwatch-phone.png"
