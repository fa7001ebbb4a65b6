#!/usr/bin/python3
"""Encodes a small site of real-looking pages and reads every page as a
browser does, before and after: the link targets, the visible link texts and
all other text must read the same, and no address may stay readable in the
source of a mail link.

Usage: browser_view_check.py SITE_ENCODER
"""
import html.parser
import pathlib
import re
import subprocess
import sys
import tempfile
import urllib.parse

BOM = b"\xef\xbb\xbf"


def cp1252(text):
    return text.encode("cp1252")


def utf8(text):
    return text.encode("utf-8")


# name -> bytes as a web author saves them.
PAGES = {
    "utf8-declared.html": utf8(
        '<!DOCTYPE html>\n<html><head><meta charset="utf-8">'
        "<title>Jürgen Müller – Büro &amp; Werkstatt</title></head><body>\n"
        '<p>Schreiben Sie an <a href="mailto:jürgen@müller.de">Jürgen Müller – Büro</a>.</p>\n'
        '<p><a href="mailto:info@firma.de?subject=2026 Bestellung&amp;body=Grüße – Ihr Team" '
        'class="mail" title="Tom &amp; Jerry > Co">Bestellung 2026 – 3 Stück</a></p>\n'
        '<p><a href="mailto:x@y.de?subject=Preise&amp;cc=z@y.de">x@y.de</a> und '
        '<A HREF="mailto:X@Y.DE">X@Y.DE</A> – „Zitat“ … €</p>\n'
        "<p>Entitäten: &uuml; &#8211; &#x2013; &nbsp;&euro; &copy;2026 5 &lt; 6</p>\n"
        "</body></html>\n"
    ),
    "utf8-bom.htm": BOM + utf8(
        "<html><head><title>Grüße</title></head><body>\n"
        '<a href="mailto:øystein@eksempel.no">Øystein – Ærø</a> 😀\n'
        '<a href="mailto:team@site.de?subject=1. Quartal">Team</a>\n'
        "</body></html>\n"
    ),
    "utf8-undeclared.html": utf8(
        "<html><body><h1>Straße – Café</h1>\r\n"
        '<a href="mailto:café@straße.de">Café\r\nStraße</a>\r\n'
        '<a href="mailto:a@b.de?subject=Tom%20%26%20Jerry">Tom &amp; Jerry</a>\r\n'
        "</body></html>\r\n"
    ),
    "cp1252.html": cp1252(
        '<html><head><meta http-equiv="Content-Type" content="text/html; charset=windows-1252">'
        "<title>Müller – Büro</title></head><body>\n"
        '<a href="mailto:müller@büro.de">Müller – Büro € „gut“</a>\n'
        '<a href="mailto:b@c.de?subject=9 Uhr&amp;body=Gr&uuml;&szlig;e">&Lstrok;&oacute;d&zacute; &amp; &#8364;</a>\n'
        "<p>Preis: 5 € – ‚Angebot‘</p>\n"
        "</body></html>\n"
    ),
    "latin1-declared.html": cp1252(
        '<html><head><meta charset="ISO-8859-1"><title>Süß – sauer</title></head><body>\n'
        '<a href="mailto:süß@sauer.de" title="Süß">Süß – sauer</a>\n'
        "<p>Text mit Gedankenstrich – und Ellipse …</p>\n"
        "</body></html>\n"
    ),
    "entities-ascii.html": utf8(
        "<html><body>\n"
        '<a href="mailto:j&uuml;rgen@example.org?subject=&#50;&#48;26">J&uuml;rgen &ndash; 2026</a>\n'
        '<a href="mailto:&#107;&#64;l.de">&#107;&#64;l.de</a>\n'
        "<p>AT&amp;T &amp 1 &notit; &unknown; & alone</p>\n"
        "</body></html>\n"
    ),
}

# address, subject: link pages written by the single-address encoder.
LINK_PAGES = [
    ("a@b.de", "2026 Bestellung"),
    ("jürgen@müller.de", "Grüße – 3 Stück"),
    ("łukasz@łódź.pl", "Żółć 1"),
    ("info@firma.de", 'Müller & Söhne: Anfrage "Torte" #1?'),
]

CP1252_FOR_C1 = {b: bytes([b]).decode("cp1252") for b in range(0x80, 0xA0) if b not in (0x81, 0x8D, 0x8F, 0x90, 0x9D)}
UTF8_LABELS = {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "x-unicode20utf8"}
META = re.compile(
    rb"""<meta\s[^>]*?(?:charset\s*=\s*["']?\s*([-\w]+)|http-equiv\s*=\s*["']?content-type["']?[^>]*?"""
    rb"""content\s*=\s*["'][^"']*charset\s*=\s*([-\w]+))""",
    re.IGNORECASE,
)


