#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Two real Syncthing instances on loopback, each syncing one application folder, with the
program's side played by the synctrial driver (the store and session code the windows use).
Runs the situations one after another and prints what it counted; run.sh calls it."""
import argparse
import collections
import json
import os
import random
import shutil
import subprocess
import sys
import time
import urllib.request
import xml.etree.ElementTree as ET

FOLDER_ID = "verbanta"


class Syncthing:
    def __init__(self, name, root, gui_port, listen_port):
        self.name = name
        self.home = os.path.join(root, "st" + name)
        self.app = os.path.join(root, "app" + name)
        self.gui = f"127.0.0.1:{gui_port}"
        self.listen = f"tcp://127.0.0.1:{listen_port}"
        self.proc = None

    def generate(self):
        os.makedirs(self.app, exist_ok=True)
        subprocess.run(["syncthing", "generate", f"--home={self.home}", "--no-default-folder",
                        "--skip-port-probing"], check=True, capture_output=True)
        path = os.path.join(self.home, "config.xml")
        tree = ET.parse(path)
        root = tree.getroot()
        self.id = root.find("device").get("id")
        gui = root.find("gui")
        gui.find("address").text = self.gui
        self.key = gui.find("apikey").text
        opts = root.find("options")
        for tag, value in [("globalAnnounceEnabled", "false"), ("localAnnounceEnabled", "false"),
                           ("relaysEnabled", "false"), ("natEnabled", "false"),
                           ("startBrowser", "false"), ("urAccepted", "-1"),
                           ("crashReportingEnabled", "false"), ("autoUpgradeIntervalH", "0")]:
            el = opts.find(tag)
            if el is None:
                el = ET.SubElement(opts, tag)
            el.text = value
        for el in opts.findall("listenAddress"):
            opts.remove(el)
        ET.SubElement(opts, "listenAddress").text = self.listen
        tree.write(path)

    def start(self):
        env = dict(os.environ, STNODEFAULTFOLDER="1", STNOUPGRADE="1")
        self.log = open(os.path.join(self.home, "syncthing.log"), "ab")
        self.proc = subprocess.Popen(["syncthing", "serve", f"--home={self.home}", "--no-browser",
                                      "--no-restart", f"--gui-address=http://{self.gui}"],
                                     env=env, stdout=self.log, stderr=subprocess.STDOUT)
        for _ in range(100):
            try:
                self.api("GET", "/rest/system/ping")
                return
            except Exception:
                time.sleep(0.2)
        raise RuntimeError(f"syncthing {self.name} did not start")

    def stop(self):
        if self.proc:
            try:
                self.api("POST", "/rest/system/shutdown")
                self.proc.wait(20)
            except Exception:
                self.proc.kill()

    def api(self, method, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        req = urllib.request.Request(f"http://{self.gui}{path}", data=data, method=method,
                                     headers={"X-API-Key": self.key,
                                              "Content-Type": "application/json"})
        with urllib.request.urlopen(req, timeout=120) as r:
            text = r.read()
            return json.loads(text) if text.strip() else None

    def introduce(self, other):
        self.api("POST", "/rest/config/devices",
                 {"deviceID": other.id, "name": other.name, "addresses": [other.listen]})
        self.api("POST", "/rest/config/folders",
                 {"id": FOLDER_ID, "label": FOLDER_ID, "path": self.app, "type": "sendreceive",
                  "rescanIntervalS": 10, "fsWatcherEnabled": True, "fsWatcherDelayS": 1,
                  "devices": [{"deviceID": self.id}, {"deviceID": other.id}]})

    def connected(self, other):
        c = self.api("GET", "/rest/system/connections")["connections"].get(other.id, {})
        return c.get("connected", False)

    def pause(self, other):
        self.api("POST", f"/rest/system/pause?device={other.id}")

    def resume(self, other):
        self.api("POST", f"/rest/system/resume?device={other.id}")

    def scan(self):
        self.api("POST", f"/rest/db/scan?folder={FOLDER_ID}")

    def idle(self, other):
        s = self.api("GET", f"/rest/db/status?folder={FOLDER_ID}")
        c = self.api("GET", f"/rest/db/completion?folder={FOLDER_ID}&device={other.id}")
        return (s["state"] == "idle" and s["needTotalItems"] == 0 and c["completion"] == 100
                and c["needItems"] == 0 and c["needDeletes"] == 0)


def tree_of(folder):
    """Relative path -> (size, content) of every file but Syncthing's own."""
    result = {}
    for dirpath, dirnames, filenames in os.walk(folder):
        dirnames[:] = [d for d in dirnames if d not in (".stfolder", ".stversions")]
        for f in filenames:
            if f.startswith(".syncthing.") or f == ".stignore":
                continue
            p = os.path.join(dirpath, f)
            try:
                with open(p, "rb") as fh:
                    result[os.path.relpath(p, folder)] = fh.read()
            except FileNotFoundError:
                pass
    return result


