#!/usr/bin/env python3
"""The lobby service with real processes on loopback: three tessarin-server tables register
with --lobby and are listed within 8 s with their ports and players; a registration whose
port answers nothing, or answers but says nothing, is never listed; 1000 registrations from
one address list at most 20 tables; an oversized body is refused; one address reads the
list 10 times a second at most; a client dripping its request is closed; a table that stops
is dropped within 20 s.

Usage: lobby_service_test.py LOBBY_SERVER TABLE_SERVER WORKDIR
"""
import http.client
import json
import os
import re
import resource
import selectors
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

failures = []


def check(condition, text):
    if not condition:
        failures.append(text)
        print("FAIL:", text)
    return condition


def wait_for_line(process, log, pattern, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        with open(log, "rb") as f:
            m = re.search(pattern, f.read().decode("latin-1"))
        if m:
            return m
        if process.poll() is not None:
            break
        time.sleep(0.05)
    sys.exit(f"{log}: no line matching {pattern}")


class Lobby:
    def __init__(self, port):
        self.port = port
        self.seen = []  # every table list read, to show a table was never listed

    def request(self, method, path, body=None):
        c = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        try:
            c.request(method, path, body, {"Content-Type": "application/json"})
            r = c.getresponse()
            return r.status, r.read()
        finally:
            c.close()

    def tables(self):
        status, body = self.request("GET", "/tables")
        check(status == 200, f"GET /tables answered {status}")
        tables = json.loads(body) if status == 200 else []
        self.seen.append(tables)
        return {t["port"]: t for t in tables if t.get("host") == "127.0.0.1"}


def fake_tables(count, stop):
    """Listeners that answer like a table's first message, each on a port of its own."""
    listeners = []
    selector = selectors.DefaultSelector()
    for _ in range(count):
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        s.listen(8)
        s.setblocking(False)
        selector.register(s, selectors.EVENT_READ)
        listeners.append(s)

    def serve():
        while not stop.is_set():
            for key, _ in selector.select(0.1):
                try:
                    conn, _ = key.fileobj.accept()
                    conn.sendall(b"CMD_sendlogininfo+1\xff")
                    conn.close()
                except OSError:
                    pass

    threading.Thread(target=serve, daemon=True).start()
    return listeners


def main(lobby_server, table_server, workdir):
    os.makedirs(workdir, exist_ok=True)
    root = tempfile.mkdtemp(dir=workdir)
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 4096), hard))
    processes = []
    stop = threading.Event()
    try:
        lobby_log = os.path.join(root, "lobby.log")
        with open(lobby_log, "wb") as out:
            service = subprocess.Popen([lobby_server, "--listen", "127.0.0.1:0"], stdout=out,
                                       stderr=subprocess.STDOUT)
        processes.append(service)
        lobby = Lobby(int(wait_for_line(service, lobby_log,
                                        r"\d\d:\d\d:\d\d listening on 127\.0\.0\.1:(\d+)")[1]))

        started = time.monotonic()
        tables = []
        for i in range(3):
            folder = os.path.join(root, f"table{i}")
            os.mkdir(folder)
            log = os.path.join(folder, "server.log")
            with open(log, "wb") as out:
                p = subprocess.Popen([table_server, "--port", "0", "--lobby",
                                      f"http://127.0.0.1:{lobby.port}"],
                                     cwd=folder, stdout=out, stderr=subprocess.STDOUT)
            processes.append(p)
            tables.append((p, int(wait_for_line(p, log, r"listening on port (\d+)")[1])))
        # Ann takes seat 1 of the first table: the list must show her there.
        ann = socket.create_connection(("127.0.0.1", tables[0][1]))
        ann.settimeout(5)
        check(ann.recv(64).startswith(b"CMD_sendlogininfo+1"), "the first table did not seat Ann")
        ann.sendall(b"CMD_logininfo+1+1.0.1+Ann\xff")

        # Nothing answers on one port; something takes the connection but says nothing on
        # another (the probe's timeout).
        dead = socket.socket()
        dead.bind(("127.0.0.1", 0))
        dead_port = dead.getsockname()[1]
        dead.close()
        silent = socket.socket()
        silent.bind(("127.0.0.1", 0))
        silent.listen(8)
        silent_port = silent.getsockname()[1]
        for port in (dead_port, silent_port):
            status, _ = lobby.request("POST", "/tables", json.dumps({"port": port}))
            check(status == 202, f"a new registration was answered {status}, not 202")

        ports = {port for _, port in tables}
        listed = {}
        while time.monotonic() - started < 8:
            listed = lobby.tables()
            if ports <= listed.keys() and listed[tables[0][1]]["players"] == 1:
                break
            time.sleep(0.25)
        check(ports <= listed.keys(), f"tables {sorted(ports - listed.keys())} not listed in 8 s")
        first = listed.get(tables[0][1], {})
        check(first.get("players") == 1 and first.get("seats", [{}])[0].get("name") == "Ann",
              f"the first table is listed as {first}, without Ann in seat 1")
        check(all(listed.get(p, {}).get("seats", [{}, {}])[1].get("name") == "Klot"
                  for p in ports), "seat 2 is not listed as the computer's")

        # 1000 registrations from this address, each at a port that answers like a table.
        fakes = fake_tables(1000, stop)
        c = http.client.HTTPConnection("127.0.0.1", lobby.port, timeout=10)
        statuses = []
        for s in fakes:
            c.request("POST", "/tables", json.dumps({"port": s.getsockname()[1], "name": "x"}),
                      {"Content-Type": "application/json"})
            r = c.getresponse()
            r.read()
            statuses.append(r.status)
        c.close()
        check(statuses.count(202) == 17 and statuses.count(429) == 983,
              f"1000 registrations beside 3 tables were answered {sorted(set(statuses))}: "
              f"{statuses.count(202)} taken, {statuses.count(429)} refused, not 17 and 983")
        time.sleep(1.5)
        listed = lobby.tables()
        check(len(listed) == 20, f"{len(listed)} tables from one address listed, not 20")

        # Bodies over 4 KiB: refused with 413, or the connection closed when far too large.
        status, _ = lobby.request("POST", "/tables",
                                  json.dumps({"port": 1, "name": "x" * 5000}))
        check(status == 413, f"a 5 KB registration was answered {status}, not 413")
        try:
            status, _ = lobby.request("POST", "/tables", b"{" + b" " * (1 << 20) + b"}")
        except (ConnectionError, http.client.HTTPException):
            status = "closed"
        check(status in (413, "closed"), f"a 1 MiB registration was answered {status}")
        check(lobby.request("GET", "/healthz")[0] == 200, "GET /healthz does not answer 200")
        # Whole lists to one address: 10 a second (20 if the burst spans two seconds).
        statuses = [lobby.request("GET", "/tables")[0] for _ in range(25)]
        check(statuses.count(200) <= 20 and statuses.count(429) >= 5,
              f"25 lists read at once were answered {statuses}")
        time.sleep(1.1)

        # A client that drips a request a byte at a time is closed 10 s after its first byte,
        # while the third table stops: dropped within 20 s, while the others stay.
        slow = socket.create_connection(("127.0.0.1", lobby.port))
        slow.sendall(b"POST /tables HTTP/1.1\r\n")
        dripping = time.monotonic()
        tables[2][0].send_signal(signal.SIGTERM)
        stopped = time.monotonic()
        while time.monotonic() - stopped < 20 and tables[2][1] in lobby.tables():
            try:
                slow.sendall(b"X")
            except OSError:
                pass
            time.sleep(0.5)
        time.sleep(max(0.0, dripping + 12 - time.monotonic()))
        slow.settimeout(2)
        try:
            closed = slow.recv(1) == b""
        except ConnectionError:
            closed = True
        except socket.timeout:
            closed = False
        check(closed, "a client dripping its request was not closed after 10 s")
        slow.close()
        listed = lobby.tables()
        check(tables[2][1] not in listed, "a stopped table is still listed after 20 s")
        check({tables[0][1], tables[1][1]} <= listed.keys(), "a running table was dropped")
        for port in (dead_port, silent_port):
            check(not any(t.get("port") == port for seen in lobby.seen for t in seen),
                  f"a registration at port {port}, where no table answers, was listed")
        with open(lobby_log) as f:
            log = f.read()
        check(re.search(rf"^\d\d:\d\d:\d\d table 127\.0\.0\.1:{tables[2][1]} dropped", log, re.M),
              "the service did not log the stopped table's drop")
        ann.close()
        silent.close()
    finally:
        stop.set()
        for p in processes:
            if p.poll() is None:
                p.terminate()
                p.wait(10)
        if not failures:
            shutil.rmtree(root, ignore_errors=True)
    if failures:
        print(f"logs kept in {root}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*(os.path.abspath(a) for a in sys.argv[1:])))
