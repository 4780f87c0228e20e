#!/bin/sh
# Makes MP3 files with lame (CBR, VBR, ABR, mono, MPEG-2 and 2.5, with and
# without a Xing header, ID3v2 tags of 0 to 200 KB in front) and compares
# the play time and bit rate of `velmora-bench file-info` with python3
# mutagen's and with a count of every frame (mutagen guesses from the first
# frame when a VBR file has no Xing header).
# Usage: tools/check-audio-facts.sh [velmora-bench] [work dir]
set -eu
bench=$(realpath "${1:-build/bench/velmora-bench}")
work=${2:-$(mktemp -d)}
mkdir -p "$work" && cd "$work"
py=/usr/bin/python3 # the system Python, which has mutagen

$py - <<'PY'
import math, random, struct, wave
random.seed(1)
def make(name, rate, channels, seconds):
    out = bytearray()
    for i in range(int(rate * seconds)):
        t = i / rate
        part = int(t / 2) % 4 # silence, tone, noise, both: the bit rate varies
        v = [0.0, 0.5 * math.sin(2 * math.pi * 440 * t), 0.4 * (random.random() * 2 - 1),
             0.3 * math.sin(2 * math.pi * 220 * t) + 0.2 * (random.random() * 2 - 1)][part]
        out += struct.pack('<h', int(v * 30000)) * channels
    with wave.open(name, 'wb') as w:
        w.setnchannels(channels); w.setsampwidth(2); w.setframerate(rate); w.writeframes(bytes(out))
make('stereo.wav', 44100, 2, 30)
make('mono.wav', 44100, 1, 20)
PY

encode() { # name source lame-options...
    name=$1 src=$2; shift 2
    lame --quiet "$@" "$src" "$name.mp3"
    lame --quiet -t "$@" "$src" "$name-noxing.mp3"
}
encode cbr128 stereo.wav -b 128
encode vbr stereo.wav -V 2
encode abr stereo.wav --abr 160
encode mono stereo.wav -m m -b 64
encode monovbr mono.wav -V 4
encode mpeg2 stereo.wav --resample 22.05 -b 64
encode mpeg2vbr stereo.wav --resample 22.05 -V 5
encode mpeg25 stereo.wav --resample 11.025 -b 32
encode mpeg25vbr stereo.wav --resample 11.025 -V 6

$py - "$bench" <<'PY'
import glob, os, random, re, shutil, subprocess, sys
from mutagen.id3 import ID3, APIC, TIT2
bench = sys.argv[1]
def walk(path): # every frame: (seconds, kbit/s)
    d = open(path, 'rb').read()
    p = 10 + (d[6] << 21 | d[7] << 14 | d[8] << 7 | d[9]) if d[:3] == b'ID3' else 0
    rates = {3: (44100, 48000, 32000), 2: (22050, 24000, 16000), 0: (11025, 12000, 8000)}
    kbps = {3: (0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320),
            2: (0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160)}
    seconds = size = 0
    while p + 4 <= len(d):
        v, b, r = d[p + 1] >> 3 & 3, d[p + 2] >> 4, d[p + 2] >> 2 & 3
        if d[p] != 0xFF or d[p + 1] & 0xE6 != 0xE2 or v == 1 or b in (0, 15) or r == 3:
            p += 1; continue
        n = (144 if v == 3 else 72) * kbps[3 if v == 3 else 2][b] * 1000 // rates[v][r] + (d[p + 2] >> 1 & 1)
        seconds += (1152 if v == 3 else 576) / rates[v][r]; size += n; p += n
    return seconds, size * 8 / seconds / 1000
def tagged(src, kb):
    name = src[:-4] + '-tag%dk.mp3' % kb
    shutil.copy(src, name)
    tag = ID3(); tag.add(TIT2(encoding=3, text='Title'))
    if kb:  # a cover of random bytes and sync-like FF FB pairs
        data = bytes(random.getrandbits(8) for _ in range(kb * 512)) + b'\xff\xfb\x90\x64' * (kb * 128)
        tag.add(APIC(encoding=0, mime='image/jpeg', type=3, desc='', data=data))
    tag.save(name, v1=0, padding=lambda info: 0)
    return name
files = sorted(glob.glob('*.mp3'))
files += [tagged(f, kb) for f in files if '-tag' not in f for kb in (1, 48, 200)]
bad = 0
for f in sorted(files):
    report = subprocess.run([bench, 'file-info', f], capture_output=True, text=True).stdout
    h, m, s = map(int, re.search(r'^Play Time: (\d+):(\d+):(\d+)$', report, re.M).groups())
    ours_len = h * 3600 + m * 60 + s
    ours_rate = int(re.search(r'^Bit Rate: (\d+)$', report, re.M).group(1))
    info = __import__('mutagen.mp3').mp3.MP3(f).info
    w_len, w_rate = walk(f)
    near = lambda length, rate: abs(ours_len - length) <= 1 and abs(ours_rate - rate) <= 2
    bad += not near(w_len, w_rate)
    print('%-29s velmora %4ds %4dk  mutagen %7.2fs %6.1fk %-7s  frames %7.2fs %6.1fk %s' % (f, ours_len,
          ours_rate, info.length, info.bitrate / 1000, 'ok' if near(info.length, info.bitrate / 1000) else 'DIFFERS',
          w_len, w_rate, 'ok' if near(w_len, w_rate) else 'DIFFERS'))
print('differ from the frame count: %d of %d' % (bad, len(files)))
PY
