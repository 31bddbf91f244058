#!/usr/bin/python3
# A screen reader's view of quietus, through AT-SPI (pyatspi), for e2e-linux.sh:
#   a11y-reader.py tree             prints the program's windows and controls, one a line, indented:
#                                   ROLE "NAME" [description "..."] [default] [focused]
#   a11y-reader.py listen LOG       appends the program's window and object events to LOG as
#                                   "EVENT DETAIL1 ROLE "NAME"", and "listening" once it listens
# Both read the accessibility bus that AT_SPI_BUS_ADDRESS names (else the session bus's).
import sys
import time

import pyatspi

APP = "QuietusMachine"
# What a screen reader hears when a window opens or a text changes.
EVENTS = ["window:activate", "object:state-changed:showing", "object:state-changed:focused",
          "object:property-change:accessible-name", "object:text-changed"]


def quote(text):
    return '"' + (text or "").replace("\n", "\\n") + '"'


def application():
    for _ in range(50):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == APP:
                return app
        time.sleep(0.1)
    sys.exit(f"no application {APP} on the accessibility bus")


def describe(acc):
    line = f"{acc.getRoleName()} {quote(acc.name)}"
    if acc.description:
        line += f" description {quote(acc.description)}"
    states = acc.getState()
    if states.contains(pyatspi.STATE_IS_DEFAULT):
        line += " default"
    if states.contains(pyatspi.STATE_FOCUSED):
        line += " focused"
    return line


def tree(acc, depth=0):
    print("  " * depth + describe(acc))
    for child in acc:
        if child is not None:
            tree(child, depth + 1)


def listen(log):
    out = open(log, "a", buffering=1)

    def heard(event):
        try:
            if event.host_application is None or event.host_application.name != APP:
                return
            source = event.source
            out.write(f"{event.type} {event.detail1} {source.getRoleName()} {quote(source.name)}\n")
        except Exception as error:  # an object gone before it was read
            out.write(f"{event.type} unreadable {error}\n")

    pyatspi.Registry.registerEventListener(heard, *EVENTS)
    out.write("listening\n")
    pyatspi.Registry.start()


def main():
    if sys.argv[1:2] == ["tree"]:
        for window in application():
            if window is not None:
                tree(window)
    elif sys.argv[1:2] == ["listen"] and len(sys.argv) == 3:
        listen(sys.argv[2])
    else:
        sys.exit(__doc__ or "usage: a11y-reader.py tree | listen LOG")


if __name__ == "__main__":
    main()
