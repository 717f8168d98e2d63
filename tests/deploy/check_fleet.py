#!/usr/bin/env python3
"""Checks the manifests in DEPLOY: the Agones ones (fleet.yaml, allocation.yaml,
autoscaler.yaml) parse as YAML and have the fields Agones requires, the fleet's health
checking fits the server's pings, its ports are the ones the server listens on, the Counters
the server keeps are declared, the pod's grace period outlasts the drain, and the server knows
every flag the fleet passes; the lobby service's (lobby.yaml): its Deployment and Service fit
together, the lobby service knows their flags, and the fleet's tables register with that
Service. Exits 77 (skipped) without PyYAML.

Usage: check_fleet.py DEPLOY SERVER LOBBY_SERVER
"""
import os
import re
import subprocess
import sys
from urllib.parse import urlsplit

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


def flag_value(args, flag):
    """The value after a flag in an argument list, or None."""
    if flag in args and args.index(flag) + 1 < len(args):
        return args[args.index(flag) + 1]
    return None


def check_flags(args, program_help, program):
    known = set(re.findall(r"--([a-z][a-z-]*)", program_help))
    for arg in args:
        if arg.startswith("--"):
            need(arg[2:].split("=")[0] in known, f"{program} has no flag {arg}")


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

    check_flags(args, server_help, "the server")
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


def check_lobby(documents, lobby_help, fleet_args, fleet_image):
    """The lobby's Deployment and Service, and the fleet's --lobby pointing at them."""
    kinds = {d.get("kind"): d for d in documents if isinstance(d, dict)}
    deployment, service = kinds.get("Deployment"), kinds.get("Service")
    if not need(deployment and service, "the lobby manifest needs a Deployment and a Service"):
        return
    need(deployment.get("apiVersion") == "apps/v1", "the Deployment's apiVersion is not apps/v1")
    need(service.get("apiVersion") == "v1", "the Service's apiVersion is not v1")
    need(path(deployment, "spec.replicas") == 1,
         "the lobby keeps its list in memory: one replica, or each holds part of the list")
    labels = path(deployment, "spec.template.metadata.labels") or {}
    selector = path(deployment, "spec.selector.matchLabels") or {}
    need(selector and selector.items() <= labels.items(),
         "the Deployment's selector does not match its pods' labels")
    need((service.get("spec") or {}).get("selector", {}).items() <= labels.items()
         and path(service, "spec.selector"), "the Service does not select the lobby's pods")

    containers = path(deployment, "spec.template.spec.containers") or []
    lobby = next((c for c in containers
                  if any("tessarin-lobby-server" in str(w) for w in c.get("command", []))), None)
    if not need(lobby, "no container runs tessarin-lobby-server"):
        return
    need(lobby.get("image") == fleet_image, "the lobby's image is not the tables' image")
    args = [str(a) for a in lobby.get("args", [])]
    check_flags(args, lobby_help, "the lobby service")
    listen = flag_value(args, "--listen") or "0.0.0.0:7771"
    port = int(listen.rsplit(":", 1)[1])
    ports = {p.get("name"): p.get("containerPort") for p in lobby.get("ports", [])}
    need(port in ports.values(), f"the lobby listens on {port}, which no containerPort names")
    for probe in ("readinessProbe", "livenessProbe"):
        get = path(lobby, probe + ".httpGet") or {}
        need(get.get("path") == "/healthz", f"the {probe} does not ask GET /healthz")
        need(ports.get(get.get("port"), get.get("port")) == port,
             f"the {probe} asks a port the lobby does not listen on")

    service_ports = path(service, "spec.ports") or []
    need(any(ports.get(p.get("targetPort"), p.get("targetPort")) == port for p in service_ports),
         "no port of the Service leads to the lobby's")
    url = flag_value(fleet_args, "--lobby")
    if need(url, "the fleet's tables are not given --lobby"):
        parts = urlsplit(url)
        name = path(service, "metadata.name")
        need(parts.hostname == name or (parts.hostname or "").startswith(name + "."),
             f"the tables register with {parts.hostname}, not the Service {name}")
        need(any(p.get("port") == (parts.port or 7771) for p in service_ports),
             f"the tables register on port {parts.port}, which the Service does not offer")


def main(deploy, server, lobby_server):
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
    with open(os.path.join(deploy, "lobby.yaml")) as f:
        documents = list(yaml.safe_load_all(f))
    lobby_help = subprocess.run([lobby_server, "--help"], capture_output=True, text=True,
                                check=True).stdout
    containers = path(fleet, "spec.template.spec.template.spec.containers") or [{}]
    table = next((c for c in containers if c.get("name") == "tessarin-server"), {})
    check_lobby(documents, lobby_help, [str(a) for a in table.get("args", [])],
                table.get("image"))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
