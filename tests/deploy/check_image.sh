#!/bin/sh
# Builds the container image with podman or buildah and runs its server once. Skipped
# (status 77) without either engine or without the Debian 12 base images stored locally:
# the check never pulls.
# Usage: check_image.sh SOURCE_DIR
set -eu
source=$1
if command -v podman >/dev/null 2>&1; then
    engine=podman
elif command -v buildah >/dev/null 2>&1; then
    engine=buildah
else
    echo "SKIPPED: neither podman nor buildah is installed, so the image was not built"
    exit 77
fi
for base in docker.io/library/debian:12 docker.io/library/debian:12-slim; do
    if ! $engine images --quiet "$base" 2>/dev/null | grep -q .; then
        echo "SKIPPED: no local $base image for $engine (pull it first), so the image was not built"
        exit 77
    fi
done

tag=localhost/tessarin-server-check:$$
trap '$engine rmi -f "$tag" >/dev/null 2>&1 || true' EXIT
if [ $engine = podman ]; then
    podman build --pull=never -f "$source/deploy/Containerfile" -t "$tag" "$source"
    version=$(podman run --rm "$tag" --version)
else
    buildah bud --pull-never -f "$source/deploy/Containerfile" -t "$tag" "$source"
    container=$(buildah from "$tag")
    version=$(buildah run "$container" -- /usr/local/bin/tessarin-server --version)
    buildah rm "$container" >/dev/null
fi
echo "the image's server says: $version"
case $version in
    "tessarin-server "*) exit 0 ;;
    *) exit 1 ;;
esac
