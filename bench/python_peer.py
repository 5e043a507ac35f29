#!/usr/bin/env python3
"""The export as a Python engineer would write it: ElementTree's iterparse and the csv
module. A peer for the benchmark, and an independent second reading of the same rules
(the People view's selection and order, the item values, RFC 4180 quoting) for the test
that compares its file with ours byte for byte, and for the one that finds every value of
the book in its vCard card."""

import csv
import sys
import xml.etree.ElementTree as ET

COLUMNS = [
    ("First Name", "FirstName"), ("Last Name", "LastName"), ("Middle Name", "MiddleInitial"),
    ("Name", "FullName"), ("E-mail Address", "MailAddress"), ("Home Street", "StreetAddress"),
    ("Home City", "City"), ("Home Postal Code", "Zip"), ("Home State", "State"),
    ("Home Country/Region", "Country"), ("Home Phone", "PhoneNumber"),
    ("Home Fax", "HomeFAXPhoneNumber"), ("Mobile Phone", "CellPhoneNumber"),
    ("Personal Web Page", "WebSite"), ("Business Street", "OfficeStreetAddress"),
    ("Business City", "OfficeCity"), ("Business Postal Code", "OfficeZip"),
    ("Business State", "OfficeState"), ("Business Country/Region", "OfficeCountry"),
    ("Business Web Page", "WebSite"), ("Business Phone", "OfficePhoneNumber"),
    ("Business Fax", "OfficeFAXPhoneNumber"), ("Pager", "PersPager"), ("Company", "CompanyName"),
    ("Job Title", "JobTitle"), ("Department", "Department"), ("Office Location", "Location"),
    ("Notes", "Comment"),
]
FOLD = str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz")
OPAQUE = {"picture", "attachmentref", "objectref", "object", "rawitemdata", "imagemap",
          "notesbitmap", "gif", "jpeg", "png", "cgm", "pardef", "fonttable"}


def local(tag):
    return tag.rsplit("}", 1)[-1]


def text_of(element):
    """Text with <break/> as a line feed."""
    out = [element.text or ""]
    for child in element:
        if local(child.tag) == "break":
            out.append("\n")
        out.append(child.tail or "")
    return "".join(out)


def rich_text(element):
    paragraphs = []

    def walk(node, into):
        into.append(node.text or "")
        for child in node:
            name = local(child.tag)
            if name == "break":
                into.append("\n")
            elif name not in OPAQUE:
                walk(child, into)
            into.append(child.tail or "")

    def find_pars(node):
        for child in node:
            name = local(child.tag)
            if name == "par":
                parts = []
                walk(child, parts)
                paragraphs.append("".join(parts))
            elif name not in OPAQUE:
                find_pars(child)

    find_pars(element)
    return "\n".join(paragraphs)


def number(text):
    text = text.strip()
    try:
        value = float(text)
    except ValueError:
        return text
    return str(int(value)) if value.is_integer() and abs(value) < 1e16 else repr(value)


def date_time(text):
    text = text.strip()
    date, _, time = text.partition("T")
    time = time.split(",")[0].split("+")[0].split("-")[0]
    parts = []
    if date:
        parts.append(f"{date[0:4]}-{date[4:6]}-{date[6:8]}")
    if time:
        parts.append(f"{time[0:2]}:{time[2:4]}:{time[4:6]}")
    return " ".join(parts)


def value_of(node):
    name = local(node.tag)
    if name == "text":
        return text_of(node)
    if name == "number":
        return number(node.text or "")
    if name == "datetime":
        return date_time(node.text or "")
    if name == "datetimepair":
        return value_of(node[0]) if len(node) else ""
    if name == "richtext":
        return rich_text(node)
    return ""


def values(item):
    """Every value of an item: one a list child, else one."""
    for child in item:
        if local(child.tag) in ("textlist", "numberlist", "datetimelist"):
            return [value_of(value) for value in child] or [""]
        return [value_of(child)]
    return [""]


def people(book):
    """The People view's documents in its order, each as {folded item name: values}."""
    found = []
    for _, element in ET.iterparse(book, events=("end",)):
        name = local(element.tag)
        if name not in ("document", "note"):
            continue
        if name == "note" and element.get("class") != "document":
            element.clear()
            continue
        items = {}
        for item in element:
            if local(item.tag) == "item":
                key = item.get("name", "").translate(FOLD)
                if key not in items:
                    items[key] = values(item)
        first = lambda key: items.get(key, [""])[0]
        conflict = element.get("conflict") == "true" or "$conflict" in items
        if "type" in items:
            person = first("type") == "Person"
        else:
            person = element.get("form", first("form")) == "Person"
        if person and not conflict:
            sort_key = tuple(first(k).translate(FOLD).encode("utf-8")
                             for k in ("lastname", "firstname", "middleinitial"))
            found.append((sort_key, items))
        element.clear()
    found.sort(key=lambda p: p[0])
    return [items for _, items in found]


def export(book, out_path):
    rows = [[items.get(item.lower(), [""])[0] for _, item in COLUMNS] for items in people(book)]
    with open(out_path, "w", encoding="utf-8", newline="") as out:
        writer = csv.writer(out, lineterminator="\r\n")
        writer.writerow([header for header, _ in COLUMNS])
        for row in rows:
            writer.writerow(row)
    return len(rows)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: python_peer.py BOOK OUT.csv")
    print(f"{export(sys.argv[1], sys.argv[2])} Contacts Saved Successfully")
