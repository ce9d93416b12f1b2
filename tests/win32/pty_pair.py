#!/usr/bin/env python3
# Two pseudo-terminals joined back to back, like a null-modem cable:
#   pty_pair.py LINK_A LINK_B
# each with a symbolic link, LINK_B last, that the Wine prefix maps to a COM
# port, so a test plays the badge reader on one port while Corvane reads the
# other. Runs until SIGTERM; whoever starts it removes the links.
import os
import select
import sys
import tty


def write_all(fd, data):
    # A write to a terminal may take fewer bytes than it is given.
    while data:
        data = data[os.write(fd, data):]


masters = []
for link in sys.argv[1:3]:
    master, slave = os.openpty()
    # Raw both ways: no echo bouncing frames back, no CR/LF translation.
    tty.setraw(master)
    tty.setraw(slave)
    os.symlink(os.ttyname(slave), link)
    masters.append(master)
peer = {masters[0]: masters[1], masters[1]: masters[0]}
while True:
    for master in select.select(masters, [], [])[0]:
        try:
            write_all(peer[master], os.read(master, 4096))
        except OSError:
            pass
