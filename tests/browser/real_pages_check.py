#!/usr/bin/python3
"""Real pages, encoded by the command line as a build script calls it, with
and without --all, must read, link and run as before.

The pages: HTML documentation of Debian packages (postgresql-doc-15, git-doc),
man pages turned into HTML by man2html, and a small generated site with the
forms real sites hold (a style rule on mailto links, JSON-LD, a link built by
a script, CDATA in SVG, XHTML, pages in Shift_JIS, EUC-KR, ISO-8859-2 and
more). Addresses and mailto links are put into every page first.

Every page is read with html5lib before and after: the same text, the same
attributes with the same resolved link targets, scripts and styles byte for
byte. With --chromium, a sample is also shown in headless Chromium: the same
shown text, link targets (those scripts build too) and ::before/::after
content.

Usage: real_pages_check.py QUILLMASKERADE_CLI [--chromium CHROMIUM]
"""
import gzip
import html
import json
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.parse
import xml.dom.minidom

import html5lib

DEBIAN_DOCS = [("/usr/share/doc/postgresql-doc-15/html", 110), ("/usr/share/doc/git-doc", 70)]
MAN_PAGES = ["ls", "cp", "grep", "sed", "find", "tar", "sort", "date", "chmod", "diff", "make", "ssh"]
LARGEST_PAGE = 150_000

# Put into every real page right behind its <body> tag: a ";" behind an
# address and a reference, a subject with "&", another letter case.
PROBE = (
    '<p class="quill-probe">Kontakt: <a href="mailto:webmaster@example.org">webmaster@example.org</a>; '
    'Fax: info@example.org;2 <a href="mailto:Team@Example.ORG?subject=Frage%20%26%20Antwort&amp;cc=x@example.org" '
    'title="Mail: team@example.org; Tel. 0">Schreiben Sie uns</a> Links mit MAILTO: &#246;ffnen</p>'
)
PROBE_TARGET = 'href="mailto:webmaster@example.org"'

LINK = '<a href="mailto:info@example.org">info@example.org</a>'


