#!/usr/bin/env python3
"""Two pseudo-terminals joined back to back, like a null-modem cable.

Each terminal gets a symbolic link at a fixed path, which the Wine prefix
maps to a COM port. Bytes written to one port come out of the other, so a
test program under Wine plays the badge reader on one port while Corvane
reads the other. Runs until SIGTERM; its pid goes to --pid-file once the
links exist.
"""
import argparse
import os
import select
import signal
import sys
import tty


def open_pty():
    master, slave = os.openpty()
    # Raw both ways: no echo bouncing frames back, no CR/LF translation.
    tty.setraw(master)
    tty.setraw(slave)
    return master, slave, os.ttyname(slave)


def replace_link(link, target):
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(target, link)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--links", nargs=2, required=True)
    parser.add_argument("--pid-file", required=True)
    args = parser.parse_args()

    ends = [open_pty(), open_pty()]
    for (_, _, name), link in zip(ends, args.links):
        replace_link(link, name)

    running = True

    def stop(_signum, _frame):
        nonlocal running
        running = False

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    with open(args.pid_file + ".tmp", "w") as pid_file:
        pid_file.write(f"{os.getpid()}\n")
    os.replace(args.pid_file + ".tmp", args.pid_file)

    peer = {ends[0][0]: ends[1][0], ends[1][0]: ends[0][0]}
    while running:
        try:
            readable, _, _ = select.select(list(peer), [], [])
        except InterruptedError:
            continue
        for master in readable:
            try:
                data = os.read(master, 4096)
            except OSError:
                continue
            if data:
                os.write(peer[master], data)
    for link in args.links:
        if os.path.islink(link):
            os.remove(link)
    return 0


if __name__ == "__main__":
    sys.exit(main())
