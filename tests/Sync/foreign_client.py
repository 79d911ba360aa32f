#!/usr/bin/python3
"""Another CalDAV client for the sync tests (Debian's python3-caldav).

foreign_client.py URL USER PASSWORD CALENDAR-PATH ACTION UID [ARG]
  create UID SUMMARY   a to-do with DUE;VALUE=DATE ARG[2] (YYYYMMDD)
  rename UID SUMMARY
  complete UID
  show UID NAME        prints the property NAME (of a to-do or an event), or
                       nothing
"""
import sys

import caldav


def todo_of(item):
    for component in item.icalendar_instance.subcomponents:
        if component.name in ("VTODO", "VEVENT"):
            return component
    return None


def main():
    url, user, password, path, action, uid = sys.argv[1:7]
    rest = sys.argv[7:]
    client = caldav.DAVClient(url=url, username=user, password=password)
    calendar = client.calendar(url=url.rstrip("/") + path)
    if action == "create":
        calendar.save_todo(
            ical="BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//tests//foreign//EN\r\n"
            f"BEGIN:VTODO\r\nUID:{uid}\r\nSUMMARY:{rest[0]}\r\n"
            f"DUE;VALUE=DATE:{rest[1]}\r\nEND:VTODO\r\nEND:VCALENDAR\r\n")
        return
    items = calendar.todos(include_completed=True)
    if action == "show":
        items += calendar.events()
    for item in items:
        todo = todo_of(item)
        if todo is None or str(todo.get("uid")) != uid:
            continue
        if action == "rename":
            todo["summary"] = rest[0]
            item.save()
        elif action == "complete":
            item.complete()
        elif action == "show":
            value = todo.get(rest[0])
            if value is not None:
                print(value.to_ical().decode())
        return
    sys.exit(f"no to-do {uid}")


main()
