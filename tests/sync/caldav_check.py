#!/usr/bin/python3
"""Pushes birthdays with natalis-cli sync to a Radicale server of the test's own and reads the
calendars back with python3-caldav, a client that natalis shares nothing with. Each promise is
one check; the first failure names it."""
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile

import caldav

cli, support = sys.argv[1], sys.argv[2]
sys.path.insert(0, support)
from radicale_server import RadicaleServer  # noqa: E402

KEY = "PRAGMA key='418093';\n"
# Fixed so that the years ahead do not depend on the day the test runs.
NOW = "2026-12-07T10:00"
FIRST_YEAR, YEARS = 2026, 10
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def run(*args, now=NOW):
    env = dict(os.environ, NATALIS_NOW=now)
    return subprocess.run([cli] + list(args), capture_output=True, text=True, env=env)


def sql(db, script):
    result = subprocess.run(["sqlcipher", db], input=KEY + script, capture_output=True, text=True)
    if result.returncode != 0 or "Error" in result.stderr:
        raise RuntimeError("sqlcipher: " + result.stderr)
    return result.stdout


def add(db, name, rule, date):
    option = "--nl" if rule == "nl" else "--gl"
    result = run("add", "--db", db, "--name", name, "--type", "朋友", option, date, "--rule", rule)
    if result.returncode != 0:
        raise RuntimeError("add: " + result.stderr)


def uid_of(db, name):
    return sql(db, "select strUid from birthday where About='%s';" % name).strip()


class Account:
    def __init__(self, server, folder, user="alice", password="x"):
        self.server, self.user = server, user
        self.password_file = os.path.join(folder, user + ".pw")
        with open(os.open(self.password_file, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600),
                  "w") as f:
            f.write(password + "\n")
        self.client = caldav.DAVClient(url=server.url, username=user, password=password)

    def url(self, name):
        return "%s%s/%s/" % (self.server.url, self.user, name)

    def sync(self, db, name, *extra, now=NOW):
        return run("sync", "--db", db, "--calendar", self.url(name), "--user", self.user,
                   "--password-file", self.password_file, *extra, now=now)

    def events(self, name):
        """uid -> (first day, summary, repeats) of every event in the calendar."""
        found = {}
        for event in caldav.Calendar(client=self.client, url=self.url(name)).events():
            vevent = event.vobject_instance.vevent
            found[vevent.uid.value] = (vevent.dtstart.value, vevent.summary.value,
                                       hasattr(vevent, "rrule"))
        return found


def lunar_calendar():
    """(lunar year, month, leap, day) -> Gregorian day, from natalis-cli's own conversion."""
    days = {}
    for line in run("day", "%d-01-01" % (FIRST_YEAR - 1), "%d-12-31" % (FIRST_YEAR + YEARS + 1)
                    ).stdout.splitlines():
        date, lunar = line.split("\t")[:2]
        y, leap, m, d = re.match(r"农历(\d+)年(闰| )(\d+)月(\d+)日", lunar).groups()
        days[(int(y), int(m), leap == "闰", int(d))] = datetime.date.fromisoformat(date)
    return days


LUNAR = lunar_calendar()


def counts(result):
    return dict(zip(("created", "updated", "deleted", "requests"),
                    map(int, re.findall(r"\d+", result.stdout.splitlines()[0]))))


# Which day each rule picks (leap months, day 30, 29 February) is the calendar export's own
# check; here that the server's events land on the lunar day of each year.
def check_lunar_days(events, db, name, month, day):
    uid = uid_of(db, name)
    mine = {u: e for u, e in events.items() if u.startswith(uid)}
    check(mine, "%s has events" % name)
    for event_uid, (start, summary, _) in mine.items():
        year = int(event_uid[len(uid) + 1:].split("@")[0])
        expected = LUNAR.get((year, month, False, day))
        check(start == expected, "%s in lunar year %d on %s, not %s" % (name, year, expected, start))
        check(name in summary and "农历" in summary, "%s titled %r" % (name, summary))
    years = sorted(start.year for start, _, _ in mine.values())
    check(years and years[0] == FIRST_YEAR and years[-1] >= FIRST_YEAR + YEARS - 1,
          "%s covers the years ahead: %s" % (name, years))


