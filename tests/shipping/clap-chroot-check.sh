#!/usr/bin/env bash
# Our CLAP test host, built in a Debian tree by its g++, against every .clap given and, where the
# tree has them, the CLAPs Debian builds with the real headers (Dragonfly's, in Debian 13).
#   clap-chroot-check.sh <tree> <ClapPeerCheck.cpp> <.clap files>...
source "$(dirname "$0")/lib.sh"
root=$1 check_source=$2
shift 2
echo "CLAP plug-ins through our test host in Debian $(cat "$root/etc/debian_version") ($root)"
work_folder "$root"
plugins=()
for file in "$@"; do
    cp "$file" "$work/" && plugins+=("$inside/${file##*/}")
done
for file in "$root"/usr/lib/clap/*.clap "$root"/usr/lib/*/clap/*.clap; do
    [ -e "$file" ] && plugins+=("${file#"$root"}")
done
chroot "$root" sh -c "cd $inside && g++ -std=c++17 -O2 -Isrc -o clap_peer_check $(source_path "$check_source") \
    -lgtest -pthread -ldl && ./clap_peer_check ${plugins[*]}"
