#!/usr/bin/env python3
"""Checks the Agones manifests in DEPLOY (fleet.yaml, allocation.yaml, autoscaler.yaml): they
parse as YAML and have the fields Agones requires, the fleet's health checking fits the
server's pings, its ports are the ones the server listens on, the Counters the server keeps
are declared, the pod's grace period outlasts the drain, and the server knows every flag the
fleet passes. Exits 77 (skipped) without PyYAML.

Usage: check_fleet.py DEPLOY SERVER
"""
import os
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

    def value(flag, default=None):
        if flag in args and args.index(flag) + 1 < len(args):
            return args[args.index(flag) + 1]
        return default

    listen = int(value("--port", 7772))
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


    counters = game.get("counters") or {}
    named = re.search(r'Counters\s+"([a-z]+)"\s+and\s+"([a-z]+)"', server_help)
    if need(named, "the server's --help does not name its Counters"):
        for name in named.groups():
            need(isinstance(counters.get(name), dict), f"the fleet declares no Counter {name}")
    need((counters.get("players") or {}).get("capacity") == 3,
         "the Counter players must have capacity 3, the seats 1..3")
    need((counters.get("spectators") or {}).get("capacity") == 6,
         "the Counter spectators must have capacity 6, the seats 4..9")

    pod = path(game, "template.spec") or {}
    drain = int(value("--drain", 0))
    need(drain > 0, "the fleet passes no --drain: a stopped table ends its game at once")
    grace = pod.get("terminationGracePeriodSeconds", 30)
    need(isinstance(grace, int) and grace > drain,
         f"terminationGracePeriodSeconds {grace} does not outlast --drain {drain}")
    need(value("--idle-exit") is not None, "the fleet passes no --idle-exit")
    metrics = value("--metrics")
    if need(metrics, "the fleet passes no --metrics"):
        port = int(metrics.rsplit(":", 1)[1])
        need(any(p.get("containerPort") == port for p in server.get("ports", [])),
             f"the metrics port {port} is not among the container's ports")
        annotations = path(game, "template.metadata.annotations") or {}
        need(annotations.get("prometheus.io/port") == str(port),
             "the scrape annotation does not name the metrics port")
    limits = path(server, "resources.limits") or {}
    need(limits.get("cpu") and limits.get("memory"), "the container has no CPU or memory limit")
    profiles = [path(pod, "securityContext.seccompProfile.type"),
                path(server, "securityContext.seccompProfile.type")]
    need("RuntimeDefault" in profiles, "no seccompProfile RuntimeDefault")


def check_autoscaler(autoscaler, fleet_name):
    need(autoscaler.get("apiVersion") == "autoscaling.agones.dev/v1",
         "the autoscaler's apiVersion is not autoscaling.agones.dev/v1")
    need(autoscaler.get("kind") == "FleetAutoscaler", "the autoscaler's kind is wrong")
    need(path(autoscaler, "metadata.name"), "the autoscaler has no name")
    need(path(autoscaler, "spec.fleetName") == fleet_name,
         f"the autoscaler does not scale the fleet {fleet_name}")
    need(path(autoscaler, "spec.policy.type") == "Buffer", "the autoscaler's policy is not Buffer")
    buffer = path(autoscaler, "spec.policy.buffer") or {}
    size, low, high = (buffer.get(k) for k in ("bufferSize", "minReplicas", "maxReplicas"))
    need(isinstance(size, int) and size >= 1, "bufferSize is not a count of tables")
    need(isinstance(high, int) and isinstance(low, int) and size <= low <= high,
         "the replicas must run from at least the buffer up to maxReplicas")
    if path(autoscaler, "spec.sync"):
        need(path(autoscaler, "spec.sync.type") == "FixedInterval"
             and isinstance(path(autoscaler, "spec.sync.fixedInterval.seconds"), int),
             "the autoscaler's sync is not a FixedInterval in seconds")


def check_allocation(allocation, fleet_name):
    need(allocation.get("apiVersion") == "allocation.agones.dev/v1",
         "the allocation's apiVersion is not allocation.agones.dev/v1")
    need(allocation.get("kind") == "GameServerAllocation", "the allocation's kind is wrong")
    selectors = path(allocation, "spec.selectors") or []
    need(selectors and all((s.get("matchLabels") or {}).get("agones.dev/fleet") == fleet_name
                           for s in selectors if isinstance(s, dict)),
         f"the allocation does not select the fleet {fleet_name}")
    for s in selectors:
        need(s.get("gameServerState", "Ready") in ("Ready", "Allocated"),
             f"unknown gameServerState {s.get('gameServerState')}")
        need(path(s, "counters.players.minAvailable") == 1,
             "a selector does not ask for a free seat (counters.players.minAvailable: 1)")
    for p in path(allocation, "spec.priorities") or []:
        need(p.get("type") in ("Counter", "List") and p.get("key")
             and p.get("order", "Ascending") in ("Ascending", "Descending"),
             f"a priority Agones cannot read: {p}")


def main(deploy, server):
    def load(name):
        with open(os.path.join(deploy, name)) as f:
            return yaml.safe_load(f)

    fleet, allocation, autoscaler = (load(n) for n in
                                     ("fleet.yaml", "allocation.yaml", "autoscaler.yaml"))
    server_help = subprocess.run([server, "--help"], capture_output=True, text=True,
                                 check=True).stdout
    if need(isinstance(fleet, dict), "the fleet manifest is not a mapping"):
        check_fleet(fleet, server_help)
    if need(isinstance(allocation, dict), "the allocation is not a mapping"):
        check_allocation(allocation, path(fleet, "metadata.name"))
    if need(isinstance(autoscaler, dict), "the autoscaler is not a mapping"):
        check_autoscaler(autoscaler, path(fleet, "metadata.name"))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
