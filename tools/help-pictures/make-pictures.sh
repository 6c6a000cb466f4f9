#!/bin/sh
# Makes the help's GIF pictures.
#
#   tools/help-pictures/make-pictures.sh BUILD-FOLDER [HELP-FOLDER]
#
# Windows of Lockwell/PC and setup are rendered by the help-pictures tool
# (built in BUILD-FOLDER) from the real windows, under Xvfb when it is
# installed (else Qt's offscreen platform).  Pictures of things that are not
# windows of this system (the handheld's screens, HotSync, the small margin
# symbols) are drawn here as small images of their subject.  Needs ImageMagick.
# Exits 1, leaving the help folder as it was, when the tool fails or does not
# render one of the windows.
set -eu
build=${1:?usage: make-pictures.sh BUILD-FOLDER [HELP-FOLDER]}
here=$(cd "$(dirname "$0")" && pwd)
help=${2:-$here/../../help}
tool=$build/tools/help-pictures/help-pictures
[ -x "$tool" ] || { echo "make-pictures: $tool is not built (cmake --build $build --target help-pictures)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The windows, rendered before anything is written to the help folder: when
# the tool fails or a window is missing, the help keeps its pictures.
if command -v xvfb-run >/dev/null 2>&1; then
  render() { QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" "$tool" "$work"; }
else
  render() { QT_QPA_PLATFORM=offscreen "$tool" "$work"; }
fi
render || { echo "make-pictures: help-pictures failed; nothing was written to $help" >&2; exit 1; }
windows="choose-component start-installation pc-main pc-locked pc-account-list pc-account-view
         pc-category-pane pc-enter-pass pc-custom pc-passphrase about-pc pc-add-account pc-edit-account
         pc-category-prefs pc-find"
missing=""
for name in $windows; do
  [ -f "$work/$name.png" ] || missing="$missing $name"
done
if [ -n "$missing" ]; then
  echo "make-pictures: no window rendered for:$missing; nothing was written to $help" >&2
  exit 1
fi

# Windows: the rendered picture, as GIF.
for name in $windows; do
  convert "$work/$name.png" "$help/$name.gif"
done

# The program icon.
convert "$here/../../src/app/ui/icons/program.png" -resize 32x32 "$help/icon.gif"

# Margin symbols: a coloured disc with its sign.
symbol() { # name colour sign
  convert -size 32x32 xc:none -fill "$2" -draw 'circle 16,16 16,1' -fill white -pointsize 22 \
    -gravity center -annotate +0+1 "$3" -background white -flatten "$help/$1.gif"
}
symbol important '#c0392b' '!'
symbol note '#2e6da4' 'i'
symbol tip '#3c9a3c' '?'

# A padlock for security, two arrows for HotSync.
convert -size 48x48 xc:white -fill none -stroke '#555' -strokewidth 4 -draw 'arc 12,4 36,30 180,360' \
  -stroke none -fill '#d4a017' -draw 'roundrectangle 8,20 40,44 4,4' -fill '#555' -draw 'circle 24,31 24,35' \
  "$help/security.gif"
convert -size 48x48 xc:white -fill none -stroke '#1f6fb2' -strokewidth 4 -draw 'arc 6,6 42,42 200,340' \
  -draw 'arc 6,6 42,42 20,160' -stroke none -fill '#1f6fb2' -draw 'polygon 38,8 44,22 30,20' \
  -draw 'polygon 10,40 4,26 18,28' "$help/hotsync.gif"

# Handheld screens: a 160 x 160 screen with its title tab and lines of text.
screen() { # name title line...
  name=$1; title=$2; shift 2
  args=""
  y=36
  cmd="convert -size 160x160 xc:white -fill black -draw 'rectangle 0,0 159,13' -fill white -pointsize 10 -annotate +3+10 '$title' -fill black -pointsize 10"
  for line in "$@"; do
    cmd="$cmd -annotate +4+$y '$line'"
    y=$((y + 14))
  done
  eval "$cmd -bordercolor '#8a9a5b' -border 6 '$help/$name.gif'"
}
screen enter-passphrase "Lockwell" "Enter your passphrase:" "" "*********" "" "[OK]  [Cancel]"
screen list-view "Lockwell          Banking" "City Savings" "Credit card" "" "" "" "" "[New]  [Find]  [Lock]"
screen view-account "View Account" "City Savings" "Login: jsmith" "Pwd: 7reE-fall" "URL: citysavings" "" "" "[Done]  [Edit]"
screen new-account "New Account" "Title:" "Login:" "Pwd:" "URL:" "" "" "[Done]  [Cancel]"
screen edit-account "Edit Account" "Title: Mail" "Login: jane.smith" "Pwd: Blue#Kettle9" "URL: mail.example" "" "" "[Done]  [Details]"
screen change-passphrase "Change Passphrase" "Old passphrase:" "" "New passphrase:" "" "Again:" "" "[OK]  [Cancel]"
screen prefs "Preferences" "Lock after:" "  5 minutes" "Show:" "  Title, Login" "" "" "[OK]  [Cancel]"
screen about "About Lockwell" "Lockwell for the Palm" "Version 4.0.9" "" "Tallmark" "" "" "[OK]"

# Palm Desktop's HotSync settings for the conduit.
convert -size 300x130 xc:'#ece9d8' -fill '#0a246a' -draw 'rectangle 0,0 299,18' -fill white -pointsize 12 \
  -annotate +6+14 "Change HotSync Action" -fill black -pointsize 12 \
  -annotate +16+44 "(o) Synchronize the files" -annotate +16+64 "( ) Desktop overwrites handheld" \
  -annotate +16+84 "( ) Handheld overwrites Desktop" -annotate +16+104 "( ) Do nothing" "$help/pc-hotsync-actions.gif"
echo "make-pictures: pictures written to $help"