def as_browser_decodes(data):
    """The page's text the way a browser decodes its bytes."""
    if data.startswith(BOM):
        return data[3:].decode("utf-8")
    declared = META.search(data[:1024])
    if declared:
        label = (declared.group(1) or declared.group(2)).decode("ascii").lower()
        if label in UTF8_LABELS:
            return data.decode("utf-8", errors="replace")
    else:
        try:
            return data.decode("utf-8")
        except UnicodeDecodeError:
            pass
    # windows-1252, which browsers also use for a page declared ISO-8859-1.
    return "".join(CP1252_FOR_C1.get(b, chr(b)) for b in data)


class View(html.parser.HTMLParser):
    """What a visitor meets: link targets, link texts, every other text."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.items = []
        self.in_link = 0

    def handle_starttag(self, tag, attrs):
        if tag == "a":
            self.in_link += 1
            self.items.append(("target", dict(attrs).get("href")))
        # Other attributes are kept as they stand and read alike anyway.
        self.items.append(("tag", tag, tuple(attrs)))

    def handle_endtag(self, tag):
        if tag == "a" and self.in_link:
            self.in_link -= 1
        self.items.append(("end", tag))

    def handle_data(self, data):
        kind = "link text" if self.in_link else "text"
        if self.items and self.items[-1][0] == kind:
            self.items[-1] = (kind, self.items[-1][1] + data)
        else:
            self.items.append((kind, data))


def view_of(text):
    parser = View()
    parser.feed(text)
    parser.close()
    return parser.items


ATTRIBUTES = r"""(?:[^>"']|"[^"]*"|'[^']*')*"""
LINK = re.compile(r"<a\s(" + ATTRIBUTES + r")>(.*?)</a>", re.IGNORECASE | re.DOTALL)
HREF = re.compile(r"""\bhref\s*=\s*"([^"]*)\"""", re.IGNORECASE)
ADDRESS = re.compile(r"[\w.+-]+@[\w-]+(\.[\w-]+)+")


def readable_in_mail_links(source):
    """Addresses or "mailto" left readable in the source of mail links."""
    found = []
    for match in LINK.finditer(source):
        href = HREF.search(match.group(1))
        if not href or not html.unescape(href.group(1)).lower().startswith("mailto:"):
            continue
        for raw in (href.group(1), match.group(2)):
            if ADDRESS.search(raw) or "mailto" in raw.lower() or "@" in raw:
                found.append(raw)
    return found


def mail_link_count(source):
    return sum(1 for item in view_of(source) if item[0] == "target" and (item[1] or "").startswith("mailto:"))


def compare(name, before, after, failures):
    view_before, view_after = view_of(before), view_of(after)
    if view_before != view_after:
        for old, new in zip(view_before, view_after):
            if old != new:
                failures.append(f"{name}: {old!r} became {new!r}")
                break
        else:
            failures.append(f"{name}: {len(view_before)} items became {len(view_after)}")
    left = readable_in_mail_links(after)
    if left:
        failures.append(f"{name}: readable in mail links: {left!r}")


def main():
    encoder = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        site = pathlib.Path(folder, "site")
        (site / "kontakt").mkdir(parents=True)
        for name, data in PAGES.items():
            (site / "kontakt" / name if name.startswith("latin1") else site / name).write_bytes(data)
        run = subprocess.run([encoder, "run", str(site)], capture_output=True, text=True, timeout=60)
        if run.returncode != 0 or "erfolgreich" not in run.stdout:
            failures.append(f"run: {run.returncode} {run.stdout!r} {run.stderr!r}")
        for name, data in PAGES.items():
            path = site / "kontakt" / name if name.startswith("latin1") else site / name
            before, after = as_browser_decodes(data), as_browser_decodes(path.read_bytes())
            if after == before:
                failures.append(f"{name}: not encoded")
            if mail_link_count(before) == 0:
                failures.append(f"{name}: the page holds no mail link")
            compare(name, before, after, failures)

        for number, (address, subject) in enumerate(LINK_PAGES):
            page = pathlib.Path(folder, f"link{number}.html")
            subprocess.run([encoder, "link", str(page), address, subject], check=True, timeout=60)
            source = as_browser_decodes(page.read_bytes())
            targets = [item[1] for item in view_of(source) if item[0] == "target"]
            texts = [item[1] for item in view_of(source) if item[0] == "link text"]
            # The subject is a valid URL part that a mail client decodes whole.
            url = urllib.parse.urlsplit(targets[0] if targets else "")
            subjects = urllib.parse.parse_qs(url.query).get("subject")
            if (url.scheme, url.path, subjects) != ("mailto", address, [subject]) or texts != [address]:
                failures.append(f"link page {address!r}: {targets!r} {texts!r}")
            if len(targets) == 1 and re.search(r'[ "#<>]|%(?![0-9A-F]{2})', url.query):
                failures.append(f"link page {address!r}: not percent-encoded: {url.query!r}")
            if readable_in_mail_links(source):
                failures.append(f"link page {address!r}: address readable")

    for failure in failures:
        print("FAIL", failure)
    print(f"{len(PAGES)} pages, {len(LINK_PAGES)} link pages, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
