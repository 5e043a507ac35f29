#!/usr/bin/env bash
# Gives FOLDER and every file in it the modification time DATE (anything `touch -d`
# reads: "@SECONDS" or a changelog's date), so that what is packed from it does not
# depend on when it was built.
# Usage: set-dates.sh DATE FOLDER
set -euo pipefail
date=${1:?usage: set-dates.sh DATE FOLDER}
folder=${2:?usage: set-dates.sh DATE FOLDER}
[[ -d $folder ]] || { echo "set-dates: no folder $folder" >&2; exit 1; }
find "$folder" -exec touch --no-dereference -d "$date" {} +
