#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Tells whether the X server shows a mouse cursor where the pointer is: prints "shown" or "hidden".

Usage: cursor_shown.py (DISPLAY names the server). A program hides the cursor by giving its window a cursor
without a visible pixel, so the XFixes image of the current cursor is read and its alpha looked at.
Needs libX11 and libXfixes.
"""
import ctypes
import ctypes.util
import sys


class CursorImage(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_short),
        ("y", ctypes.c_short),
        ("width", ctypes.c_ushort),
        ("height", ctypes.c_ushort),
        ("xhot", ctypes.c_ushort),
        ("yhot", ctypes.c_ushort),
        ("cursor_serial", ctypes.c_ulong),
        ("pixels", ctypes.POINTER(ctypes.c_ulong)),  # ARGB, one per unsigned long
        ("atom", ctypes.c_ulong),
        ("name", ctypes.c_char_p),
    ]


def load(name):
    path = ctypes.util.find_library(name)
    if path is None:
        sys.exit(f"cursor_shown.py: lib{name} not found")
    return ctypes.CDLL(path)


def main():
    xlib = load("X11")
    xfixes = load("Xfixes")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xlib.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                            ctypes.POINTER(ctypes.c_int)]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]

    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("cursor_shown.py: cannot open the display")
    event_base, error_base = ctypes.c_int(), ctypes.c_int()
    if not xfixes.XFixesQueryExtension(display, ctypes.byref(event_base), ctypes.byref(error_base)):
        sys.exit("cursor_shown.py: the server has no XFixes extension")
    image = xfixes.XFixesGetCursorImage(display)
    if not image:
        sys.exit("cursor_shown.py: no cursor image")
    cursor = image.contents
    count = cursor.width * cursor.height
    visible = any((cursor.pixels[index] >> 24) & 0xFF for index in range(count))
    xlib.XFree(image)
    xlib.XCloseDisplay(display)
    print("shown" if visible else "hidden")


if __name__ == "__main__":
    main()
