#!/usr/bin/env python3
"""Small X11 client for the real-window test: screenshots of a window and a window manager's close request.

Usage:
  xwindow.py shot WINDOW OUT.png           writes the window's picture as PNG
  xwindow.py pixel WINDOW X Y              prints the pixel at (X, Y) of the window as RRGGBB
  xwindow.py geometry WINDOW               prints WIDTH HEIGHT of the window
  xwindow.py close WINDOW                  sends WM_DELETE_WINDOW, as a window manager's close button does
"""
import ctypes
import ctypes.util
import struct
import sys
import zlib

xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormaps_installed", ctypes.c_int),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XGetImage.restype = ctypes.POINTER(XImage)
xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                           ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
xlib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
xlib.XInternAtom.restype = ctypes.c_ulong
xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                            ctypes.POINTER(XEvent)]
xlib.XFlush.argtypes = [ctypes.c_void_p]
xlib.XFree.argtypes = [ctypes.c_void_p]
xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]

ALL_PLANES = (1 << 64) - 1 if ctypes.sizeof(ctypes.c_ulong) == 8 else (1 << 32) - 1
Z_PIXMAP = 2
CLIENT_MESSAGE = 33


def open_display():
    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("xwindow: cannot open the display")
    return display


def geometry(display, window):
    attrs = XWindowAttributes()
    if not xlib.XGetWindowAttributes(display, window, ctypes.byref(attrs)):
        sys.exit("xwindow: no such window")
    return attrs.width, attrs.height


def grab(display, window):
    """The window's pixels as rows of (r, g, b) bytes."""
    width, height = geometry(display, window)
    image = xlib.XGetImage(display, window, 0, 0, width, height, ALL_PLANES, Z_PIXMAP)
    if not image:
        sys.exit("xwindow: cannot read the window's picture")
    img = image.contents
    if img.bits_per_pixel != 32:
        sys.exit("xwindow: only 32-bit visuals are read")
    raw = ctypes.string_at(img.data, img.bytes_per_line * height)
    rows = []
    for y in range(height):
        line = raw[y * img.bytes_per_line: y * img.bytes_per_line + width * 4]
        # Little-endian 0x00RRGGBB words: bytes B, G, R, pad.
        row = bytearray(width * 3)
        row[0::3] = line[2::4]
        row[1::3] = line[1::4]
        row[2::3] = line[0::4]
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


def send_close(display, window):
    event = XEvent()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = window
    event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.l[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    event.xclient.l[1] = 0  # CurrentTime
    xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    xlib.XFlush(display)


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    command, window = argv[1], int(argv[2], 0)
    display = open_display()
    if command == "shot" and len(argv) == 4:
        width, height, rows = grab(display, window)
        write_png(argv[3], width, height, rows)
    elif command == "pixel" and len(argv) == 5:
        x, y = int(argv[3]), int(argv[4])
        width, height, rows = grab(display, window)
        if not (0 <= x < width and 0 <= y < height):
            sys.exit("xwindow: pixel outside the window")
        print(rows[y][x * 3: x * 3 + 3].hex().upper())
    elif command == "geometry":
        print(*geometry(display, window))
    elif command == "close":
        send_close(display, window)
    else:
        sys.exit(__doc__)
    xlib.XCloseDisplay(display)


if __name__ == "__main__":
    main(sys.argv)
