#!/bin/sh
# The driver module needs no toolkit: none of GTK, GLib, GObject, Pango, cairo, GDK
# or the X libraries is among the libraries it needs (its dialogs come from a module
# of their own).
set -eu
driver=$1
needed=$(readelf -d "$driver" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
if [ -z "$needed" ]; then
  echo "$driver: no NEEDED entries read" >&2
  exit 1
fi
toolkit=$(printf '%s\n' "$needed" | grep -iE '^lib(gtk|gdk|glib|gobject|gio|gmodule|gthread|pango|cairo|harfbuzz|atk|x11|xcb|xext|xi|xrender|xrandr|xfixes|xcursor|xinerama|xcomposite|xdamage|wayland)' || true)
if [ -n "$toolkit" ]; then
  echo "$driver needs toolkit libraries:" $toolkit >&2
  exit 1
fi
echo "no toolkit needed:" $needed