def generated_site():
    """name -> bytes of the pages a small site of our own holds."""
    utf8 = '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>{title}</title>{head}</head><body>\n{body}\n</body></html>\n'

    def page(title, body, head=""):
        return utf8.format(title=title, head=head, body=body).encode("utf-8")

    def legacy(encoding, label, body):
        text = f'<!DOCTYPE html>\n<html><head><meta http-equiv="Content-Type" content="text/html; charset={label}">' \
               f"<title>Seite</title></head><body>\n{body}\n</body></html>\n"
        return text.encode(encoding)

    xhtml = (
        '<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE html>\n'
        '<html xmlns="http://www.w3.org/1999/xhtml"><head><title>XHTML</title>'
        '<style>/*<![CDATA[*/ a[href^="mailto:"]::before { content: "\\2709  " } /*]]>*/</style></head><body>\n'
        f'<p>{LINK}; 1 <a href="mailto:b@example.org?subject=a&amp;b">b@example.org</a>;2 c@example.org;</p>\n'
        '<script>//<![CDATA[\nvar m = "mailto:" + "x@example.org"; if (1 < 2) {}\n//]]></script>\n'
        "</body></html>\n"
    )
    return {
        "site/style.html": page(
            "Stil",
            f"<p>{LINK} und <a href=\"https://example.org/\">Web</a></p>",
            '<style>a[href^="mailto:"]::after { content: " \u2709" } .note::before { content: "mailto:" }</style>',
        ),
        "site/json-ld.html": page(
            "JSON-LD",
            f'<p class="note">{LINK}</p>'
            '<script type="application/ld+json">{"@type": "Organization", "email": "mailto:info@example.org",'
            ' "contactPoint": {"email": "service@example.org"}}</script>',
        ),
        "site/script-link.html": page(
            "Skript",
            f'<p>{LINK}</p><div id="mail"></div>\n<script>var u = "info", d = "example.org";\n'
            "document.getElementById('mail').innerHTML = '<a href=\"mailto:' + u + '@' + d + '\">Schreiben</a>';\n"
            'if (location.protocol === "mailto:") { document.title = "x"; }</script>',
        ),
        "site/svg.html": page(
            "SVG",
            f"<p>{LINK}</p>"
            '<svg width="200" height="40"><style><![CDATA[ a[href^="mailto:"] { fill: red } ]]></style>'
            '<text x="0" y="20"><![CDATA[mailto:info@example.org & mehr]]></text></svg>',
        ),
        "site/case-upper.html": page("Gross", '<a href="mailto:USER@DOMAIN.DE">USER@DOMAIN.DE</a> MAILTO:'),
        "site/case-lower.html": page("Klein", '<a href="mailto:user@domain.de">user@domain.de</a> mailto:'),
        "site/page.xhtml": xhtml.encode("utf-8"),
        "site/sjis.html": legacy(
            "shift_jis", "Shift_JIS",
            '<a href="mailto:info@example.jp">\u304a\u554f\u3044\u5408\u308f\u305b</a> \u5c71\u7530 yamada@example.jp;',
        ),
        "site/euckr.html": legacy("euc-kr", "euc-kr", '<a href="mailto:kim@example.kr">\uae40 \ud55c\uae00</a>'),
        "site/latin2.html": legacy(
            "iso-8859-2", "iso-8859-2",
            '<a href="mailto:\u0142ukasz@example.pl">\u0141ukasz \u017b\u00f3\u0142\u0107</a> \u0142@example.pl',
        ),
        "site/koi8.html": legacy("koi8-r", "koi8-r", '<a href="mailto:ivan@example.ru">\u0418\u0432\u0430\u043d</a>'),
        "site/gb18030.html": legacy("gb18030", "gb18030", '<a href="mailto:li@example.cn">\u674e\u56db</a> \u4e2d\u6587'),
        "site/big5.html": legacy("big5", "big5", '<a href="mailto:wang@example.tw">\u738b\u5c0f\u660e</a>'),
    }


def man_page_html(roff):
    out = subprocess.run(["man2html", "-r"], input=roff, capture_output=True, check=True, timeout=60).stdout
    return out.split(b"\n\n", 1)[1] if out.startswith(b"Content-type") else out


