#!/usr/bin/python3
"""Runs the sample writer, then reads its calendar with python3-icalendar and checks what a
phone calendar relies on: the file parses, every line ends in CR LF and holds at most 75
octets, a long remark of three- and four-octet characters unfolds whole, every event has the
properties an import needs, alarms parse as durations."""
import datetime
import subprocess
import sys

import icalendar

writer, path = sys.argv[1], sys.argv[2]
subprocess.run([writer, path], check=True)
data = open(path, "rb").read()

REMARK = "备注:备注,含逗号;分号\\反斜杠 " + "长" * 40 + "🎂🎉" * 20
failures = []
for number, line in enumerate(data.split(b"\r\n")[:-1], 1):
    if len(line) > 75:
        failures.append(f"line {number} holds {len(line)} octets")
    if b"\n" in line or b"\r" in line:
        failures.append(f"line {number} has a bare line break")
    line.decode("utf-8")  # a fold never splits a character
if not data.endswith(b"\r\n"):
    failures.append("the file does not end in CR LF")

calendar = icalendar.Calendar.from_ical(data)
if str(calendar.get("VERSION")) != "2.0" or "PRODID" not in calendar:
    failures.append("VERSION or PRODID missing")
if str(calendar.get("X-WR-TIMEZONE")) != "Asia/Shanghai":
    failures.append("X-WR-TIMEZONE missing")
if str(calendar.get("X-WR-CALNAME")) != "生日提醒":
    failures.append("X-WR-CALNAME is not 生日提醒")
if not any(c.name == "VTIMEZONE" and str(c["TZID"]) == "Asia/Shanghai" for c in calendar.walk()):
    failures.append("VTIMEZONE Asia/Shanghai missing")

events = [c for c in calendar.walk() if c.name == "VEVENT"]
uids = set()
for event in events:
    uid = str(event["UID"])
    if uid in uids:
        failures.append(f"UID {uid} twice")
    uids.add(uid)
    start = event.decoded("DTSTART")
    end = event.decoded("DTEND")
    if isinstance(start, datetime.datetime) or end - start != datetime.timedelta(days=1):
        failures.append(f"{uid}: not one all-day event")
    if start.year > 2101:
        failures.append(f"{uid}: after the calendar's end")
    event.decoded("DTSTAMP")
    if not str(event["SUMMARY"]):
        failures.append(f"{uid}: no SUMMARY")
    if uid[0].isdigit() and not str(event["DESCRIPTION"]).endswith(REMARK):
        failures.append(f"{uid}: the remark did not unfold whole")
    for alarm in event.walk("VALARM"):
        trigger = alarm.decoded("TRIGGER")
        if not isinstance(trigger, datetime.timedelta) or str(alarm["ACTION"]) != "DISPLAY":
            failures.append(f"{uid}: alarm is no relative DISPLAY alarm")
        elif (trigger + datetime.timedelta(hours=15)) % datetime.timedelta(days=1) \
                != datetime.timedelta(0):
            failures.append(f"{uid}: alarm not at 09:00")

summaries = {str(e["SUMMARY"]) for e in events}
for expected in ("张三66岁生日(农历八月十五)".replace("66", "125"), "中秋节", "冬至", "王五生日"):
    if expected not in summaries:
        failures.append(f"no event titled {expected}")
if "RRULE" not in next(e for e in events if str(e["UID"]).startswith("5-")):
    failures.append("the Gregorian birthday does not repeat")

print(f"{len(events)} events parsed")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
