"""What a journey asks the X server itself: which windows exist, whether
they are mapped, where they are, which has the keyboard focus, who owns a
selection and what the screen shows. Nothing here sends input: keys and
clicks go through xdotool (XTest), as a person's do."""
import ctypes
import ctypes.util

_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

_Display = ctypes.c_void_p
_Window = ctypes.c_ulong
_Atom = ctypes.c_ulong


class _WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", _Window), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class _Image(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
                ("obdata", ctypes.c_void_p), ("create_image", ctypes.c_void_p),
                ("destroy_image", ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p))]


def _declare(name, restype, *argtypes):
    f = getattr(_x11, name)
    f.restype = restype
    f.argtypes = list(argtypes)
    return f


_open = _declare("XOpenDisplay", _Display, ctypes.c_char_p)
_close = _declare("XCloseDisplay", ctypes.c_int, _Display)
_root = _declare("XDefaultRootWindow", _Window, _Display)
_intern = _declare("XInternAtom", _Atom, _Display, ctypes.c_char_p, ctypes.c_int)
_owner = _declare("XGetSelectionOwner", _Window, _Display, _Atom)
_tree = _declare("XQueryTree", ctypes.c_int, _Display, _Window, ctypes.POINTER(_Window), ctypes.POINTER(_Window),
                 ctypes.POINTER(ctypes.POINTER(_Window)), ctypes.POINTER(ctypes.c_uint))
_free = _declare("XFree", ctypes.c_int, ctypes.c_void_p)
_attributes = _declare("XGetWindowAttributes", ctypes.c_int, _Display, _Window, ctypes.POINTER(_WindowAttributes))
_translate = _declare("XTranslateCoordinates", ctypes.c_int, _Display, _Window, _Window, ctypes.c_int, ctypes.c_int,
                      ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(_Window))
_property = _declare("XGetWindowProperty", ctypes.c_int, _Display, _Window, _Atom, ctypes.c_long, ctypes.c_long,
                     ctypes.c_int, _Atom, ctypes.POINTER(_Atom), ctypes.POINTER(ctypes.c_int),
                     ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                     ctypes.POINTER(ctypes.c_void_p))
_focus = _declare("XGetInputFocus", ctypes.c_int, _Display, ctypes.POINTER(_Window), ctypes.POINTER(ctypes.c_int))
_pointer = _declare("XQueryPointer", ctypes.c_int, _Display, _Window, ctypes.POINTER(_Window), ctypes.POINTER(_Window),
                    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_uint))
_image = _declare("XGetImage", ctypes.POINTER(_Image), _Display, _Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                  ctypes.c_uint, ctypes.c_ulong, ctypes.c_int)

# A window may go between two requests about it (a dialog closing): the
# request fails with BadWindow, which must not end the test as Xlib's
# default handler would.
_ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, _Display, ctypes.c_void_p)
_ignore_errors = _ErrorHandler(lambda display, event: 0)
_declare("XSetErrorHandler", ctypes.c_void_p, _ErrorHandler)(_ignore_errors)

_IS_VIEWABLE = 2
_ZPIXMAP = 2
_ANY_PROPERTY_TYPE = 0