def real_pages():
    """name -> bytes of real pages, a spread over each source."""
    pages = {}
    for folder, count in DEBIAN_DOCS:
        files = sorted(p for p in pathlib.Path(folder).glob("*.html") if p.stat().st_size <= LARGEST_PAGE)
        if not files:
            raise SystemExit(f"no pages in {folder}: is its package installed (scripts/deps)?")
        step = max(1, len(files) // count)
        for path in files[::step][:count]:
            pages[f"{pathlib.Path(folder).parts[4]}/{path.name}"] = path.read_bytes()
    for name in MAN_PAGES:
        source = pathlib.Path(f"/usr/share/man/man1/{name}.1.gz")
        if source.exists():
            pages[f"man/{name}.html"] = man_page_html(gzip.decompress(source.read_bytes()))
    # One of our own, so that man2html's output is there even where no man
    # page is installed.
    pages["man/probe.html"] = man_page_html(
        b'.TH PROBE 1 "2026" "Test" "User Commands"\n.SH NAME\nprobe \\- a page\n.SH AUTHOR\n'
        b"Write to\n.B probe@example.org\nor see\n.UR https://example.org/\n.UE .\n"
    )
    return pages


def with_probe(data):
    """The page with the probe behind its <body> tag (or at its start)."""
    match = re.search(rb"<body\b[^>]*>", data, re.IGNORECASE)
    at = match.end() if match else 0
    return data[:at] + PROBE.encode("ascii") + data[at:]


def likely_encoding(data):
    """What browsers take when nothing is declared: UTF-8 if the bytes are."""
    try:
        data.decode("utf-8")
        return "utf-8"
    except UnicodeDecodeError:
        return "windows-1252"


LINK_ATTRIBUTES = {"href", "src", "action", "cite", "background", "longdesc", "usemap", "formaction"}


def view_of(data, url):
    """Text, attributes (link targets resolved) and raw text of every element."""
    document = html5lib.parse(data, treebuilder="etree", namespaceHTMLElements=False,
                              likely_encoding=likely_encoding(data))
    items, raw = [], []

    def walk(element):
        tag = element.tag if isinstance(element.tag, str) else "#comment"
        if tag == "#comment":
            return
        attributes = []
        for name, value in sorted(element.attrib.items()):
            if name in LINK_ATTRIBUTES:
                value = urllib.parse.urljoin(url, value.strip())
            attributes.append((name, value))
        items.append(("tag", tag, tuple(attributes)))
        if tag in ("script", "style"):
            raw.append(element.text or "")
        elif element.text:
            items.append(("text", element.text))
        for child in element:
            walk(child)
            if child.tail:
                items.append(("text", child.tail))
        items.append(("end", tag))

    walk(document)
    return items, raw


RAW = re.compile(rb"<(script|style)\b[^>]*>(.*?)</\1", re.IGNORECASE | re.DOTALL)


def first_difference(before, after):
    if isinstance(before, str) and isinstance(after, str):
        at = next((i for i, (old, new) in enumerate(zip(before, after)) if old != new), min(len(before), len(after)))
        return f"{before[max(0, at - 40):at + 60]!r} became {after[max(0, at - 40):at + 60]!r}"
    for old, new in zip(before, after):
        if old != new:
            return f"{old!r:.300} became {new!r:.300}"
    return f"{len(before)} items became {len(after)}"


def compare(name, before, after, url, failures):
    view_before, raw_before = view_of(before, url)
    view_after, raw_after = view_of(after, url)
    if view_after != view_before:
        failures.append(f"{name}: {first_difference(view_before, view_after)}")
    if raw_after != raw_before or RAW.findall(after) != RAW.findall(before):
        failures.append(f"{name}: a script or style changed")
    if name.endswith(".xhtml"):
        try:
            xml.dom.minidom.parseString(after)
        except Exception as error:  # noqa: BLE001 - any parse error is the finding
            failures.append(f"{name}: no longer well-formed XML: {error}")


def encode(cli, folder, option):
    command = [cli, "run", "--recursive", "--mask", "*.htm", "--mask", "*.xhtml", str(folder)]
    if option:
        command.insert(2, "--all")
    run = subprocess.run(command, capture_output=True, text=True, timeout=600)
    if run.returncode != 0:
        raise SystemExit(f"{' '.join(command)}: {run.returncode}\n{run.stdout}\n{run.stderr}")


CHROMIUM_SAMPLE = 8  # real pages besides the generated site

WRAPPER = """<!DOCTYPE html><meta charset="utf-8"><body><iframe id="frame"></iframe><pre id="out"></pre><script>
const pages = %s;
const results = {};
let index = 0;
function collect(frame) {
  const doc = frame.contentDocument, view = frame.contentWindow;
  const result = {text: doc.body ? doc.body.innerText : doc.documentElement.textContent, links: [], generated: []};
  for (const link of doc.querySelectorAll("a[href], area[href]")) result.links.push(link.href);
  for (const element of doc.querySelectorAll("*")) {
    for (const where of ["::before", "::after"]) {
      const content = view.getComputedStyle(element, where).content;
      if (content !== "none" && content !== "normal") result.generated.push(element.tagName + where + " " + content);
    }
  }
  return result;
}
function next() {
  if (index >= pages.length) { document.getElementById("out").textContent = JSON.stringify(results); return; }
  const frame = document.getElementById("frame");
  frame.onload = () => setTimeout(() => {
    try { results[pages[index]] = collect(frame); } catch (error) { results[pages[index]] = {error: String(error)}; }
    index++;
    next();
  }, 100);
  frame.src = pages[index];
}
next();
</script>
"""


def chromium_views(chromium, folder, names, profile):
    wrapper = folder / "quill-wrapper.html"
    wrapper.write_text(WRAPPER % json.dumps(names), encoding="utf-8")
    command = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
               "--disable-component-update", "--disable-sync", "--no-first-run", f"--user-data-dir={profile}",
               "--allow-file-access-from-files", "--virtual-time-budget=60000", "--dump-dom", wrapper.as_uri()]
    home = profile / "home"
    home.mkdir(parents=True)
    environment = {"PATH": "/usr/bin:/bin", "HOME": str(home), "XDG_CONFIG_HOME": str(home / "config"),
                   "XDG_CACHE_HOME": str(home / "cache"), "XDG_DATA_HOME": str(home / "data")}
    run = subprocess.run(command, capture_output=True, text=True, timeout=300, env=environment)
    wrapper.unlink()
    match = re.search(r'<pre id="out">(.*?)</pre>', run.stdout, re.DOTALL)
    if not match or not match.group(1):
        raise SystemExit(f"chromium gave no result: {run.returncode}\n{run.stderr[-2000:]}")
    views = json.loads(html.unescape(match.group(1)))
    # Links into the site are compared as if every copy lay in one place.
    here = folder.as_uri() + "/"
    for view in views.values():
        view["links"] = [link.replace(here, "site:/") for link in view.get("links", [])]
    return views


