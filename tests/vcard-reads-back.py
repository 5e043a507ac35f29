#!/usr/bin/env python3
"""Reads GMAILContacts.vcf back with vobject, a vCard parser we did not write, and finds
every value of the book in its card, in order. The book is read again here, by the Python
peer's reading of DXL, so the check leans on nothing of ours.

Usage: vcard-reads-back.py BOOK.dxl GMAILContacts.vcf"""

import io
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench"))
import python_peer as peer  # noqa: E402

try:
    import vobject
    from vobject.base import getLogicalLines, parseLine
    from vobject.icalendar import stringToTextValues
except ImportError:
    sys.exit("python3-vobject is missing (Debian: apt-get install python3-vobject)")

PHONES = [("officephonenumber", "WORK,VOICE"), ("phonenumber", "HOME,VOICE"), ("cellphonenumber", "CELL"),
          ("officefaxphonenumber", "WORK,FAX"), ("homefaxphonenumber", "HOME,FAX"), ("perspager", "PAGER")]
HOME = ["", "streetaddress", "city", "state", "zip", "country"]
WORK = ["location", "officestreetaddress", "officecity", "officestate", "officezip", "officecountry"]


def expected(person):
    """What each property of the person's card holds: name -> [(TYPE, value)], in order."""
    def v(item):
        return [x for x in person.get(item, [""]) if x] if item else []

    mail = v("mailaddress") + [m for m in v("internetaddress") if m not in v("mailaddress")]
    full = v("fullname")
    fn = ""
    if full:
        fn = full[0][3:] if full[0][:3].upper() == "CN=" else full[0]
        fn = fn.split("/")[0]
    parts = [v("title"), v("firstname"), v("middleinitial"), v("lastname"), v("suffix")]
    fn = fn or " ".join(x for part in parts for x in part) or (mail or [""])[0] or (v("companyname") or [""])[0]
    nick = v("nickname")
    nick += [n for n in full[1:] if n != fn and n not in nick]
    out = {"FN": [("", fn)], "N": [("", [v("lastname"), v("firstname"), v("middleinitial"), v("title"),
                                         v("suffix")])]}
    if nick:
        out["NICKNAME"] = [("", nick)]
    out["EMAIL"] = [("INTERNET,PREF" if i == 0 else "INTERNET", m) for i, m in enumerate(mail)]
    out["TEL"] = [(kind, n) for item, kind in PHONES for n in v(item)]
    out["ADR"] = [(kind, [[]] + [v(i) for i in items]) for kind, items in (("HOME", HOME), ("WORK", WORK))
                  if any(v(i) for i in items)]
    company, units = v("companyname"), v("department")
    if company or units:
        out["ORG"] = [("", [(company or [""])[0]] + units)] + [("", [c]) for c in company[1:]]
    out["TITLE"] = [("", t) for t in v("jobtitle")]
    out["URL"] = [("", u) for u in v("website")]
    if v("birthday"):
        bday = v("birthday")[0]
        out["BDAY"] = [("", bday[:10] + "T" + bday[11:] if len(bday) == 19 and bday[10] == " " else bday)]
    if v("categories"):
        out["CATEGORIES"] = [("", v("categories"))]
    if v("comment"):
        out["NOTE"] = [("", "\n".join(v("comment")))]
    return {name: value for name, value in out.items() if value}


def one(values):
    """A single text value; an unescaped comma shows as a list that matches nothing."""
    return values[0] if len(values) == 1 else values


def decoded(name, value):
    if name in ("N", "ADR", "ORG"):
        parts = stringToTextValues(value, listSeparator=";", charList=";")
        if name == "ORG":
            return [one(stringToTextValues(part)) for part in parts]
        # vobject drops an empty last part: N has five, ADR seven.
        parts += [""] * ((5 if name == "N" else 7) - len(parts))
        return [[x for x in stringToTextValues(part) if x] for part in parts]
    values = stringToTextValues(value)
    return values if name in ("NICKNAME", "CATEGORIES") else one(values)


def cards_of(text):
    """Each card as name -> [(TYPE, decoded value)], from vobject's own line parser."""
    cards, card = [], None
    for line, number in getLogicalLines(io.StringIO(text)):
        name, params, value, _ = parseLine(line, number)
        if name == "BEGIN":
            card = {}
        elif name == "END":
            cards.append(card)
        elif name != "VERSION":
            kind = ",".join(x for p in params if p[0] == "TYPE" for x in p[1:])
            card.setdefault(name, []).append((kind, decoded(name, value)))
    return cards


def main(book, vcf):
    data = open(vcf, "rb").read()
    text = data.decode("utf-8")  # strict: a character cut at a fold fails here
    problems = []
    for number, line in enumerate(data.split(b"\r\n")[:-1], 1):
        if len(line) > 75 or b"\n" in line or b"\r" in line:
            problems.append(f"line {number}: {len(line)} octets or a bare line break")
    valid = list(vobject.readComponents(text, validate=True))
    persons = peer.people(book)
    cards = cards_of(text)
    if not (len(valid) == len(cards) == len(persons)):
        problems.append(f"{len(valid)} cards read, {len(cards)} split, {len(persons)} people in the book")
    for index, (person, card) in enumerate(zip(persons, cards), 1):
        want = expected(person)
        for name in sorted(set(want) | set(card)):
            if want.get(name, []) != card.get(name, []):
                problems.append(f"card {index} {name}: expected {want.get(name)!r}, read {card.get(name)!r}")
    for problem in problems[:20]:
        print(problem)
    print(f"{len(cards)} cards read back, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
