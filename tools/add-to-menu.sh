#!/bin/sh
# Puts Tesselo in the desktop menu of the current user, pointing at the
# folder this script is in. Run it again after moving the folder.
set -eu
folder=$(cd "$(dirname "$0")" && pwd)
case "$folder" in
  *[\"\`\$\\]*)
    echo "add-to-menu.sh: the folder name $folder holds a quote, a dollar or a backslash;" >&2
    echo "move Tesselo to a folder without them and run this again." >&2
    exit 1 ;;
esac
if [ ! -x "$folder/tesselo" ] || [ ! -f "$folder/tesselo.desktop" ]; then
  echo "add-to-menu.sh: run me from the Tesselo folder (tesselo and tesselo.desktop beside me)" >&2
  exit 1
fi

# Point the folder's own entry at where the folder is now.
entry=$(sed -e "s|^Exec=.*|Exec=\"$folder/tesselo\"|" \
            -e "s|^Path=.*|Path=$folder|" \
            -e "s|^Icon=.*|Icon=$folder/tesselo.png|" "$folder/tesselo.desktop")
printf '%s\n' "$entry" > "$folder/tesselo.desktop"

menu="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$menu"
printf '%s\n' "$entry" > "$menu/tesselo.desktop"
command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database "$menu" >/dev/null 2>&1 || true
echo "Tesselo is in the menu: $menu/tesselo.desktop"
