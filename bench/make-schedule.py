#!/usr/bin/python3
# Writes a schedule file of N lines as users keep them: Shift_JIS, CR LF, two thirds dated entries
# spread over 1930-2029 (all the years the two-digit field names), one third every-day entries,
# the four methods mixed. Nothing falls due near now: no every-day entry in the coming hours and no
# dated entry within two days of now, so a run is never interrupted by a warning. Prints how many
# lines "過去の日付だけ削除" keeps (every-day entries and dated ones still to come, their two-digit
# years read as the program reads them).
#
# Usage: bench/make-schedule.py LINES FILE [NOW_EPOCH_SECONDS]
import datetime
import random
import sys

METHODS = ["ｼｬｯﾄﾀﾞｳﾝ", "強制終了", "再起動", "ログオフ"]
QUIET_HOURS = 3  # no every-day entry from now to this many hours on


def as_read(moment, now):
    """The moment as the program reads its two-digit year: in the hundred years from 50 before
    now to 49 after (in 2026, 30年 is 2030)."""
    first = now.year - 50
    year = first - first % 100 + moment.year % 100
    if year < first:
        year += 100
    try:
        return moment.replace(year=year)
    except ValueError:  # 29 February in a year that has none: no such entry ever fires
        return now - datetime.timedelta(days=365)


def main():
    count, path = int(sys.argv[1]), sys.argv[2]
    now = datetime.datetime.fromtimestamp(float(sys.argv[3])) if len(sys.argv) > 3 else datetime.datetime.now()
    rng = random.Random(count)
    first = datetime.datetime(1930, 1, 1)
    span_minutes = (datetime.datetime(2030, 1, 1) - first) // datetime.timedelta(minutes=1)
    now_minute = now.hour * 60 + now.minute
    lines, kept = [], 0
    while len(lines) < count:
        method = rng.choice(METHODS)
        if rng.randrange(3) == 0:
            minute = rng.randrange(1440)
            if (minute - now_minute) % 1440 < QUIET_HOURS * 60:
                continue
            lines.append(f"毎日実行　　　　{minute // 60:02}時{minute % 60:02}分　{method}")
            kept += 1
        else:
            moment = first + datetime.timedelta(minutes=rng.randrange(span_minutes))
            meant = as_read(moment, now)
            if abs(meant - now) < datetime.timedelta(days=2):
                continue
            lines.append(moment.strftime(f"%y年%m月%d日 %H時%M分　{method}"))
            kept += meant > now
    with open(path, "wb") as out:
        out.write("".join(line + "\r\n" for line in lines).encode("cp932"))
    print(kept)


main()
