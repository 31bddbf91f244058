#!/usr/bin/python3
# Orca, the screen reader, for e2e-linux.sh: reads the desktop's accessibility bus as a blind user's
# Orca does and writes every utterance to a file instead of a voice:
#   orca-speech.py PREFS LOG    Orca with its settings in the folder PREFS (made when missing)
#                               appends "SPEECH OUTPUT: 'TEXT'" to LOG for each utterance, the
#                               first being its own "Screen reader on." once it listens
# Speech, braille and sound are off, so no speech-dispatcher, synthesiser or sound device is
# involved and nothing can wait on one; what Orca would say is what its speech module logs (the
# log Orca's own regression tests read), utterance by utterance, before any voice would get it.
# Orca's launcher (/usr/bin/orca) refuses to start while another Orca of the same user runs,
# whatever its desktop; desktops side by side each need their own, so this starts Orca's main
# loop directly.
import logging
import sys


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: orca-speech.py PREFS LOG")
    prefs, log = sys.argv[1:3]
    handler = logging.FileHandler(log, encoding="utf-8")
    handler.setFormatter(logging.Formatter("%(message)s"))
    logging.getLogger("speech").addHandler(handler)

    from orca import orca  # after the handler: the speech log is made on import

    manager = orca.getSettingsManager()
    # Speech on with no speech server: Orca says everything it would, to its log only.
    manager.activate(prefs, {"enableSpeech": True, "speechServerFactory": "", "enableBraille": False,
                             "enableSound": False})
    sys.path.insert(0, manager.getPrefsDir())
    return orca.main()


if __name__ == "__main__":
    sys.exit(main())
