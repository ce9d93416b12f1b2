#!/usr/bin/env python3
# pty_pair.py LINK_A LINK_B LINK_HELD: two pseudo-terminals joined like a null-modem cable, and a
# third held by this program alone, linked where Wine maps COM ports. Runs until SIGTERM.
import fcntl
import os
import select
import sys
import termios
import tty


def pseudo_terminal(link, exclusive=False):
    master, slave = os.openpty()
    # Raw, which the master shares: no echo bouncing frames back, no CR/LF translation.
    tty.setraw(slave)
    if exclusive:
        fcntl.ioctl(slave, termios.TIOCEXCL)
    os.symlink(os.ttyname(slave), link)
    return master


a, b = pseudo_terminal(sys.argv[1]), pseudo_terminal(sys.argv[2])
held = pseudo_terminal(sys.argv[3], exclusive=True)
peer = {a: b, b: a}
while True:
    for master in select.select([a, b], [], [])[0]:
        try:
            data = os.read(master, 4096)
            while data:  # a terminal may take fewer bytes than it is given
                data = data[os.write(peer[master], data):]
        except OSError:
            pass
