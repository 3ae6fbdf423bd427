#!/usr/bin/env python3
"""The link figures of bench/xref_quality.py on a small site made by hand,
whose right figures are counted below by hand.

Usage: python3 bench/xref_quality_test.py"""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xref_quality  # noqa: E402

A_H = """#define LIMIT 3
struct Point {
  int x;
};
int area(Point p);
int area(Point p, int z);
"""

B_CPP = """#include "a.h"
// Point in a comment, "Point" in a string
int use(Point p) {
  return area(p) + LIMIT + p.x + LIMIT;
}
"""

LINE = '<a id="L{0}" href="#L{0}">{0:4}: </a>'

A_PAGE = ("<html><body><pre class=\"prismet\">"
          + LINE.format(1) + '<span class="keyword">#define</span> <a href="prismet-symbols/2d8.html#LIMIT.uses">LIMIT</a> 3\n'
          + LINE.format(2) + '<span class="keyword">struct</span> <a href="prismet-symbols/382.html#Point.uses">Point</a> {\n'
          + LINE.format(3) + '  <span class="keyword">int</span> <a href="prismet-symbols/01a.html#x.uses">x</a>;\n'
          + LINE.format(4) + "};\n"
          + LINE.format(5) + 'int <a href="prismet-symbols/17f.html#area.uses">area</a>(<a href="#L2">Point</a> p);\n'
          + LINE.format(6) + 'int <a href="a.h.html#L5">area</a>(Point p, int z);\n'
          + "</pre></body></html>\n")

B_PAGE = ("<html><body><pre class=\"prismet\">"
          + LINE.format(1) + '<span class="keyword">#include</span> "<a href="a.h.html">a.h</a>"\n'
          + LINE.format(2) + '<span class="comment">// Point in a comment, "Point" in a string</span>\n'
          + LINE.format(3) + 'int <a href="prismet-symbols/096.html#use.uses">use</a>(<a href="a.h.html#L2">Point</a> p) {\n'
          + LINE.format(4) + '  return <a href="prismet-symbols/17f.html#area">area</a>(p) + <a href="a.h.html#L1">LIMIT</a>'
          + ' + p.<a href="a.h.html#L4">x</a> + <a class="use" href="a.h.html#L1">LIMIT</a>;\n'
          + LINE.format(5) + "}\n"
          + "</pre></body></html>\n")

# What ctags finds (prototypes are no tags of its default kinds) and what
# the dump finds.
TAGS = [("a.h", 1, "LIMIT", "macro"), ("a.h", 2, "Point", "struct"), ("a.h", 3, "x", "member"),
        ("b.cpp", 3, "use", "function")]
FOUND = TAGS + [("a.h", 5, "area", "function"), ("a.h", 6, "area", "function")]


class LinkFiguresTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.tree = os.path.join(self.folder.name, "tree")
        self.site = os.path.join(self.folder.name, "site")
        for folder in (self.tree, self.site, os.path.join(self.site, "prismet-symbols")):
            os.makedirs(folder)
        for path, text in ((os.path.join(self.tree, "a.h"), A_H), (os.path.join(self.tree, "b.cpp"), B_CPP),
                           (os.path.join(self.site, "a.h.html"), A_PAGE),
                           (os.path.join(self.site, "b.cpp.html"), B_PAGE),
                           (os.path.join(self.site, "index.html"), '<a href="a.h.html#L1">LIMIT</a>'),
                           (os.path.join(self.site, "prismet-symbols", "17f.html"),
                            '<pre>\n<a href="../a.h.html#L9">area</a>\n</pre>')):
            with open(path, "w") as out:
                out.write(text)

    def tearDown(self):
        self.folder.cleanup()

    def test_links_read_from_the_pages(self):
        links = xref_quality.page_links(self.site)
        self.assertEqual(sorted(links), ["a.h", "b.cpp"])  # no index, no symbol page
        self.assertEqual(links["b.cpp"], [
            (3, "use", None, None), (3, "Point", "a.h", 2), (4, "area", None, None), (4, "LIMIT", "a.h", 1),
            (4, "x", "a.h", 4), (4, "LIMIT", "a.h", 1)])
        self.assertEqual(links["a.h"][4:], [(5, "Point", "a.h", 2), (6, "area", "a.h", 5)])

    def test_figures(self):
        with contextlib.redirect_stdout(io.StringIO()):
            figures = xref_quality.link_figures(self.tree, self.site, TAGS, FOUND)
        # Uses of names ctags defines once: Point (b 3, a 5, a 6), LIMIT
        # twice (b 4) and x (b 4); linked to their line: Point b 3, Point a 5
        # and both LIMITs, not x (to line 4) nor Point a 6.
        # Links to a line: b: Point, LIMIT, x, LIMIT; a: Point, area (line
        # 5, by the dump); all land on a definition but x.
        self.assertEqual(figures, (4, 6, 5, 6))


if __name__ == "__main__":
    unittest.main()
