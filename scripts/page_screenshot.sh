#!/usr/bin/env bash
# Takes the screenshot of boardwatch's page in the README
# (docs/boardwatch-page.png): three boardsims play through three relays, a
# fourth relay is not there, and headless Chromium shows the page once the
# games have been played.
#   bash scripts/page_screenshot.sh [BUILD_DIR]    (default build/dev, built first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
bash scripts/setup.sh chromium
[ -d "$build" ] || cmake --preset dev -B "$build"
cmake --build "$build" --target boardwatch boardsim damrelay

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
relays=()
for i in "${!games[@]}"; do
  echo "${games[$i]}" > "$scratch/game$i"
  "$build/tools/boardsim/boardsim" --link "$scratch/board$i" --pace 20 --game "$scratch/game$i" \
    < /dev/null > "$scratch/boardsim$i.log" 2>&1 &
  pids+=($!)
  port=$((50100 + i))
  sleep 0.3
  "$build/server/damrelay" --listen 127.0.0.1 --map COM3="$scratch/board$i" "$port" > "$scratch/relay$i.log" 2>&1 &
  pids+=($!)
  relays+=("127.0.0.1:$port/COM3")
done
relays+=("127.0.0.1:50199/COM4")   # no relay there: the page shows it connecting

"$build/tools/boardwatch/boardwatch" --http 127.0.0.1:0 --pdn "$scratch" "${relays[@]}" > "$scratch/watch.log" 2>&1 &
watch=$!
pids+=($watch)
until grep -q "http://127.0.0.1:" "$scratch/watch.log"; do sleep 0.1; done
port=$(sed -n 's|.*http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$scratch/watch.log" | head -1)

# The browser waits for its network to fall quiet before its virtual time
# runs: the page's event stream keeps it open until boardwatch stops.
HOME="$scratch" chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --user-data-dir="$scratch/profile" \
  --hide-scrollbars --window-size=1640,800 --virtual-time-budget=1000 \
  --screenshot="$PWD/docs/boardwatch-page.png" "http://127.0.0.1:$port/" 2>/dev/null &
browser=$!
until grep -q "page: 1 watching" "$scratch/watch.log"; do sleep 0.1; done

moves() {
  exec 3<>"/dev/tcp/127.0.0.1/$port"
  printf 'GET /state.json HTTP/1.0\r\n\r\n' >&3
  grep -c '^        "[0-9]*[-x][0-9]*",\?$' <&3 || true
  exec 3<&-
}
expected=$(echo "${games[@]}" | wc -w)
until [ "$(moves)" -ge "$expected" ]; do sleep 0.5; done
sleep 1
kill "$watch"
wait "$browser"
echo "docs/boardwatch-page.png"
