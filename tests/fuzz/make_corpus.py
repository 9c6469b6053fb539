#!/usr/bin/env python3
# Writes the seed books of the book reader fuzz target into tests/fuzz/corpus.
# The bytes are put together here field by field, without the program, so that
# the seeds stay what they claim to be even when the writer is wrong. Run it
# again after changing a seed and commit the files.

import pathlib
import struct


# A length and the bytes, text in code page 932.
def string(value):
    value = value if isinstance(value, bytes) else value.encode("cp932")
    return struct.pack("<I", len(value)) + value


# 0xFFFFFFFF: the automatic colour.
def text_format(back=0xFFFFFFFF, text=0xFFFFFFFF, size=10, face="ＭＳ ゴシック"):
    return struct.pack("<IIi", back, text, size) + string(face)


# Fields in file order: update time, read-only and IME flags, selection,
# floating, always-on-top, fixed-size and show-title flags, window rectangle,
# frame colour and style, title and editor formats, title, text.
def record(update_time=-1, read_only=0, ime_auto_on=0, selection=(0, 0), floating=0, always_on_top=0, fixed_size=0,
           show_title=0, rect=(10, 10, 110, 110), frame_color=0xFFFFFFFF, frame_style=1, title_format=None,
           editor_format=None, title="", text=""):
    return (struct.pack("<iBBiiBBBBiiiiIi", update_time, read_only, ime_auto_on, *selection, floating, always_on_top,
                        fixed_size, show_title, *rect, frame_color, frame_style)
            + (title_format or text_format()) + (editor_format or text_format()) + string(title) + string(text))


def book(records, count=None):
    return b"VeVaRuZa\0" + struct.pack("<I", len(records) if count is None else count) + b"".join(records)


pages = [record(update_time=1700000000, read_only=1, selection=(3, 17), floating=1, fixed_size=1,
                rect=(-1200, -30, -900, 250), frame_color=0x00123456, frame_style=2,
                title_format=text_format(0x00FF0000, 0x0000FF00, 14, "ＭＳ 明朝"),
                editor_format=text_format(0x00000000, 0x00FFFFFF, 72, "IPAゴシック"), title="予定",
                text="一行目\r\n二行目\r\n" + "x" * 1500 + "終わり"),
         record(),
         record(update_time=0x7FFFFFFF, ime_auto_on=1, always_on_top=1, show_title=1, frame_style=0,
                title_format=text_format(size=-5, face=""), editor_format=text_format(face=""), title="買い物",
                text="牛乳\r\nパン\r\n"),
         record(floating=1, always_on_top=1, rect=(0, 0, 0, 0), frame_color=0, frame_style=2, title="表示",
                text="ASCII only")]
several = book(pages)
one = book([record(title="新しいページ", text="メモ")])
seeds = {
    "empty.bok": book([]),
    "one-default-page.bok": book([record()]),
    "one-page.bok": one,
    "unlike-pages.bok": several,
    "trailing-bytes.bok": one + b"\0\1\2 trailing",
    # Sound, but saved again differently: flags other than 0 and 1, zero bytes inside strings.
    "normalised.bok": book([record(read_only=7, show_title=0xFF, title=b"ab\0cd", text=b"\0",
                                   title_format=text_format(face=b"Face\0Rest"))]),
    "cut-in-record.bok": several[: len(several) // 2],
    "cut-in-header.bok": b"VeVaRuZa\0\1\0",
    "bad-magic.bok": b"VeVaRuZa!" + several[9:200],
    "huge-count.bok": book(pages[1:2], count=0xFFFFFFFF),
    # The text of the only page claims almost 4 GiB.
    "huge-length.bok": book([record(title="t")])[:-4] + struct.pack("<I", 0xFFFFFFF0) + b"text",
}
for name, data in seeds.items():
    (pathlib.Path(__file__).resolve().parent / "corpus" / name).write_bytes(data)
