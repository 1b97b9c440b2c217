#!/usr/bin/env python3
# Writes the sample sites' catalogue (catalogue_data.cpp: GBK and UTF-8 texts as escaped
# bytes) and, independently of the program's code, the book files a download of each
# sample book must produce (tests/fixtures/sources/*.txt). Run from anywhere:
#   python3 tools/sample-sites/generate_content.py
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
from book_texts import FILLER, SANGUOYANYI, SHUIHUZHUAN, XIYOUJI  # noqa: E402

# The source 2 site's configuration as the build's defaults have it (sites/site_config.cpp).
SOURCE2_HOST = "127.0.0.1:18063"
SOURCE2_NAME = "五二小说网"
AD = [
    "。更多最新章节访问:ｗＷω.⑤㈡ⅹｓ.ｃОｍ 。",
    ",最新章节访问:ωＷｗ.５㈡Ｘｓ.Ｃοｍ 。",
    ".最快更新访问:ＷωＷ.㈤２хＳ.сＯＭ 。",
    "。ｗωｗ.⑤②ⅹＳ.Ｃ０ｍ 更新好快。",
]
PLEASE = "请大家搜索看最全！更新最快的小说"

# Placeholders the server fills in at run time from the configuration it serves: bytes
# that never occur inside GBK text.
SITE_LINK, SITE_NAME = "\x01", "\x02"
AD_AT = ["\x11", "\x12", "\x13", "\x14"]       # sentence k as configured
AD_NBSP_AT = ["\x15", "\x16", "\x17", "\x18"]  # the same with "&nbsp;" for its space

INDENT = "&nbsp;&nbsp;&nbsp;&nbsp;"

SOURCE1_BOOKS = [
    dict(id="1_1", name="西游记", author="吴承恩", chapters=XIYOUJI,
         intro="《西游记》是明代吴承恩所著的长篇神魔小说，讲述孙悟空、猪八戒、沙僧保护唐僧西天取经，历经九九八十一难的故事。"),
    dict(id="2_2", name="水浒传", author="施耐庵", chapters=SHUIHUZHUAN, line_breaks=True,
         intro="《水浒传》是施耐庵所著的长篇章回小说，讲述北宋末年宋江等一百零八位好汉在梁山泊聚义的故事。"),
    dict(id="3_3", name="三国演义", author="罗贯中", chapters=SANGUOYANYI,
         intro="《三国演义》是罗贯中所著的长篇章回体历史演义小说，描写了从东汉末年到西晋初年近百年间的历史风云。"),
    # Its book page carries a server warning: the download refuses it.
    dict(id="4_4", name="西游补", author="董说", chapters=[], intro="", warning=True, capital_em=True),
]
SOURCE2_BOOKS = [
    dict(id="1001", name="西游记", author="吴承恩", chapters=XIYOUJI,
         intro="混沌未分天地乱，茫茫渺渺无人见。自从盘古破鸿蒙，开辟从兹清浊辨"),
    dict(id="1003", name="三国演义", author="罗贯中", chapters=SANGUOYANYI, intro=""),
]
GOLDEN = {  # golden file stem per (source, book id)
    (1, "1_1"): "source1_xiyouji", (1, "2_2"): "source1_shuihuzhuan",
    (1, "3_3"): "source1_sanguoyanyi",
    (2, "1001"): "source2_xiyouji", (2, "1003"): "source2_sanguoyanyi",
}

TOKEN = re.compile(r"\{(AD[1-4]NB|AD[1-4]|LINK|NAME|PLEASE)\}")


def drop_tokens(paragraph):
    return TOKEN.sub("", paragraph)


def fill_placeholders(paragraph):
    def one(m):
        t = m.group(1)
        if t == "LINK":
            return SITE_LINK
        if t == "NAME":
            return SITE_NAME
        if t == "PLEASE":
            return PLEASE
        k = int(t[2]) - 1
        return AD_NBSP_AT[k] if t.endswith("NB") else AD_AT[k]
    return TOKEN.sub(one, paragraph)