def wait_sync(a, b, timeout=300):
    """Until both instances are idle with nothing needed and the two folders hold the same
    files, twice in a row a second apart."""
    start = time.time()
    good = 0
    while time.time() - start < timeout:
        try:
            a.scan()
            b.scan()
            ok = a.connected(b) and a.idle(b) and b.idle(a) and tree_of(a.app) == tree_of(b.app)
        except Exception:
            ok = False
        good = good + 1 if ok else 0
        if good >= 2:
            return time.time() - start
        time.sleep(1)
    raise RuntimeError("the folders did not come into step within %d s" % timeout)


class Driver:
    def __init__(self, exe):
        self.exe = exe

    def cmd(self, host, *args):
        # Each side is its own machine to the program: its own host name.
        return ["unshare", "--uts", "sh", "-c", f'hostname {host} && exec "$0" "$@"', self.exe,
                *args]

    def run(self, host, *args):
        return subprocess.run(self.cmd(host, *args), capture_output=True, text=True)

    def dump(self, host, folder):
        r = self.run(host, "dump", folder)
        if r.returncode == 3:
            return None
        if r.returncode != 0:
            raise RuntimeError(f"dump failed: {r.stderr}")
        return r.stdout.splitlines()

    def hold(self, host, folder, follow=False, versions=None):
        return Session(self, host, folder, follow, versions)


class Session:
    """A window with the book open: edits are sent one by one, as the user makes them."""
    DONE = ("ok", "missing", "unknown", "error", "refused-mixed", "closed")

    def __init__(self, driver, host, folder, follow, versions=None):
        args = ["hold", folder] + (["--follow"] if follow else [])
        args += ["--versions", versions] if versions else []
        self.p = subprocess.Popen(driver.cmd(host, *args), stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, text=True, bufsize=1)
        self.log = []
        self.read_until(("open",))

    def read_until(self, done):
        while True:
            line = self.p.stdout.readline()
            if not line:
                raise RuntimeError("driver ended: " + "\n".join(self.log))
            line = line.rstrip("\n")
            self.log.append(line)
            if line.startswith(done):
                return line

    def send(self, *fields):
        self.p.stdin.write("\t".join(fields) + "\n")
        self.p.stdin.flush()
        line = self.read_until(self.DONE)
        if not line.startswith(("ok", "closed")):
            raise RuntimeError(f"{fields}: {line}")
        return line

    def edits(self, edits):
        for e in edits:
            self.send(*e)

    def close(self):
        self.send("close")
        self.log.append(self.p.stdout.read())
        self.p.wait(60)
        return self.log

    def reloads(self):
        return sum(1 for l in self.log if l.startswith("reloaded"))


