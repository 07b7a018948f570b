#!/usr/bin/env python3
"""Prints the table of summer-time switches in test_dst_window.cpp from the tz database,
through Python's zoneinfo: per year and zone, the UTC instants at which summer time starts
and at which it ends, as seconds since 2000-01-01 00:00 UTC."""
from datetime import datetime, timedelta, timezone
from zoneinfo import ZoneInfo

ZONES = ["Australia/Sydney", "Pacific/Auckland", "Europe/Berlin", "America/New_York"]
EPOCH = datetime(2000, 1, 1, tzinfo=timezone.utc)


def switches(tz, year):
    found, t = {}, datetime(year, 1, 1, tzinfo=timezone.utc)
    summer = bool(t.astimezone(tz).dst())
    while t.year == year:
        t += timedelta(minutes=15)
        dst = t.astimezone(tz).dst()
        assert dst in (timedelta(0), timedelta(hours=1)), "the tool knows one hour of summer time"
        if bool(dst) != summer:
            summer = not summer
            found["on" if summer else "off"] = int((t - EPOCH).total_seconds())
    return found["on"], found["off"]


for zone in ZONES:
    local = datetime(2026, 1, 15, tzinfo=ZoneInfo(zone))
    print(f"// {zone}: standard time {(local.utcoffset() - local.dst()) // timedelta(minutes=1)} minutes")
for year in range(2008, 2038):
    cells = ", ".join(f"{on}, {off}" for on, off in (switches(ZoneInfo(z), year) for z in ZONES))
    print(f"{{{year}, {cells}}},")