def source1_markup(book, index, paragraphs):
    # "<br />" pairs between paragraphs; the second chapter opens with a run of three, the
    # third with the tag in capitals; one book ends every break with a real line break.
    parts = [INDENT + drop_tokens(p) for p in paragraphs]
    out = parts[0]
    for n, part in enumerate(parts[1:]):
        sep = "<br /><br />"
        if n == 0 and index == 1:
            sep = "<br /><br /><br />"
        elif n == 0 and index == 2:
            sep = "<BR /><BR />"
        if book.get("line_breaks"):
            sep = sep.replace("/>", "/>\r\n")
        out += sep + part
    return out


def source2_markup(index, paragraphs):
    parts = [INDENT + fill_placeholders(p) for p in paragraphs]
    seps = ["<BR><BR>" if (index == 1 and n == 0) else "<br><br>" for n in range(len(parts) - 1)]
    out = parts[0]
    for sep, part in zip(seps, parts[1:]):
        out += sep + part
    return out


# ---- the download's rules, written out again here so the golden files do not come from
# ---- the program's own code.

def ascii_fold_pattern(find):
    return "".join("[%s%s]" % (c.lower(), c.upper()) if c.isascii() and c.isalpha()
                   else re.escape(c) for c in find)


def replace_many(text, pairs):
    # Works on decoded text, so a match never starts inside a double-byte character.
    for find, repl in pairs:
        if find:
            text = re.sub(ascii_fold_pattern(find), lambda m: repl, text)
    return text


def source1_clean(text):
    return replace_many(text, [("&nbsp;", " "), ("<br />", "\r\n"), ("\r\n\r\n", "\r\n")])


def source2_clean(text, host, name, ads):
    link = '<a href="//' + host + '" target="_blank">-' + host + "-</a>"
    name_anchor = '<a href="//' + host + '" target="_blank">-' + name + "-</a>"
    text = replace_many(text, [("&nbsp;", " "), ("<br>", "\r\n"), (link, ""), (ads[1], ""),
                               (ads[0], "")])
    return replace_many(text, [(name_anchor, ""), (ads[3], ""), (ads[2], ""), (PLEASE, "")])


def served_source2_text(markup, host, name, ads):
    # What the server puts on the page for the placeholders.
    link = '<a href="//' + host + '" target="_blank">-' + host + "-</a>"
    name_anchor = '<a href="//' + host + '" target="_blank">-' + name + "-</a>"
    out = markup.replace(SITE_LINK, link).replace(SITE_NAME, name_anchor)
    for k in range(4):
        out = out.replace(AD_AT[k], ads[k]).replace(AD_NBSP_AT[k], ads[k].replace(" ", "&nbsp;"))
    return out


def source1_title_as_cut(title):
    # The index entry's title is closed by the first apostrophe.
    return title.split("'")[0]


def golden_book(name, chapters):
    out = name + "\r\n\r\n"
    for title, text in chapters:
        out += "\r\n\r\n" + title + "\r\n\r\n" + text
    return out


# ---- C++ output

def cpp_literal(data):
    out, after_escape = "", False
    for byte in data:
        if 0x20 <= byte < 0x7F and byte not in (0x22, 0x5C, 0x3F):
            ch = chr(byte)
            if after_escape and ch in "0123456789abcdefABCDEF":
                out += '" "'
            out += ch
            after_escape = False
        else:
            out += "\\x%02X" % byte
            after_escape = True
    return '"' + out + '"'


def cpp_long_literal(data, width=90):
    # Split into pieces of at most `width` source bytes, each a whole escape.
    lit = cpp_literal(data)[1:-1]
    pieces, cur = [], ""
    i = 0
    while i < len(lit):
        step = 4 if lit[i] == "\\" else (3 if lit.startswith('" "', i) else 1)
        if len(cur) + step > width:
            pieces.append(cur)
            cur = ""
        cur += lit[i:i + step]
        i += step
    pieces.append(cur)
    return "\n      ".join('"%s"' % p for p in pieces if p != "") or '""'


