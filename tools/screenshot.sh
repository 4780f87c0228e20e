#!/usr/bin/env bash
# Makes docs/screenshot.png: the real Velmora main window on a folder of
# generated MP3 files, drawn on a virtual X display (Xvfb). A developer tool:
# needs Xvfb, xdotool and ImageMagick (apt-get install xvfb xdotool imagemagick).
#   bash tools/screenshot.sh
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
build="${VELMORA_BUILD_DIR:-$root/build}"
out="$root/docs/screenshot.png"

for tool in Xvfb xdotool import python3; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install xvfb xdotool imagemagick)" >&2; exit 1; }
done

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target velmora -j"$(nproc)" >/dev/null

# A throw-away home, so nothing touches the user's own settings or files.
# Outside /tmp, so the folder tree shows no other programs' temporary folders.
work=$(mktemp -d /var/tmp/velmora-shot.XXXXXX)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_RUNTIME_DIR="$work/run"
music="$HOME/Music/Night Drive (2019)"
mkdir -p "$music" "$XDG_CONFIG_HOME/Velmora" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# MPEG-1 Layer III frames with small ID3v2.3 tags, under untidy names.
python3 - "$music" <<'PY'
import os, struct, sys
folder = sys.argv[1]
frame = bytes([0xFF, 0xFB, 0x90, 0x64]) + bytes((i * 7 + 3) & 0x7F for i in range(413))

def text_frame(fid, text):
    body = b"\x00" + text.encode("latin-1")
    return fid.encode() + struct.pack(">I", len(body)) + b"\x00\x00" + body

def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])

songs = [
    ("01_the_lamplighters--city_lights.mp3", "The Lamplighters", "City Lights", 1),
    ("02 the lamplighters - midnight   ferry.MP3", "The Lamplighters", "Midnight Ferry", 2),
    ("03-THE LAMPLIGHTERS-harbour road.mp3", "The Lamplighters", "Harbour Road", 3),
    ("04 - the lamplighters - slow motion (live).mp3", "The Lamplighters", "Slow Motion (Live)", 4),
    ("05%20the%20lamplighters%20-%20northbound.mp3", "The Lamplighters", "Northbound", 5),
    ("06 - the lamplighters - last tram home.Mp3", "The Lamplighters", "Last Tram Home", 6),
]
for name, artist, title, track in songs:
    frames = b"".join([
        text_frame("TPE1", artist), text_frame("TIT2", title), text_frame("TALB", "Night Drive"),
        text_frame("TRCK", "%d/6" % track), text_frame("TYER", "2019"), text_frame("TCON", "Pop"),
    ])
    tag = b"ID3\x03\x00\x00" + syncsafe(len(frames)) + frames
    with open(os.path.join(folder, name), "wb") as f:
        f.write(tag + frame * 60)
PY

cat > "$XDG_CONFIG_HOME/Velmora/Velmora.ini" <<INI
[Settings]
Last%20Path=$music/
Last%20Format=1
SplitSpaces=1
Last%20Width=1180
Last%20Height=800
INI

display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1280x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
sleep 1

"$build/src/app/velmora" >/dev/null 2>&1 &
app_pid=$!
window=$(xdotool search --sync --onlyvisible --name "Velmora \(V" | head -n 1)
sleep 6
xdotool windowfocus --sync "$window" 2>/dev/null || true
# Down selects the first file, Down again the second; Ctrl+F2 builds its name from the tags.
xdotool key --window "$window" Down
sleep 0.5
xdotool key --window "$window" Down
sleep 0.5
xdotool key --window "$window" ctrl+F2
sleep 1
import -window "$window" "$out"
echo "wrote $out"
