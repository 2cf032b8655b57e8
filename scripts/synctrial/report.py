#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Tables of a trial.py results file (JSON), in Markdown."""
import json
import sys


def table(rows, columns):
    out = ["| " + " | ".join(c for c, _ in columns) + " |",
           "|" + "---|" * len(columns)]
    for r in rows:
        out.append("| " + " | ".join(str(f(r)) for _, f in columns) + " |")
    return "\n".join(out)


def main():
    res = json.load(open(sys.argv[1]))
    if "1" in res:
        print("### (1) one machine at a time\n")
        print(table(res["1"], [("trial", lambda r: r["trial"]), ("edited on", lambda r: r["from"]),
                               ("edits", lambda r: r["edits"]),
                               ("lost on A", lambda r: r["lost_on_A"]),
                               ("lost on B", lambda r: r["lost_on_B"]),
                               ("refused as mixed", lambda r: r["refused_as_mixed"] or "-")]))
    if "2" in res:
        print("\n### (2) program left open on B while A's change replaces the files\n")
        print(table(res["2"], [("trial", lambda r: r["trial"]), ("A's change", lambda r: r["A_change"]),
                               ("B follows (1 s)", lambda r: r["B_follows_every_second"]),
                               ("B edits after arrival", lambda r: r["B_edits_after_arrival"]),
                               ("B reloads", lambda r: r["B_reloads"]),
                               ("lost on A", lambda r: r["lost_on_A"]),
                               ("lost on B", lambda r: r["lost_on_B"])]))
    if "3" in res:
        print("\n### (3) states seen on B while A's change of a 100,000-word book arrives\n")
        print(table([r for r in res["3"] if "states" in r], [("trial", lambda r: r["trial"]), ("A's change", lambda r: r["change"]),
                               ("states", lambda r: r["states"]), ("mixed", lambda r: r["mixed"]),
                               ("mixed refused", lambda r: r["mixed-refused"]),
                               ("mixed opened", lambda r: r["mixed-opened"]),
                               ("whole but refused", lambda r: r["whole-refused"]),
                               ("unread", lambda r: r.get("unread", "")),
                               ("changed while checked", lambda r: r.get("changed-while-checked", "")),
                               ("max words wrong in a mixed set", lambda r: r["max-garbled-words"]),
                               ("lost on B after", lambda r: r["lost_on_B_after"])]))
    if "4" in res:
        print("\n### (4) both machines edit while the sync is paused, then merge\n")
        print(table(res["4"], [("trial", lambda r: r["trial"]), ("edit order", lambda r: r["edit_order"]),
                               ("merge", lambda r: "; ".join(r["merge"]) or "nothing merged"),
                               ("questions", lambda r: r["asked"]),
                               ("of them one-sided", lambda r: r["asked_one_sided"]),
                               ("lost on A", lambda r: r["A"]["lost"]),
                               ("lost on B", lambda r: r["B"]["lost"]),
                               ("deleted words back", lambda r: r["A"]["deleted_words_back"]),
                               ("both-changed word kept", lambda r: r["A"]["both_changed_word"]),
                               ("book copies left after", lambda r: len([c for c in r["copies_left"]
                                                                         if not c.startswith("manifest")]))]))
    if "4b" in res:
        print("\n### (4b) both programs open at once while paused, writes interleaved\n")
        print(table([r for r in res["4b"] if "edit_order" in r],
                    [("trial", lambda r: r["trial"]), ("edit order", lambda r: r["edit_order"]),
                     ("book refused as mixed after sync", lambda r: r["book_refused_as_mixed_after_sync"]),
                     ("merge", lambda r: "; ".join(r["merge"])),
                     ("refused after merge", lambda r: r["refused_as_mixed_after_merge"])]))
    if "5" in res:
        print("\n### (5) the lock from the other machine\n")
        print(table(res["5"], [("holder", lambda r: r["holder"])] +
                    [(k.replace("_", " "), (lambda k: lambda r: r.get(k, ""))(k))
                     for k in sorted({k for r in res["5"] for k in r if k != "holder"})]))


if __name__ == "__main__":
    main()