def main():
    cli = sys.argv[1]
    chromium = sys.argv[sys.argv.index("--chromium") + 1] if "--chromium" in sys.argv else None
    failures = []
    with tempfile.TemporaryDirectory() as temp:
        temp = pathlib.Path(temp)
        pages = {name: with_probe(data) for name, data in real_pages().items()}
        site = generated_site()
        if chromium:
            # A sample only: a browser start per page set is slow.
            real = sorted(pages)
            pages = {name: pages[name] for name in real[:: max(1, len(real) // CHROMIUM_SAMPLE)][:CHROMIUM_SAMPLE]}
        pages.update(site)
        folders = {mode: temp / mode for mode in ("before", "default", "option")}
        for folder in folders.values():
            for name, data in pages.items():
                (folder / name).parent.mkdir(parents=True, exist_ok=True)
                (folder / name).write_bytes(data)
        encode(cli, folders["default"], option=False)
        encode(cli, folders["option"], option=True)

        for mode in ("default", "option") if not chromium else ():
            for name, before in pages.items():
                after = (folders[mode] / name).read_bytes()
                label = f"{mode} {name}"
                # The view is compared as if both lay in one place.
                compare(label, before, after, (folders["before"] / name).as_uri(), failures)
                if name not in site and PROBE_TARGET.encode() in after:
                    failures.append(f"{label}: the probe's mail link was not encoded")
        if not chromium:
            print(f"html5lib: {len(pages)} pages ({len(site)} generated), each before and after two runs")
        else:
            sample = sorted(pages)
            views = {mode: chromium_views(chromium, folder, sample, temp / f"profile-{mode}")
                     for mode, folder in folders.items()}
            for name in sample:
                before = views["before"].get(name)
                if not before or "error" in before or not before["text"].strip():
                    failures.append(f"chromium {name}: nothing read before: {before!r:.300}")
                    continue
                for mode in ("default", "option"):
                    after = views[mode].get(name) or {}
                    for key in ("text", "links", "generated"):
                        if after.get(key) != before[key]:
                            failures.append(f"chromium {mode} {name} {key}: "
                                            f"{first_difference(before[key], after.get(key) or [])}")
            generated = sum(len(view["generated"]) for view in views["before"].values() if "generated" in view)
            print(f"chromium: {len(sample)} pages, {generated} ::before/::after contents")
            if generated == 0:
                failures.append("chromium: no generated content seen at all")

    for failure in failures:
        print("FAIL", failure)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
