#!/usr/bin/env python3
"""Checks the Agones manifests: they parse as YAML and have the fields Agones requires, the
fleet's health checking fits the server's pings, its port is the one the server listens on,
and the server knows every flag the fleet passes. Exits 77 (skipped) without PyYAML.

Usage: check_fleet.py FLEET ALLOCATION SERVER
"""
import re
import subprocess
import sys

try:
    import yaml
except ImportError:
    print("SKIPPED: PyYAML is not installed (Debian: python3-yaml), "
          "so the manifests were not checked")
    sys.exit(77)

problems = []


def need(condition, text):
    if not condition:
        problems.append(text)
    return condition


def path(document, dotted):
    """The value at a dotted path of mappings, or None."""
    for key in dotted.split("."):
        if not isinstance(document, dict) or key not in document:
            return None
        document = document[key]
    return document


def check_fleet(fleet, server_help):
    need(fleet.get("apiVersion") == "agones.dev/v1", "apiVersion is not agones.dev/v1")
    need(fleet.get("kind") == "Fleet", "kind is not Fleet")
    need(path(fleet, "metadata.name"), "metadata.name is missing")
    replicas = path(fleet, "spec.replicas")
    need(isinstance(replicas, int) and replicas >= 0, "spec.replicas is not a count")

    game = path(fleet, "spec.template.spec") or {}
    containers = path(game, "template.spec.containers")
    if not need(isinstance(containers, list) and containers, "no containers in the pod template"):
        return
    for c in containers:
        need(c.get("name") and c.get("image"), "a container without name or image")
    server = next((c for c in containers if c.get("name") == "tessarin-server"), None)
    if not need(server, "no container named tessarin-server"):
        return
    args = [str(a) for a in server.get("args", [])]

    known = set(re.findall(r"--([a-z][a-z-]*)", server_help))
    for arg in args:
        if arg.startswith("--"):
            need(arg[2:].split("=")[0] in known, f"the server has no flag {arg}")
    need("--agones" in args, "without --agones the server never reports ready or healthy")

    listen = 7772
    if "--port" in args and args.index("--port") + 1 < len(args):
        listen = int(args[args.index("--port") + 1])
    ports = game.get("ports")
    if need(isinstance(ports, list) and ports, "spec.template.spec.ports is empty"):
        for p in ports:
            need(p.get("name"), "a port without name")
            need(p.get("portPolicy", "Dynamic") in ("Dynamic", "Static", "Passthrough", "None"),
                 f"unknown portPolicy {p.get('portPolicy')}")
            need(p.get("containerPort") == listen,
                 f"containerPort {p.get('containerPort')} is not the server's port {listen}")
            need(p.get("protocol", "UDP") == "TCP", "the game port must be TCP")

    health = game.get("health") or {}
    need(health.get("disabled", False) is False, "health checking is disabled")
    ping = re.search(r"health every (\d+) s", server_help)
    if need(ping, "the server's --help does not say how often it pings"):
        period = health.get("periodSeconds", 5)
        need(isinstance(period, int) and period > int(ping.group(1)),
             f"periodSeconds {period} is not longer than the server's ping, {ping.group(1)} s")
        threshold = health.get("failureThreshold", 3)
        need(isinstance(threshold, int) and threshold >= 1, "failureThreshold is not a count")
        need(isinstance(health.get("initialDelaySeconds", 5), int),
             "initialDelaySeconds is not a number")


def check_allocation(allocation, fleet_name):
    need(allocation.get("apiVersion") == "allocation.agones.dev/v1",
         "the allocation's apiVersion is not allocation.agones.dev/v1")
    need(allocation.get("kind") == "GameServerAllocation", "the allocation's kind is wrong")
    selectors = path(allocation, "spec.selectors") or []
    need(any((s.get("matchLabels") or {}).get("agones.dev/fleet") == fleet_name
             for s in selectors if isinstance(s, dict)),
         f"the allocation does not select the fleet {fleet_name}")


def main(fleet_file, allocation_file, server):
    with open(fleet_file) as f:
        fleet = yaml.safe_load(f)
    with open(allocation_file) as f:
        allocation = yaml.safe_load(f)
    server_help = subprocess.run([server, "--help"], capture_output=True, text=True,
                                 check=True).stdout
    if need(isinstance(fleet, dict), "the fleet manifest is not a mapping"):
        check_fleet(fleet, server_help)
    if need(isinstance(allocation, dict), "the allocation is not a mapping"):
        check_allocation(allocation, path(fleet, "metadata.name"))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
