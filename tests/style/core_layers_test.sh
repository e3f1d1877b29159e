#!/bin/sh
# Every #include "core/X/…" in src/core/Y names a folder X below Y in the order given (lowest
# first): the core's folders never include each other in a circle.
# Usage: core_layers_test.sh SOURCE_DIR "text sys net …"
src="$1/src/core"
order=$(echo "$2" | tr ";" " ")
rank() {
  i=0
  for layer in $order; do
    [ "$layer" = "$1" ] && { echo "$i"; return; }
    i=$((i + 1))
  done
  echo -1
}
status=0
for folder in "$src"/*/; do
  from=$(basename "$folder")
  from_rank=$(rank "$from")
  if [ "$from_rank" -lt 0 ]; then
    echo "src/core/$from is not in the layer order; add it where it belongs" >&2
    status=1
    continue
  fi
  for to in $(grep -rhoE '#include "core/[a-z_]+/' "$folder" | sed 's|#include "core/||; s|/$||' | sort -u); do
    [ "$to" = "$from" ] && continue
    to_rank=$(rank "$to")
    if [ "$to_rank" -lt 0 ] || [ "$to_rank" -ge "$from_rank" ]; then
      grep -rlE "#include \"core/$to/" "$folder" | sed "s|^$1/||; s|\$| includes core/$to, which is not below core/$from|" >&2
      status=1
    fi
  done
done
exit $status