def main(folder):
    server = RadicaleServer(folder).start()
    alice = Account(server, folder)
    db = os.path.join(folder, "a.mdb")
    add(db, "中秋", "nl", "1980-08-15")
    add(db, "五一", "gl", "1990-05-01")

    first = alice.sync(db, "birthdays")
    check(first.returncode == 0, "first sync: " + first.stderr)
    events = alice.events("birthdays")
    check_lunar_days(events, db, "中秋", 8, 15)
    yearly = [e for u, e in events.items() if u.startswith(uid_of(db, "五一"))]
    check(len(yearly) == 1 and yearly[0][2] and yearly[0][0] == datetime.date(2026, 5, 1),
          "a Gregorian birthday is one yearly event: %s" % yearly)

    # Someone else's event in the same calendar is never touched.
    calendar = caldav.Calendar(client=alice.client, url=alice.url("birthdays"))
    calendar.save_event("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\n"
                        "UID:foreign@example.org\r\nDTSTAMP:20260101T000000Z\r\n"
                        "DTSTART;VALUE=DATE:20270101\r\nSUMMARY:foreign\r\nEND:VEVENT\r\n"
                        "END:VCALENDAR\r\n")
    listings = server.requests("depth '1'"), server.requests("REPORT")
    alice.sync(db, "birthdays")  # the collection changed: only the change is listed
    check((server.requests("depth '1'"), server.requests("REPORT")) == (listings[0], listings[1] + 1),
          "a changed calendar is asked only what changed since its sync-token")

    sql(db, "update birthday set strNL='农历1980年 09月01日' where About='中秋';")
    sql(db, "delete from birthday where About='五一';")
    edited = alice.sync(db, "birthdays")
    check(edited.returncode == 0 and counts(edited)["deleted"] == 1, "edit: " + edited.stdout)
    events = alice.events("birthdays")
    check_lunar_days(events, db, "中秋", 9, 1)
    check(not any("五一" in e[1] for e in events.values()), "a deleted birthday's event is gone")
    check("foreign@example.org" in events, "an event natalis did not make stays")

    # Two family members' lists in one calendar: each changes only its own events.
    mine, theirs = os.path.join(folder, "x.mdb"), os.path.join(folder, "y.mdb")
    for file, name, rule, date in [(mine, "甲", "nl", "1960-02-02"), (mine, "乙", "gl", "1962-03-03"),
                                   (theirs, "丁", "gl", "1972-05-05"), (theirs, "丙", "nl", "1970-04-04")]:
        add(file, name, rule, date)
    alice.sync(mine, "shared"), alice.sync(theirs, "shared")
    sql(mine, "update birthday set strNL='农历1960年 02月09日' where About='甲';"
              "delete from birthday where About='乙';")
    sql(theirs, "delete from birthday where About='丙';")
    check(alice.sync(mine, "shared").returncode == alice.sync(theirs, "shared").returncode == 0,
          "each list changes its own")
    check_lunar_days(alice.events("shared"), mine, "甲", 2, 9)
    titles = sorted(e[1] for e in alice.events("shared").values())
    check(any("丁" in t for t in titles) and not any(n in t for t in titles for n in "乙丙"),
          "each list deleted only its own: %s" % titles)

    # A new year keeps last year's events; a later change of the date removes them.
    mine_years = lambda uid=uid_of(mine, "甲"): sorted(  # noqa: E731
        s.year for u, (s, _, _) in alice.events("shared").items() if u.startswith(uid))
    alice.sync(mine, "shared", now="2027-01-02T10:00")
    check(mine_years()[:2] == [2026, 2027] and mine_years()[-1] == 2036,
          "2026 stays beside the years ahead of 2027: %s" % mine_years())
    # An event of ours changed behind our back (a stale ETag) is read again and rewritten.
    sql(mine, "update birthday set strNL='农历1960年 02月10日' where About='甲';"
              "update syncevent set Etag='\"stale\"' where Uid='%s-2030@natalis.invalid';"
              % uid_of(mine, "甲"))
    moved = alice.sync(mine, "shared", now="2027-01-02T10:00")
    check(moved.returncode == 0 and counts(moved)["deleted"] == 1
          and counts(moved)["requests"] == counts(moved)["updated"] + 5
          and mine_years()[0] == 2027 and len(mine_years()) == 10,
          "a past event goes with its date; requests: the collection, the updates, 2026's delete, "
          "a re-read and retry, the collection: " + moved.stdout)

    # The same list in a file without its sync records neither rewrites nor deletes the events.
    twin = os.path.join(folder, "twin.mdb")
    shutil.copy(mine, twin)
    sql(twin, "delete from syncevent; delete from synccollection;")
    met = alice.sync(twin, "shared", now="2027-01-02T10:00")
    sql(twin, "delete from birthday;")
    left = alice.sync(twin, "shared", now="2027-01-02T10:00")
    check(counts(met)["created"] == counts(left)["deleted"] == 0 and len(mine_years()) == 10,
          "a copy leaves the events of the first file: %s %s" % (met.stdout, left.stdout))

    # Festivals go into a calendar of their own and leave with the option.
    feasts = os.path.join(folder, "d.mdb")
    add(feasts, "节", "gl", "1990-05-01")
    check(alice.sync(feasts, "f", "--years", "1", "--festivals").returncode == 0, "festivals")
    festivals = alice.events("f-festivals")
    check(any(e[1] == "中秋节" for e in festivals.values()) and len(alice.events("f")) == 1,
          "festivals and solar terms beside the birthdays: %d" % len(festivals))
    check(alice.sync(feasts, "f", "--years", "1").returncode == 0 and not alice.events("f-festivals"),
          "festivals turned off are removed")

    server.stop()

    # Credentials: the server refuses a wrong password, which the result names.
    os.makedirs(os.path.join(folder, "auth"))
    with RadicaleServer(os.path.join(folder, "auth"), {"bob": "secret"}) as guarded:
        wrong = Account(guarded, folder, "bob", "wrong").sync(db, "birthdays")
        check(wrong.returncode == 1 and "用户名或密码错误" in wrong.stderr,
              "a wrong password: " + wrong.stderr)
        right = Account(guarded, folder, "bob", "secret").sync(db, "birthdays")
        check(right.returncode == 0, "the right password: " + right.stderr)


with tempfile.TemporaryDirectory() as folder:
    main(folder)
sys.exit(1 if failures else 0)