def apply_edits(lines, edits):
    """The book a set of edits should leave: lines are word<TAB>meaning<TAB>example."""
    result = collections.Counter(lines)
    for e in edits:
        if e[0] == "reg":
            result["\t".join(e[1:4])] += 1
        elif e[0] in ("mod", "del"):
            old = [l for l in result if l.split("\t", 1)[0] == e[1] and result[l] > 0]
            assert len(old) == 1, e
            result[old[0]] -= 1
            if e[0] == "mod":
                result["\t".join(e[1:4])] += 1
    return +result


def lost(expected, actual):
    """Lines the book should hold and does not: a word missing or with other contents."""
    return sum((expected - collections.Counter(actual)).values())


def unique_words(lines, rng, count, exclude=()):
    counts = collections.Counter(l.split("\t", 1)[0] for l in lines)
    words = sorted(w for w, c in counts.items() if c == 1 and w not in exclude
                   and not w.startswith("st"))
    return rng.sample(words, count)


def side_edits(tag, lines, rng, regs, mods, dels, exclude=()):
    picked = unique_words(lines, rng, mods + dels, exclude)
    edits = [("reg", f"st{tag}n{i}", f"同期の試験{tag}{i}", f"example {tag} {i}")
             for i in range(regs)]
    edits += [("mod", w, f"変更{tag}{i}", f"changed {tag} {i}") for i, w in enumerate(picked[:mods])]
    edits += [("del", w) for w in picked[mods:]]
    return edits, picked