def sv(s, enc="gbk"):
    return "std::string_view(%s, %d)" % (cpp_long_literal(s.encode(enc)), len(s.encode(enc)))


def emit_books(var, books, source):
    lines = []
    for b in books:
        lines.append("const SampleChapter k%s_%s_chapters[] = {" % (var, b["id"]))
        for index, (title, paragraphs) in enumerate(b["chapters"]):
            markup = source1_markup(b, index, paragraphs) if source == 1 \
                else source2_markup(index, paragraphs)
            lines.append("    // %s" % title)
            lines.append("    {%s,\n     %s}," % (sv(title), sv(markup)))
        if not b["chapters"]:
            lines.append("    {{}, {}},  // unused: the book has no chapters")
        lines.append("};")
    lines.append("const SampleBook k%s[] = {" % var)
    for b in books:
        lines.append("    // %s" % b["name"])
        lines.append("    {%s, %s, %s, %s," % (cpp_literal(b["id"].encode()), sv(b["name"]),
                                             sv(b["author"]), sv(b["intro"])))
        lines.append("     %s, %s, %s," % (sv(b["name"], "utf-8"), sv(b["author"], "utf-8"),
                                          sv(b["intro"], "utf-8")))
        lines.append("     std::span<const SampleChapter>(k%s_%s_chapters, %d), %s, %s}," % (
            var, b["id"], len(b["chapters"]), "true" if b.get("warning") else "false",
            "true" if b.get("capital_em") else "false"))
    lines.append("};")
    return "\n".join(lines)


def write_catalogue():
    src = """// Generated by tools/sample-sites/generate_content.py from book_texts.py; edit those.
// The sample books each site serves: names, authors and introductions in GBK (and UTF-8 for
// the site-search service), chapter titles and the chapter markup between the text markers.
#include "tools/sample-sites/catalogue.hpp"

namespace quillreap::sample_sites {
namespace {

%s

%s

}  // namespace

std::span<const SampleBook> source1_books() { return kSource1; }
std::span<const SampleBook> source2_books() { return kSource2; }

std::string_view filler_text() { return %s; }

}  // namespace quillreap::sample_sites
""" % (emit_books("Source1", SOURCE1_BOOKS, 1), emit_books("Source2", SOURCE2_BOOKS, 2),
       sv(FILLER))
    path = os.path.join(HERE, "catalogue_data.cpp")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(src)
    try:
        subprocess.run(["clang-format", "-i", path], check=True)
    except OSError:
        pass


def write_golden():
    out_dir = os.path.join(ROOT, "tests", "fixtures", "sources")
    os.makedirs(out_dir, exist_ok=True)
    for b in SOURCE1_BOOKS:
        if b.get("warning"):
            continue
        chapters = [(source1_title_as_cut(t), source1_clean(source1_markup(b, i, ps)))
                    for i, (t, ps) in enumerate(b["chapters"])]
        with open(os.path.join(out_dir, GOLDEN[(1, b["id"])] + ".txt"), "wb") as f:
            f.write(golden_book(b["name"], chapters).encode("gbk"))
    for b in SOURCE2_BOOKS:
        chapters = []
        for i, (t, ps) in enumerate(b["chapters"]):
            page = served_source2_text(source2_markup(i, ps), SOURCE2_HOST, SOURCE2_NAME, AD)
            chapters.append((t, source2_clean(page, SOURCE2_HOST, SOURCE2_NAME, AD)))
        with open(os.path.join(out_dir, GOLDEN[(2, b["id"])] + ".txt"), "wb") as f:
            f.write(golden_book(b["name"], chapters).encode("gbk"))


def check():
    lengths = [len(a.encode("gbk")) for a in AD]
    assert lengths == [44, 39, 39, 35], lengths
    for a in AD:
        host = re.search(r"([^:。]+) ", a).group(1)
        assert len(host.encode("gbk")) == 22, host


if __name__ == "__main__":
    check()
    write_catalogue()
    write_golden()
