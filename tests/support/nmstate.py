#!/usr/bin/python3
"""Puts the NetworkManager mock (python3-dbusmock's template, on the session
bus of $DBUS_SESSION_BUS_ADDRESS) into a state for a test:

  nmstate.py connect TYPE   a device and an active primary connection of
                            that type (gsm, 802-3-ethernet, ...); prints the
                            active connection's path
  nmstate.py drop           the primary connection goes away, NetworkManager
                            reports disconnected
"""
import sys
import uuid

import dbus

NM = "org.freedesktop.NetworkManager"
NM_PATH = "/org/freedesktop/NetworkManager"
MOCK = "org.freedesktop.DBus.Mock"


def set_primary(mock, path):
    # The template has no PrimaryConnection; the mock's own API adds it.
    try:
        mock.SetProperty(NM_PATH, NM, "PrimaryConnection", dbus.ObjectPath(path))
    except dbus.exceptions.DBusException:
        mock.AddProperty(NM, "PrimaryConnection", dbus.ObjectPath(path))


def main():
    bus = dbus.SessionBus()
    nm = bus.get_object(NM, NM_PATH)
    mock = dbus.Interface(nm, MOCK)
    if sys.argv[1] == "connect":
        kind = sys.argv[2]
        device = mock.AddEthernetDevice("dev0", "ppp0", 100)
        values = {"connection": {"id": kind, "type": kind, "uuid": str(uuid.uuid4())}}
        settings = dbus.Interface(bus.get_object(NM, NM_PATH + "/Settings"), NM + ".Settings")
        connection = settings.AddConnection(dbus.Dictionary(
            {k: dbus.Dictionary(v, signature="sv") for k, v in values.items()}, signature="sa{sv}"))
        active = mock.AddActiveConnection([device], connection, "/", "primary", dbus.UInt32(2))
        set_primary(mock, active)
        mock.SetGlobalConnectionState(dbus.UInt32(70))
        print(active)
    elif sys.argv[1] == "drop":
        set_primary(mock, "/")
        mock.SetGlobalConnectionState(dbus.UInt32(20))
    else:
        sys.exit("unknown command")


if __name__ == "__main__":
    main()
