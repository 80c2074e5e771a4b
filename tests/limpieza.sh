#!/usr/bin/env bash
# `make clean` removes what the build wrote and keeps what the user made in
# the program folder: working databases, backups, packages, tables.
# Usage: limpieza.sh <source folder>
set -euo pipefail
fuente=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake -S "$fuente" -B "$tmp/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$tmp/build" --target plantilla >/dev/null
datos="$tmp/build/app/Datos"
test -f "$datos/VELMORAN00.db"
for f in Datos/VELMORAN2609.db Datos/VELMORAN2609.db-wal Datos/VELMORAN2609_061226.ZIP \
         Datos/VELMORAN0926.zip TablaCompletaVELMORAN.xlsx; do
    echo datos > "$tmp/build/app/$f"
done
make -s -C "$fuente" clean BUILD_DIR="$tmp/build" >/dev/null
test ! -e "$datos/VELMORAN00.db" || { echo "make clean dejó la plantilla"; exit 1; }
for f in Datos/VELMORAN2609.db Datos/VELMORAN2609.db-wal Datos/VELMORAN2609_061226.ZIP \
         Datos/VELMORAN0926.zip TablaCompletaVELMORAN.xlsx; do
    test "$(cat "$tmp/build/app/$f")" = datos || { echo "make clean borró $f"; exit 1; }
done
echo "make clean conserva los datos del usuario"
