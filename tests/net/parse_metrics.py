#!/usr/bin/env python3
"""Reads a Prometheus text page on standard input with prometheus_client's own parser and
prints its samples as JSON: {"sample name{label=value,...}": value}, with each family's type
under "TYPE name". Exits 77 without python3-prometheus-client, 1 when the page does not
parse."""
import json
import sys

try:
    from prometheus_client.parser import text_string_to_metric_families
except ImportError:
    print("python3-prometheus-client is not installed")
    sys.exit(77)

out = {}
try:
    for family in text_string_to_metric_families(sys.stdin.read()):
        out["TYPE " + family.name] = family.type
        for sample in family.samples:
            labels = ",".join(f"{k}={v}" for k, v in sorted(sample.labels.items()))
            out[sample.name + ("{" + labels + "}" if labels else "")] = sample.value
except Exception as error:  # the parser's complaint is the test's message
    print(f"the page does not parse: {error}")
    sys.exit(1)
print(json.dumps(out))
