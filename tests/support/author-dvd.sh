#!/bin/bash
# Authors a small PAL DVD-Video folder: a root menu with two buttons (highlight yellow,
# select red) and two titles of two chapters, each returning to the menu.
# Usage: author-dvd.sh OUT_FOLDER [SECONDS_PER_TITLE]. Needs ffmpeg, spumux and dvdauthor.
set -euo pipefail
export VIDEO_FORMAT=PAL
OUT=$(realpath -m "$1"); DUR=${2:-8}; W=$OUT.build
CH=0,0:$(printf %02d $((DUR / 2)))
rm -rf "$W" "$OUT"; mkdir -p "$W"; cd "$W"
FF="ffmpeg -hide_banner -loglevel error -nostdin -y"
$FF -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine=f=440:r=48000 -t "$DUR" -target pal-dvd -aspect 4:3 t1.mpg
$FF -f lavfi -i smptebars=size=720x576:rate=25 -f lavfi -i sine=f=880:r=48000 -t "$DUR" -target pal-dvd -aspect 4:3 t2.mpg
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
$FF -f lavfi -i "color=c=navy:s=720x576:d=1,drawtext=fontfile=$FONT:text=Title 1:x=260:y=212:fontsize=40:fontcolor=white,drawtext=fontfile=$FONT:text=Title 2:x=260:y=332:fontsize=40:fontcolor=white" -frames:v 1 bg.png
$FF -loop 1 -i bg.png -f lavfi -i anullsrc=r=48000:cl=stereo -t 2 -target pal-dvd -aspect 4:3 menu.mpg
# The overlays need opaque frames on a transparent page: drawbox keeps the page's alpha, so
# the frames are drawn by expression. Four pixels wide, one round each button.
frame() { echo "between(X,160,559)*between(Y,$1,$(($1 + 59)))*(1-between(X,164,555)*between(Y,$(($1 + 4)),$(($1 + 55))))"; }
BOXES="$(frame 200)+$(frame 320)"
$FF -f lavfi -i "color=c=black:s=720x576,format=rgba,geq=r=255:g=255:b=0:a='255*($BOXES)'" -frames:v 1 hl.png
$FF -f lavfi -i "color=c=black:s=720x576,format=rgba,geq=r=255:g=0:b=0:a='255*($BOXES)'" -frames:v 1 sel.png
cat > spu.xml <<X
<subpictures><stream><spu start="00:00:00.00" force="yes" highlight="hl.png" select="sel.png">
 <button name="b1" x0="156" y0="196" x1="564" y1="264" down="b2"/>
 <button name="b2" x0="156" y0="316" x1="564" y1="384" up="b1"/>
</spu></stream></subpictures>
X
spumux -m dvd spu.xml < menu.mpg > menu_spu.mpg 2> spumux.log
cat > dvd.xml <<X
<dvdauthor dest="$OUT">
 <vmgm><fpc>jump titleset 1 menu;</fpc></vmgm>
 <titleset>
  <menus><video format="pal" aspect="4:3"/>
   <pgc entry="root">
    <button name="b1">jump title 1;</button>
    <button name="b2">jump title 2;</button>
    <vob file="menu_spu.mpg" pause="inf"/>
   </pgc></menus>
  <titles><video format="pal" aspect="4:3"/>
   <pgc><vob file="t1.mpg" chapters="$CH"/><post>call menu;</post></pgc>
   <pgc><vob file="t2.mpg" chapters="$CH"/><post>call menu;</post></pgc>
  </titles>
 </titleset>
</dvdauthor>
X
dvdauthor -x dvd.xml > dvdauthor.log 2>&1
cd / && rm -rf "$W"
