# Prints every tag item of a FLAC, Ogg Vorbis, Opus or MP4 file as JSON, read
# by mutagen (a reader independent of TagLib), for the tag tests to compare.
# Comment keys are upper-cased and grouped (values keep their order);
# binary data show as SHA-1 digests.
import hashlib
import json
import sys

import mutagen
from mutagen.flac import FLAC
from mutagen.mp4 import MP4, MP4Cover, MP4FreeForm


def digest(data):
    return hashlib.sha1(bytes(data)).hexdigest()


def picture(p):
    return [p.type, p.mime, p.desc, p.width, p.height, p.depth, p.colors, digest(p.data)]


def comments(tags):
    out = {}
    for key, value in tags or []:
        out.setdefault("comment:" + key.upper(), []).append(value)
    return out


def mp4value(v):
    if isinstance(v, MP4Cover):
        return ["cover", int(v.imageformat), digest(v)]
    if isinstance(v, MP4FreeForm):
        if v.dataformat == 1:
            return ["text", bytes(v).decode("utf-8")]
        return ["data", int(v.dataformat), digest(v)]
    if isinstance(v, tuple):
        return list(v)
    if isinstance(v, bytes):
        return ["bytes", digest(v)]
    return v


def dump(path):
    f = mutagen.File(path)
    out = {}
    if isinstance(f, FLAC):
        out.update(comments(f.tags))
        out["pictures"] = [picture(p) for p in f.pictures]
        # Blocks of the stream: 0 stream info, 2 application, 3 seek table, 5 cue sheet.
        out["blocks"] = [[b.code, digest(b.write())] for b in f.metadata_blocks if b.code in (0, 2, 3, 5)]
    elif isinstance(f, MP4):
        for key, values in (f.tags or {}).items():
            if not isinstance(values, list):
                values = [values]
            out["item:" + key] = [mp4value(v) for v in values]
    else:
        out.update(comments(f.tags))
    return out


print(json.dumps({p: dump(p) for p in sys.argv[1:]}, sort_keys=True, ensure_ascii=False))