class Trial:
    def __init__(self, args):
        self.args = args
        root = args.root
        if os.path.exists(root):
            shutil.rmtree(root)
        os.makedirs(root)
        self.a = Syncthing("A", root, args.port, args.port + 100)
        self.b = Syncthing("B", root, args.port + 1, args.port + 101)
        self.d = Driver(args.driver)
        self.rng = random.Random(41)
        self.results = {}
        self.hosts = {"A": "machine-a", "B": "machine-b"}

    def setup(self):
        for s in (self.a, self.b):
            s.generate()
            s.start()
        self.a.introduce(self.b)
        self.b.introduce(self.a)
        for _ in range(60):
            if self.a.connected(self.b) and self.b.connected(self.a):
                break
            time.sleep(1)
        else:
            raise RuntimeError("the instances did not connect")
        print(f"connected A={self.a.id[:7]} B={self.b.id[:7]}", flush=True)

    def side(self, name):
        return (self.a, self.b) if name == "A" else (self.b, self.a)

    def book(self, name, book):
        return os.path.join(self.side(name)[0].app, book)

    def dump(self, name, book):
        return self.d.dump(self.hosts[name], self.book(name, book))

    def make_book(self, book, words):
        r = self.d.run(self.hosts["A"], "gen", self.book("A", book), str(words))
        if r.returncode != 0:
            raise RuntimeError(r.stderr)
        took = wait_sync(self.a, self.b, 900)
        print(f"book {book} of {words} words synced in {took:.1f} s", flush=True)

    def record(self, situation, row):
        self.results.setdefault(situation, []).append(row)
        print(situation, json.dumps(row, ensure_ascii=False), flush=True)

    # (1) one machine at a time
    def one_at_a_time(self, trials):
        for t in range(trials):
            src, dst = ("A", "B") if t % 2 == 0 else ("B", "A")
            base = self.dump(src, "main")
            edits, _ = side_edits(f"1{t}{src}", base, self.rng, regs=3, mods=2, dels=1)
            s = self.d.hold(self.hosts[src], self.book(src, "main"))
            s.edits(edits)
            s.close()
            wait_sync(self.a, self.b)
            expected = apply_edits(base, edits)
            got = {n: self.dump(n, "main") for n in ("A", "B")}
            self.record("1", {"trial": t + 1, "from": src, "edits": len(edits),
                              "lost_on_" + src: lost(expected, got[src] or []),
                              "lost_on_" + dst: lost(expected, got[dst] or []),
                              "refused_as_mixed": [n for n in got if got[n] is None]})

    # (2) a program left open on B while A's changes replace the files
    def open_underneath(self, trials):
        for t in range(trials):
            compaction = t % 2 == 1
            follow = t >= trials // 2
            after = t % 4 in (0, 3)  # B edits again after A's change arrived, or only closes
            base = self.dump("B", "main")
            b = self.d.hold(self.hosts["B"], self.book("B", "main"), follow=follow)
            b_edits, b_words = side_edits(f"2{t}B", base, self.rng, regs=1, mods=1, dels=0)
            b.edits(b_edits)
            wait_sync(self.a, self.b)
            mid = apply_edits(base, b_edits)
            a_edits, _ = side_edits(f"2{t}A", list(mid.elements()), self.rng, regs=3, mods=1,
                                    dels=40 if compaction else 0, exclude=b_words)
            a = self.d.hold(self.hosts["A"], self.book("A", "main"))
            a.edits(a_edits)
            a.close()
            wait_sync(self.a, self.b)
            b_late = []
            if after:
                b_late = [("reg", f"st2{t}Blate", "後から登録", "registered late")]
                b.edits(b_late)
            b.close()
            wait_sync(self.a, self.b)
            expected = apply_edits(list(mid.elements()), a_edits + b_late)
            got = {n: self.dump(n, "main") for n in ("A", "B")}
            self.record("2", {"trial": t + 1, "A_change": "compaction after deleting 40"
                              if compaction else "3 registrations + 1 modification",
                              "B_follows_every_second": follow, "B_edits_after_arrival": after,
                              "B_reloads": b.reloads(),
                              "lost_on_A": lost(expected, got["A"] or []),
                              "lost_on_B": lost(expected, got["B"] or []),
                              "refused_as_mixed": [n for n in got if got[n] is None]})

    # (3) mixed states while a large book arrives
    def mixed_states(self, trials, words):
        self.make_book("big", words)
        for t in range(trials):
            compaction = t % 2 == 0
            base = self.dump("A", "big")
            edits, _ = side_edits(f"3{t}A", base, self.rng, regs=0 if compaction else 200,
                                  mods=0 if compaction else 50, dels=200 if compaction else 0)
            versions = os.path.join(self.args.root, f"versions-{t + 1}.txt")
            w = subprocess.Popen(self.d.cmd(self.hosts["B"], "watch", self.book("B", "big"),
                                            self.book("A", "big"), "600", versions),
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            first = w.stdout.readline()
            assert first.strip() == "ready", first
            a = self.d.hold(self.hosts["A"], self.book("A", "big"), versions=versions)
            a.edits(edits)
            a.close()
            out = w.communicate("done\n")[0]
            wait_sync(self.a, self.b, 900)
            summary = [l for l in out.splitlines() if l.startswith("summary")]
            summary = dict(kv.split("=") for kv in summary[0].split()[1:]) if summary else {
                "watch_failed": out[-300:]}
            with open(os.path.join(self.args.root, f"watch-{t + 1}.log"), "w") as f:
                f.write(out)
            expected = apply_edits(base, edits)
            got = self.dump("B", "big")
            self.record("3", {"trial": t + 1, "change": "200 deletions + compaction"
                              if compaction else "200 registrations + 50 modifications",
                              **summary, "lost_on_B_after": lost(expected, got or [])})

    # (4) both machines edit while the sync is paused
    def both_while_paused(self, trials):
        for t in range(trials):
            base = self.dump("A", "main")
            self.a.pause(self.b)
            self.b.pause(self.a)
            a_edits, a_words = side_edits(f"4{t}A", base, self.rng, regs=3, mods=2, dels=1)
            b_edits, b_words = side_edits(f"4{t}B", base, self.rng, regs=3, mods=2, dels=1,
                                          exclude=a_words)
            both = unique_words(base, self.rng, 1, exclude=a_words + b_words)[0]
            a_edits.append(("mod", both, f"両方A{t}", "both A"))
            b_edits.append(("mod", both, f"両方B{t}", "both B"))
            order = ("A", "B") if t % 2 == 0 else ("B", "A")
            for n in order:
                s = self.d.hold(self.hosts[n], self.book(n, "main"))
                s.edits(a_edits if n == "A" else b_edits)
                s.close()
                time.sleep(1.5)
            self.a.resume(self.b)
            self.b.resume(self.a)
            wait_sync(self.a, self.b)
            copies = sorted(f for f in os.listdir(self.book("A", "main")) if "conflict" in f)
            merger = order[0]  # the machine whose version lost opens the book first
            aside = os.path.join(self.side(merger)[0].app, "aside", f"t{t + 1}")
            # The user answers each question knowing what either machine did: the version a
            # machine made on purpose is wanted, the word both changed may keep either.
            # Without that knowledge (always the book's version) the copy's one-sided changes
            # would go: counted as lost_if_book_kept.
            expected = apply_edits(base, a_edits[:-1] + b_edits[:-1])
            expected -= collections.Counter([l for l in expected
                                             if l.split("\t", 1)[0] == both])
            wanted = os.path.join(self.args.root, f"wanted-{t + 1}.txt")
            with open(wanted, "w") as f:
                f.write("\n".join(expected.elements()) + "\n")
            r = self.d.run(self.hosts[merger], "merge", self.book(merger, "main"), aside, wanted)
            wait_sync(self.a, self.b)
            lines = r.stdout.splitlines()
            asked = [l for l in lines if l.startswith("asked")]
            left = sorted(f for f in os.listdir(self.book("B", "main")) if "conflict" in f)
            got = {n: self.dump(n, "main") for n in ("A", "B")}
            deleted = [e[1] for e in a_edits + b_edits if e[0] == "del"]

            def count(lines):
                lines = lines or []
                kept_both = [l for l in lines if l.split("\t", 1)[0] == both]
                return {"lost": lost(expected, lines),
                        "both_changed_word": "A's" if any("両方A" in l for l in kept_both) else
                        "B's" if any("両方B" in l for l in kept_both) else "LOST",
                        "deleted_words_back": sum(1 for l in lines
                                                  if l.split("\t", 1)[0] in deleted)}
            self.record("4", {"trial": t + 1, "edit_order": "".join(order),
                              "conflict_copies": copies,
                              "merge": [l for l in lines if l.startswith("merged")],
                              "merge_exit": r.returncode, "asked": len(asked),
                              "asked_one_sided": sum(1 for l in asked
                                                     if not l.startswith("asked " + both)),
                              "lost_if_book_always_kept": sum(
                                  1 for l in asked if "book-wanted=0 copy-wanted=1" in l),
                              "copies_left": left,
                              "A": count(got["A"]), "B": count(got["B"]),
                              "refused_as_mixed": [n for n in got if got[n] is None]})

    # (4b) both programs open at once while the sync is paused, their writes interleaved: the
    # tool keeps the newer of each file, so the winners of the three files may come from
    # different machines
    def both_open_interleaved(self, trials):
        for t in range(trials):
            # A book of its own each time: a trial may leave its book refused as mixed.
            book = f"interleaved{t + 1}"
            self.make_book(book, 2000)
            base = self.dump("A", book)
            self.a.pause(self.b)
            self.b.pause(self.a)
            a_edits, a_words = side_edits(f"6{t}A", base, self.rng, regs=3, mods=2, dels=0)
            b_edits, _ = side_edits(f"6{t}B", base, self.rng, regs=3, mods=2, dels=0,
                                    exclude=a_words)
            first, second = ("A", "B") if t % 2 == 0 else ("B", "A")
            s = {n: self.d.hold(self.hosts[n], self.book(n, book)) for n in (first, second)}
            for n in (first, second):
                s[n].edits(a_edits if n == "A" else b_edits)
                time.sleep(1.5)
            # The later editor closes first: its close writes only its word file and manifest,
            # so the other's close leaves the newer word file, the record files stay the
            # later editor's.
            for n in (second, first):
                s[n].close()
                time.sleep(1.5)
            self.a.resume(self.b)
            self.b.resume(self.a)
            wait_sync(self.a, self.b)
            copies = sorted(f for f in os.listdir(self.book("A", book)) if "conflict" in f)
            expected = apply_edits(base, a_edits + b_edits)
            wanted = os.path.join(self.args.root, f"wanted-b{t + 1}.txt")
            with open(wanted, "w") as f:
                f.write("\n".join(expected.elements()) + "\n")
            got_before = {n: self.dump(n, book) for n in ("A", "B")}
            aside = os.path.join(self.a.app, "aside", f"b{t + 1}")
            r = self.d.run(self.hosts["A"], "merge", self.book("A", book), aside, wanted)
            wait_sync(self.a, self.b)
            got = {n: self.dump(n, book) for n in ("A", "B")}
            # What is still on disk anywhere in the folder: the words of both versions, so that
            # nothing is gone for good even when the book itself refuses to open.
            self.record("4b", {"trial": t + 1, "edit_order": first + second,
                               "conflict_copies": copies,
                               "book_refused_as_mixed_after_sync":
                                   [n for n in got_before if got_before[n] is None],
                               "merge": r.stdout.strip().splitlines()[-2:],
                               "merge_exit": r.returncode,
                               "lost_on_A": None if got["A"] is None else lost(expected, got["A"]),
                               "lost_on_B": None if got["B"] is None else lost(expected, got["B"]),
                               "refused_as_mixed_after_merge":
                                   [n for n in got if got[n] is None]})

    # (5) the lock from the other machine
    def lock(self):
        for holder, other in (("A", "B"), ("B", "A")):
            h = subprocess.Popen(self.d.cmd(self.hosts[holder], "lock", self.side(holder)[0].app),
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            first = h.stdout.readline().strip()
            wait_sync(self.a, self.b)
            r = self.d.run(self.hosts[other], "lock", self.side(other)[0].app)
            h.stdin.close()
            h.wait(10)
            wait_sync(self.a, self.b)
            r2 = subprocess.run(self.d.cmd(self.hosts[other], "lock", self.side(other)[0].app),
                                input="", capture_output=True, text=True)
            wait_sync(self.a, self.b)
            self.record("5", {"holder": f"{holder} ({self.hosts[holder]}): {first}",
                              "start_on_" + other + "_while_held": r.stdout.strip(),
                              "start_on_" + other + "_after_close": r2.stdout.strip()})


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--driver", required=True)
    p.add_argument("--root", default="/tmp/synctrial")
    p.add_argument("--port", type=int, default=28384)
    p.add_argument("--words", type=int, default=10000)
    p.add_argument("--big", type=int, default=100000)
    p.add_argument("--trials", type=int, default=4)
    p.add_argument("--mixed-trials", type=int, default=5)
    p.add_argument("--only", default="123456")
    p.add_argument("--json", default=None)
    args = p.parse_args()
    trial = Trial(args)
    try:
        trial.setup()
        trial.make_book("main", args.words)
        if "1" in args.only:
            trial.one_at_a_time(args.trials)
        if "2" in args.only:
            trial.open_underneath(args.trials)
        if "4" in args.only:
            trial.both_while_paused(args.trials)
        if "5" in args.only:
            trial.lock()
        if "6" in args.only:
            trial.both_open_interleaved(args.trials)
        if "3" in args.only:
            trial.mixed_states(args.mixed_trials, args.big)
    finally:
        if args.json:
            with open(args.json, "w") as f:
                json.dump(trial.results, f, ensure_ascii=False, indent=1)
        trial.a.stop()
        trial.b.stop()


if __name__ == "__main__":
    main()
