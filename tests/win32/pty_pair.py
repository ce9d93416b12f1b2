#!/usr/bin/env python3
"""Two pseudo-terminals joined back to back, like a null-modem cable:
    pty_pair.py LINK_A LINK_B PID_FILE
Each gets a symbolic link the Wine prefix maps to a COM port, so a test plays
the badge reader on one port while Corvane reads the other. Runs until
SIGTERM; its pid goes to PID_FILE once the links exist.
"""
import os
import select
import signal
import sys
import tty


def main(links, pid_path):
    masters = []
    for link in links:
        master, slave = os.openpty()
        # Raw both ways: no echo bouncing frames back, no CR/LF translation.
        tty.setraw(master)
        tty.setraw(slave)
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.ttyname(slave), link)
        masters.append(master)

    # Raising is what ends the loop: a handler that only sets a flag leaves
    # select() waiting, as Python retries it after the signal.
    for signum in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, lambda *_: sys.exit(0))
    with open(pid_path + ".tmp", "w") as pid_file:
        pid_file.write(f"{os.getpid()}\n")
    os.replace(pid_path + ".tmp", pid_path)

    peer = {masters[0]: masters[1], masters[1]: masters[0]}
    try:
        while True:
            for master in select.select(list(peer), [], [])[0]:
                try:
                    data = os.read(master, 4096)
                except OSError:
                    continue
                if data:
                    os.write(peer[master], data)
    finally:
        for link in links:
            if os.path.islink(link):
                os.remove(link)


if __name__ == "__main__":
    main(sys.argv[1:3], sys.argv[3])
