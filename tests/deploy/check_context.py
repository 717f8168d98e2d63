#!/usr/bin/env python3
"""Builds tessarin-server as deploy/Containerfile's build stage would, without a container
engine: the build context is assembled honouring .containerignore (with docker-py's matcher,
the rules podman and buildah share), the stage's COPY and WORKDIR instructions lay it out,
and its RUN instructions after the first COPY configure and build the server from exactly
those files. Exits 77 (skipped) without python3-docker.

Usage: check_context.py SOURCE_DIR WORK_DIR
"""
import os
import shlex
import shutil
import subprocess
import sys

try:
    from docker.utils.build import exclude_paths
except ImportError:
    print("SKIPPED: python3-docker is not installed, so the build context was not checked")
    sys.exit(77)

CONTAINERFILE = "deploy/Containerfile"


def ignore_patterns(source):
    """The patterns of .containerignore as container engines read them."""
    path = os.path.join(source, ".containerignore")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        lines = [line.strip() for line in f.read().splitlines()]
    return [line for line in lines if line and not line.startswith("#")]


def build_stage(source):
    """The first stage's instructions as (word, arguments), continuation lines joined."""
    with open(os.path.join(source, CONTAINERFILE)) as f:
        text = f.read().replace("\\\n", " ")
    stage = []
    for line in text.splitlines():
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        word, _, rest = line.partition(" ")
        if word.upper() == "FROM" and stage:
            break
        stage.append((word.upper(), rest.strip()))
    return stage


def copy_into(context, sources, destination):
    """COPY SRC... DEST from the context; a folder's contents go under DEST."""
    for src in sources:
        origin = os.path.normpath(os.path.join(context, src))
        if not os.path.exists(origin):
            raise SystemExit(f"COPY {src}: not in the build context")
        if os.path.isdir(origin):
            shutil.copytree(origin, destination, symlinks=True, dirs_exist_ok=True)
        else:
            target = destination
            if destination.endswith("/") or len(sources) > 1 or os.path.isdir(destination):
                target = os.path.join(destination, os.path.basename(origin))
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copy2(origin, target)


def main(source, work):
    shutil.rmtree(work, ignore_errors=True)
    context = os.path.join(work, "context")
    root = os.path.join(work, "root")  # the stage's file system: /src, /build
    patterns = ignore_patterns(source)
    sent = sorted(exclude_paths(source, patterns, dockerfile=CONTAINERFILE))
    bulky = [p for p in sent if p.split(os.sep)[0] in (".git",) or p.startswith("build")]
    if bulky:
        print("the build context would carry build output or git's files:", bulky[:5])
        return 1
    for path in sent:
        origin = os.path.join(source, path)
        if os.path.isfile(origin) or os.path.islink(origin):
            os.makedirs(os.path.dirname(os.path.join(context, path)), exist_ok=True)
            shutil.copy2(origin, os.path.join(context, path), follow_symlinks=False)

    workdir = "/"
    copied = False
    for word, rest in build_stage(source):
        if word == "WORKDIR":
            workdir = os.path.join(workdir, rest)
            os.makedirs(root + workdir, exist_ok=True)
        elif word == "COPY":
            *sources, destination = shlex.split(rest)
            if any(s.startswith("--") for s in sources):
                raise SystemExit(f"COPY {rest}: options are not understood by this check")
            copy_into(context, sources, root + os.path.join(workdir, destination))
            copied = True
        elif word == "RUN" and copied:
            # The stage's absolute paths, moved under the check's own folder.
            command = rest.replace(" /src", " " + root + "/src").replace(
                " /build", " " + root + "/build")
            print("RUN", command, flush=True)
            result = subprocess.run(["sh", "-ec", command], cwd=root + workdir,
                                    env=dict(os.environ, CCACHE_BASEDIR=work))
            if result.returncode != 0:
                print(f"the build stage's RUN failed with status {result.returncode}")
                return 1
    server = os.path.join(root, "build", "app", "tessarin-server")
    if not copied or not os.access(server, os.X_OK):
        print("the build stage did not build", server)
        return 1
    version = subprocess.run([server, "--version"], capture_output=True, text=True).stdout
    print("built:", version.strip())
    return 0 if version.startswith("tessarin-server ") else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
