#!/usr/bin/env python3
"""Checks an EPUB the way its readers would meet it, and against the TXT book written from
the same chapters: check_epub.py BOOK.epub [BOOK.txt]. Prints what is wrong and exits 1.

- epubcheck (run as java -jar, since the epubcheck command relies on binfmt_misc) reports
  no fatal error, no error and no warning;
- mimetype is the first entry, stored, with no extra field;
- dc:language is zh-CN, the NCX's dtb:uid is the package's identifier, and the NCX and
  the navigation document list the same titles;
- with the TXT: the navigation titles are the TXT's chapter headings in order, and each
  chapter's paragraphs (its files and continuations) are the TXT chapter's non-empty lines,
  as UTF-8 with their leading spaces trimmed."""
import codecs
import re
import struct
import subprocess
import sys
import zipfile
import xml.etree.ElementTree as ET

EPUBCHECK = "/usr/share/java/epubcheck.jar"
NS = {
    "opf": "http://www.idpf.org/2007/opf",
    "dc": "http://purl.org/dc/elements/1.1/",
    "ncx": "http://www.daisy.org/z3986/2005/ncx/",
    "x": "http://www.w3.org/1999/xhtml",
}
problems = []


def check(condition, message):
    if not condition:
        problems.append(message)


def run_epubcheck(path):
    run = subprocess.run(["java", "-jar", EPUBCHECK, path], capture_output=True, text=True)
    output = run.stdout + run.stderr
    summary = re.search(r"Messages: (\d+) fatals? / (\d+) errors? / (\d+) warnings?", output)
    clean = run.returncode == 0 and (summary is None or summary.groups() == ("0", "0", "0"))
    clean = clean and not re.search(r"^(WARNING|ERROR|FATAL)", output, re.M)
    check(clean, "epubcheck:\n" + output)


def windows_cp936(error):
    # Windows' code page 936 has the euro sign alone at 0x80, and one '?' for each bad
    # character where Python's codec has U+FFFD.
    if error.object[error.start] == 0x80:
        return "\u20ac", error.start + 1
    return "?", error.end


codecs.register_error("windows_cp936", windows_cp936)


def gbk_text(raw):
    # As the program reads GBK: '?' for what is no character, XML's forbidden ones dropped.
    text = raw.decode("cp936", errors="windows_cp936")
    return "".join(c for c in text if c in "\t\r\n" or (ord(c) >= 0x20 and c not in "\ufffe\uffff"))


def txt_chapters(txt, titles):
    """The TXT's chapter texts, cut at each "\\r\\n\\r\\n" + title + "\\r\\n\\r\\n" in order."""
    texts, at = [], None
    for title in titles:
        marker = "\r\n\r\n" + title + "\r\n\r\n"
        found = txt.find(marker, 0 if at is None else at)
        check(found >= 0, f"heading {title!r} not found in order in the TXT")
        if found < 0:
            return None
        if at is not None:
            texts.append(txt[at:found])
        at = found + len(marker)
    texts.append(txt[at:])
    return texts


def paragraphs_of(text):
    lines = re.split(r"\r\n|\r|\n", text)
    return [line.lstrip(" \u3000") for line in lines if line.lstrip(" \u3000")]


def main():
    path = sys.argv[1]
    run_epubcheck(path)
    with zipfile.ZipFile(path) as book, open(path, "rb") as raw:
        first = book.infolist()[0]
        local = raw.read(30)
        check(first.filename == "mimetype" and first.compress_type == 0, "mimetype not first/stored")
        check(struct.unpack("<H", local[28:30])[0] == 0, "mimetype has an extra field")
        check(book.read("mimetype") == b"application/epub+zip", "mimetype content")
        opf = ET.fromstring(book.read("EPUB/package.opf"))
        identifier = opf.find("opf:metadata/dc:identifier", NS).text
        check(opf.find("opf:metadata/dc:language", NS).text == "zh-CN", "dc:language")
        ncx = ET.fromstring(book.read("EPUB/toc.ncx"))
        uid = ncx.find("ncx:head/ncx:meta[@name='dtb:uid']", NS).get("content")
        check(uid == identifier, f"dtb:uid {uid} is not {identifier}")
        ncx_titles = [t.text or "" for t in ncx.findall(".//ncx:navPoint/ncx:navLabel/ncx:text", NS)]
        nav = ET.fromstring(book.read("EPUB/nav.xhtml"))
        links = nav.findall(".//x:nav/x:ol/x:li/x:a", NS)
        check([a.text or "" for a in links] == ncx_titles, "nav and NCX titles differ")
        spine = [opf.find(f"opf:manifest/opf:item[@id='{r.get('idref')}']", NS).get("href")
                 for r in opf.findall("opf:spine/opf:itemref", NS)]
        if len(sys.argv) < 3:
            return
        with open(sys.argv[2], "rb") as f:
            txt = gbk_text(f.read())
        starts = [a.get("href") for a in links]
        headings = []
        chapters = []  # the paragraphs of each chapter, its continuations included
        for href in spine:
            page = ET.fromstring(book.read("EPUB/" + href))
            if href in starts:
                headings.append(page.find(".//x:h2", NS).text or "")
                chapters.append([])
            if chapters:
                chapters[-1] += [p.text or "" for p in page.findall(".//x:body/x:p", NS)]
        texts = txt_chapters(txt, headings)
        if texts is None:
            return
        check(len(texts) == len(chapters), "chapter count differs from the TXT")
        for heading, text, paragraphs in zip(headings, texts, chapters):
            check(paragraphs == paragraphs_of(text), f"paragraphs of {heading!r} differ")


main()
for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
