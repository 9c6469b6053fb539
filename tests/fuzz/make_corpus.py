#!/usr/bin/env python3
"""Writes the seed books of the book reader fuzz target into tests/fuzz/corpus.

The bytes are put together here field by field, without the program, so that
the seeds stay what they claim to be even when the writer is wrong. Run it
again after changing a seed and commit the files.
"""

import pathlib
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"
MAGIC = b"VeVaRuZa\0"
AUTO = 0xFFFFFFFF
GOTHIC = "ＭＳ ゴシック"


def cp932(text):
    return text.encode("cp932")


def string(value):
    return struct.pack("<I", len(value)) + value


def text_format(back=AUTO, text=AUTO, size=10, face=cp932(GOTHIC)):
    return struct.pack("<IIi", back, text, size) + string(face)


def record(update_time=-1, read_only=0, ime_auto_on=0, selection=(0, 0), floating=0, always_on_top=0,
           fixed_size=0, show_title=0, rect=(10, 10, 110, 110), frame_color=AUTO, frame_style=1,
           title_format=None, editor_format=None, title=b"", text=b""):
    return (struct.pack("<iBBiiBBBB", update_time, read_only, ime_auto_on, *selection, floating, always_on_top,
                        fixed_size, show_title)
            + struct.pack("<iiii", *rect)
            + struct.pack("<Ii", frame_color, frame_style)
            + (title_format or text_format())
            + (editor_format or text_format())
            + string(title)
            + string(text))


def book(records, count=None):
    return MAGIC + struct.pack("<I", len(records) if count is None else count) + b"".join(records)


def unlike_pages():
    long_text = cp932("一行目\r\n二行目\r\n") + b"x" * 1500 + cp932("終わり")
    return [
        record(update_time=1700000000, read_only=1, selection=(3, 17), floating=1, fixed_size=1,
               rect=(-1200, -30, -900, 250), frame_color=0x00123456, frame_style=2,
               title_format=text_format(0x00FF0000, 0x0000FF00, 14, cp932("ＭＳ 明朝")),
               editor_format=text_format(0x00000000, 0x00FFFFFF, 72, cp932("IPAゴシック")),
               title=cp932("予定"), text=long_text),
        record(),
        record(update_time=0x7FFFFFFF, ime_auto_on=1, always_on_top=1, show_title=1, frame_style=0,
               title_format=text_format(size=-5, face=b""), editor_format=text_format(face=b""),
               title=cp932("買い物"), text=cp932("牛乳\r\nパン\r\n")),
        record(floating=1, always_on_top=1, rect=(0, 0, 0, 0), frame_color=0, frame_style=2,
               title=cp932("表示"), text=b"ASCII only"),
    ]


def seeds():
    pages = unlike_pages()
    several = book(pages)
    one = book([record(title=cp932("新しいページ"), text=cp932("メモ"))])
    yield "empty.bok", book([])
    yield "one-default-page.bok", book([record()])
    yield "one-page.bok", one
    yield "unlike-pages.bok", several
    yield "trailing-bytes.bok", one + b"\0\1\2 trailing"
    # Sound, but saved again differently: flags other than 0 and 1, zero bytes inside strings.
    yield "normalised.bok", book([record(read_only=7, show_title=0xFF, title=b"ab\0cd", text=b"\0",
                                         title_format=text_format(face=b"Face\0Rest"))])
    yield "cut-in-record.bok", several[: len(several) // 2]
    yield "cut-in-header.bok", MAGIC + b"\1\0"
    yield "bad-magic.bok", b"VeVaRuZa!" + several[9:200]
    yield "huge-count.bok", book(pages[1:2], count=0xFFFFFFFF)
    # The text of the only page claims almost 4 GiB.
    yield "huge-length.bok", book([record(title=b"t")])[:-4] + struct.pack("<I", 0xFFFFFFF0) + b"text"


def main():
    CORPUS.mkdir(exist_ok=True)
    for name, data in seeds():
        (CORPUS / name).write_bytes(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
