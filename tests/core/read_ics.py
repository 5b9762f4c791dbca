#!/usr/bin/python3
"""Reads a calendar file with Debian's python3-icalendar and prints its
events as JSON, for the calendar-file tests: uid, dates, summary,
description and categories of every VEVENT, in file order."""
import json
import sys

from icalendar import Calendar


def text_list(value):
    if value is None:
        return []
    values = value if isinstance(value, list) else [value]
    out = []
    for v in values:
        out.extend(str(c) for c in getattr(v, "cats", [v]))
    return out


def main(path):
    with open(path, "rb") as f:
        calendar = Calendar.from_ical(f.read())
    events = []
    for event in calendar.walk("VEVENT"):
        end = event.get("DTEND")
        events.append({
            "uid": str(event["UID"]),
            "dtstart": event.decoded("DTSTART").isoformat(),
            "dtend": end.dt.isoformat() if end is not None else None,
            "dtstamp": event.decoded("DTSTAMP").isoformat(),
            "summary": str(event["SUMMARY"]),
            "description": str(event["DESCRIPTION"]),
            "categories": text_list(event.get("CATEGORIES")),
        })
    print(json.dumps({"prodid": str(calendar["PRODID"]), "version": str(calendar["VERSION"]),
                      "events": events}, ensure_ascii=False))


if __name__ == "__main__":
    main(sys.argv[1])
