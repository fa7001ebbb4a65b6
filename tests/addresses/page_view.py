"""Prints what a browser makes of a page: every start tag with its attribute
values, and every text, as one JSON list. Comments are left out."""
import json
import sys
from html.parser import HTMLParser


class View(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.events = []

    def handle_starttag(self, tag, attrs):
        self.events.append(["tag", tag, attrs])

    def handle_startendtag(self, tag, attrs):
        self.events.append(["tag", tag, attrs])

    def handle_endtag(self, tag):
        self.events.append(["end", tag])

    def handle_data(self, data):
        if self.events and self.events[-1][0] == "text":
            self.events[-1][1] += data
        else:
            self.events.append(["text", data])


with open(sys.argv[1], encoding=sys.argv[2]) as page:
    view = View()
    view.feed(page.read())
    view.close()
print(json.dumps(view.events, ensure_ascii=True))
