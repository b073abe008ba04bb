#!/usr/bin/python3
"""Renders the Markdown manual as one HTML page a user opens in any browser; its pictures stay
beside it as files. Fails when a picture the manual shows is missing there, so a release never
carries a broken picture.

    render-manual.py MANUAL.md OUT.html
"""
import html
import os
import re
import sys

import markdown

STYLE = """
body { font-family: sans-serif; max-width: 52em; margin: 2em auto; padding: 0 1em;
       line-height: 1.45; color: #222; }
h1, h2, h3 { line-height: 1.2; }
h2 { border-bottom: 1px solid #ccc; padding-bottom: .2em; margin-top: 1.8em; }
code, pre { font-family: monospace; background: #f4f4f4; }
pre { padding: .6em; overflow-x: auto; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #ccc; padding: .3em .6em; vertical-align: top; text-align: left; }
img { max-width: 100%; border: 1px solid #ccc; }
"""


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    source, target = argv[1], argv[2]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    folder = os.path.dirname(os.path.abspath(target))
    missing = [p for p in re.findall(r"!\[[^\]]*\]\(([^)\s]+)\)", text)
               if not os.path.isfile(os.path.join(folder, p))]
    if missing:
        for picture in missing:
            print("render-manual: picture missing beside %s: %s" % (target, picture), file=sys.stderr)
        return 1
    body = markdown.markdown(text, extensions=["tables", "toc", "fenced_code"], output_format="html")
    title = text.splitlines()[0].lstrip("# ").strip() if text else "Manual"
    with open(target, "w", encoding="utf-8") as f:
        f.write("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n")
        f.write("<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n" % (html.escape(title), STYLE))
        f.write(body)
        f.write("\n</body>\n</html>\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
