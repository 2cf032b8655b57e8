# SPDX-License-Identifier: GPL-3.0-or-later
"""What the screenshot scripts write into their scratch application folder: a book with its
language set, in use, and a project of a Japanese original with its English translation."""
import os


def write_book(home, words):
    """Writes the book "英単語" of (word, meaning, example) triples and makes it the current book,
    with the language set "英語ｾｯﾄ"."""
    book = os.path.join(home, "英単語")
    os.makedirs(book)
    with open(os.path.join(book, "words.vtd"), "wb") as wf, open(os.path.join(book, "means.vtd"), "wb") as mf, \
            open(os.path.join(book, "reis.vtd"), "wb") as rf:
        for i, (w, m, e) in enumerate(words):
            wf.write(('"%s",%d\r\n' % (w, i + 1)).encode("cp932"))
            mf.write(m.encode("cp932").ljust(200, b" "))
            rf.write(e.encode("cp932").ljust(400, b" "))
    open(os.path.join(home, "curFData.vtd"), "wb").write('"英単語","英語ｾｯﾄ"\r\n'.encode("cp932"))
    open(os.path.join(home, "英語ｾｯﾄ.vtd"), "wb").write(
        "".join('"%s","%s",1\r\n' % (chr(65 + i), chr(65 + i)) for i in range(26)).encode("cp932"))


def write_project(home, original, translation):
    """Writes the project "猫": the original text as wagahai.txt and the translation's RTF bytes as
    cat.rtf, both in home, shown one above the other."""
    original_path = os.path.join(home, "wagahai.txt")
    open(original_path, "wb").write(original.encode("cp932"))
    translation_path = os.path.join(home, "cat.rtf")
    open(translation_path, "wb").write(translation)
    open(os.path.join(home, "ctrinfo.vtd"), "wb").write(
        ('"猫","%s","wagahai.txt","%s","cat.rtf",#TRUE#,#TRUE#,#FALSE#,""\r\n'
         % (original_path, translation_path)).encode("cp932"))
