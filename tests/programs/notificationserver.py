#!/usr/bin/env python3
"""A desktop notification server for the tests of mirvo-today --notify.

It owns org.freedesktop.Notifications on the session bus, lists the
capabilities it is given, writes every Notify call as one JSON line to the
record file, and then, by its mode:
  invoke  chooses the default action (when there is one) and closes it,
  close   closes the notification as expired,
  ignore  does nothing (the caller's wait has to run out).
It writes the ready file once the name is its own, and ends on SIGTERM.
"""
import argparse
import json
import signal

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
ANSWER_DELAY_MS = 100


def plain(value):
    """A D-Bus value as JSON, with the D-Bus type of a variant kept beside it."""
    if isinstance(value, (dbus.Array, list)):
        return [plain(v) for v in value]
    if isinstance(value, (dbus.Dictionary, dict)):
        return {str(k): {"type": type(v).__name__, "value": plain(v)} for k, v in value.items()}
    if isinstance(value, (dbus.String, str)):
        return str(value)
    if isinstance(value, dbus.Boolean):
        return bool(value)
    return int(value)


class Server(dbus.service.Object):
    def __init__(self, bus, capabilities, mode, record):
        super().__init__(bus, PATH)
        self.capabilities = capabilities
        self.mode = mode
        self.record = record
        self.last_id = 0

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return self.capabilities

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("test server", "TodayMirvo tests", "1", "1.2")

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout):
        self.last_id += 1
        nid = self.last_id
        call = {
            "id": nid,
            "app_name": plain(app_name),
            "replaces_id": plain(replaces_id),
            "app_icon": plain(app_icon),
            "summary": plain(summary),
            "body": plain(body),
            "actions": plain(actions),
            "hints": plain(hints),
            "expire_timeout": plain(expire_timeout),
        }
        with open(self.record, "a", encoding="utf-8") as f:
            f.write(json.dumps(call, ensure_ascii=False) + "\n")
        if self.mode == "invoke" and "default" in [str(a) for a in actions[0::2]]:
            GLib.timeout_add(ANSWER_DELAY_MS, self.invoke, nid)
        elif self.mode in ("invoke", "close"):
            GLib.timeout_add(ANSWER_DELAY_MS, self.expire, nid)
        return nid

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, nid):
        self.NotificationClosed(nid, 3)

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, nid, action_key):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, nid, reason):
        pass

    def invoke(self, nid):
        self.ActionInvoked(nid, "default")
        self.NotificationClosed(nid, 2)
        return False

    def expire(self, nid):
        self.NotificationClosed(nid, 1)
        return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--capabilities", default="body")
    parser.add_argument("--mode", choices=["invoke", "close", "ignore"], default="invoke")
    parser.add_argument("--record", required=True)
    parser.add_argument("--ready", required=True)
    args = parser.parse_args()

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    capabilities = [c for c in args.capabilities.split(",") if c]
    server = Server(bus, capabilities, args.mode, args.record)
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    open(args.ready, "w").close()
    loop.run()
    del name, server


if __name__ == "__main__":
    main()