class Display:
    def __init__(self, name):
        self._display = _open(name.encode())
        if not self._display:
            raise RuntimeError("cannot open display " + name)
        self._root = _root(self._display)

    @property
    def root(self):
        return self._root

    def close(self):
        if self._display:
            _close(self._display)
            self._display = None

    def _atom(self, name):
        return _intern(self._display, name.encode(), 0)

    def selection_owner(self, selection):
        """The window owning the selection (WM_S0, _NET_SYSTEM_TRAY_S0), 0 when none does."""
        return _owner(self._display, self._atom(selection))

    def _children(self, window):
        root, parent = _Window(), _Window()
        children, count = ctypes.POINTER(_Window)(), ctypes.c_uint()
        if not _tree(self._display, window, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                     ctypes.byref(count)):
            return []
        found = [children[i] for i in range(count.value)]
        if children:
            _free(children)
        return found

    def _text(self, window, name):
        kind, fmt, count, after = _Atom(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        if _property(self._display, window, self._atom(name), 0, 1024, 0, _ANY_PROPERTY_TYPE, ctypes.byref(kind),
                     ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after), ctypes.byref(data)) != 0:
            return None
        if not data:
            return None
        text = ctypes.string_at(data, count.value) if fmt.value == 8 else b""
        _free(data)
        return text.decode("utf-8", "replace")

    def cardinals(self, window, name):
        """A property of 32-bit numbers (_NET_FRAME_EXTENTS), or None."""
        kind, fmt, count, after = _Atom(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        if _property(self._display, window, self._atom(name), 0, 64, 0, _ANY_PROPERTY_TYPE, ctypes.byref(kind),
                     ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after), ctypes.byref(data)) != 0:
            return None
        if not data:
            return None
        # Xlib hands 32-bit items over as C longs.
        values = list(ctypes.cast(data, ctypes.POINTER(ctypes.c_long))[:count.value]) if fmt.value == 32 else None
        _free(data)
        return values

    def atom(self, name):
        return self._atom(name)

    def title(self, window):
        text = self._text(window, "_NET_WM_NAME")
        return text if text is not None else self._text(window, "WM_NAME")

    def windows(self, title):
        """Every window titled so, at any depth (a window manager reparents clients into frames)."""
        found, pending = [], [self._root]
        while pending:
            window = pending.pop()
            for child in self._children(window):
                if self.title(child) == title:
                    found.append(child)
                pending.append(child)
        return found

    def mapped(self, window):
        """Whether the window and all its ancestors are mapped: it is on the screen."""
        attributes = _WindowAttributes()
        return bool(_attributes(self._display, window, ctypes.byref(attributes))) and \
            attributes.map_state == _IS_VIEWABLE

    def geometry(self, window):
        """(x, y, width, height) of the window on the screen, without the frame."""
        attributes = _WindowAttributes()
        if not _attributes(self._display, window, ctypes.byref(attributes)):
            return None
        x, y, child = ctypes.c_int(), ctypes.c_int(), _Window()
        _translate(self._display, window, self._root, 0, 0, ctypes.byref(x), ctypes.byref(y), ctypes.byref(child))
        return x.value, y.value, attributes.width, attributes.height

    def focus(self):
        window, revert = _Window(), ctypes.c_int()
        _focus(self._display, ctypes.byref(window), ctypes.byref(revert))
        return window.value

    def pointer(self):
        """Where the mouse pointer is on the screen: (x, y)."""
        root, child = _Window(), _Window()
        x, y, wx, wy, mask = ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_uint()
        _pointer(self._display, self._root, ctypes.byref(root), ctypes.byref(child), ctypes.byref(x), ctypes.byref(y),
                 ctypes.byref(wx), ctypes.byref(wy), ctypes.byref(mask))
        return x.value, y.value

    def pixels(self, x, y, width, height):
        """What the screen shows in the rectangle: rows of (red, green, blue)."""
        image = _image(self._display, self._root, x, y, width, height, 0xFFFFFFFF, _ZPIXMAP)
        if not image:
            return None
        try:
            im = image.contents
            if im.bits_per_pixel != 32:
                raise RuntimeError("a 32-bit screen is expected, not %d bits" % im.bits_per_pixel)
            raw = ctypes.string_at(im.data, im.bytes_per_line * im.height)
            order = "little" if im.byte_order == 0 else "big"
            masks = [(m, (m & -m).bit_length() - 1) for m in (im.red_mask, im.green_mask, im.blue_mask)]
            rows = []
            for row in range(im.height):
                start = row * im.bytes_per_line
                values = (int.from_bytes(raw[i:i + 4], order) for i in range(start, start + 4 * im.width, 4))
                rows.append([tuple((v & m) >> shift for m, shift in masks) for v in values])
            return rows
        finally:
            image.contents.destroy_image(ctypes.cast(image, ctypes.c_void_p))
