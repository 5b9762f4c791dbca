#!/usr/bin/env python3
"""Waits until a window program started with XDG_RUNTIME_DIR=FOLDER (a folder
of mode 0700) answers on its one-copy channel: it listens in FOLDER/TodayMirvo
and answers "forward" once its window, or a box of its start, is up and its
event loop runs. Exit 0 then, 1 when SECONDS pass first.

    window_ready.py FOLDER SECONDS
"""
import glob
import os
import socket
import sys
import time


def answers(path):
    try:
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
            s.settimeout(1.0)
            s.connect(path)
            s.sendall(b"forward\n")
            return b"forward" in s.recv(64)
    except OSError:
        return False


def main():
    folder, seconds = sys.argv[1], float(sys.argv[2])
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for path in glob.glob(os.path.join(folder, "TodayMirvo", "channel-*")):
            if answers(path):
                return 0
        time.sleep(0.05)
    return 1


if __name__ == "__main__":
    sys.exit(main())
