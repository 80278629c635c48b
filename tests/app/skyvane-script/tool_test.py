#!/usr/bin/env python3
"""Runs skyvane-script --console on script files with scripted standard input
and checks standard output, standard error and the exit status exactly.

usage: tool_test.py PATH_TO_SKYVANE_SCRIPT [plain|sanitized]

"sanitized" says the tool was built with sanitizers, which cannot run in a
limited address space: the runs under a memory limit are then left out.
"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from program_checks import Checks, run_without_display  # noqa: E402

TOOL = sys.argv[1]
SANITIZED = sys.argv[2:] == ["sanitized"]
# ulimit -v 400000: room for the tool, not for much of its input.
ADDRESS_SPACE_KB = 400000
MAX_INPUT_BYTES = 1 << 30
DEAD_DISPLAY = ":59321"  # no X server: no such socket, no such TCP port
USAGE_LINE = b"usage: skyvane-script [--console] [FILE]\n"


def run(args, stdin=b"", platform=None, env_changes=None, address_space_kb=None):
    # No display at all: --console must not need one.
    return run_without_display([TOOL] + args, stdin, platform, env_changes=env_changes,
                               address_space_kb=address_space_kb)


# (name, script bytes, standard input, stdout, stderr, exit status)
FILE_CASES = [
    ("texts and null are joined as they stand",
     b'["a", null, "b", ["c", 1.50]]', b"", b"anullbc1.5", b"", 0),
    ("an empty script writes nothing",
     b"[]", b"", b"", b"", 0),
    ("alert lines and input prompts go to standard error",
     b'[{"alert": {"message": "hello", "title": "T"}}, "a",'
     b' {"input": {"prompt": "Name?", "title": "Q", "default": "bob"}}, "|",'
     b' {"input": {"prompt": "again"}}]',
     b"alice\r\n",
     b"aalice|",
     b"[T] hello\n[Q] Name? (bob): [] again (): ", 0),
    ("only CR LF and LF end an answer; a CR at the end of the input is kept",
     b'[{"input": {"prompt": "1"}}, "|", {"input": {"prompt": "2"}}, "|",'
     b' {"input": {"prompt": "3"}}, "|", {"input": {"prompt": "4"}}]',
     b"a\r\nb\rc\n\r\nd\r", b"a|b\rc||d\r", b"[] 1 (): [] 2 (): [] 3 (): [] 4 (): ", 0),
    ("each input reads the next line; a last line without a line end counts",
     b'[{"input": {"prompt": "1"}}, "-", {"input": {"prompt": "2"}}, "-",'
     b' {"input": {"prompt": "3"}}, "-", {"input": {"prompt": "4"}}]',
     b"one\n\nthree", b"one--three-", b"[] 1 (): [] 2 (): [] 3 (): [] 4 (): ", 0),
    ("the end of input cancels, and cancel gives the empty text",
     b'[{"set": {"name": "v", "value": {"input": {"prompt": "p", "default": "d"}}}},'
     b' {"get": {"name": "v", "default": "cancelled"}}]',
     b"", b"cancelled", b"[] p (d): ", 0),
    ("UTF-8 passes through both ways",
     '["h\u00e9llo \u2603 \U0001F600", {"input": {"prompt": "\u00bf", "title": "\u00e9"}},'
     ' {"alert": {"message": "\u2603"}}]'.encode(),
     "r\u00e9ponse\n".encode(),
     "h\u00e9llo \u2603 \U0001F600r\u00e9ponse".encode(),
     "[\u00e9] \u00bf (): [] \u2603\n".encode(), 0),
    ("a byte-order mark is skipped",
     b'\xef\xbb\xbf["bom"]', b"", b"bom", b"", 0),
    ("an empty script shows the parser error and exits 1",
     b"", b"", b"", b"[Parser Error] Invalid JSON", 1),
    ("a malformed script runs nothing of itself",
     b'[{"alert": {"message": "never"}}, ', b"", b"",
     b"[Parser Error] Missing ']': essage\": \"never\"}}, \r\n", 1),
    ("an error loses the output and exits 3 after its line",
     b'["lost", {"alert": {"message": "shown"}}, 5]', b"", b"",
     b"[] shown\nskyvane-script: error 424: Item 3 of the script is a Decimal; it must be"
     b" a text, null, an object or an array.\n", 3),
    ("a top-level object is an error",
     b'{"return": "x"}', b"", b"",
     b"skyvane-script: error 424: A script must be a JSON array, not a Dictionary.\n", 3),
    ("a command without parameters is an error",
     b'[{"ALERT": "text"}]', b"", b"",
     b'skyvane-script: error 424: The command "ALERT" needs an object of parameters as its'
     b" value, not a String.\n", 3),
    ("nesting beyond the limit is output, not an error",
     b"[" + b"[" * 41 + b'"x"' + b"]" * 41 + b"]", b"",
     b"ERROR: Nesting level exceeded.", b"", 0),
]


def main():
    checks = Checks()
    check = checks.check

    with tempfile.TemporaryDirectory() as folder:
        for index, (name, script, stdin, out, err, status) in enumerate(FILE_CASES):
            path = os.path.join(folder, f"case{index}.json")
            with open(path, "wb") as f:
                f.write(script)
            check(name, run(["--console", path], stdin), (out, err, status))
            # The same script read from standard input: every input box then
            # meets the end of input, so only scripts without input compare.
            if b'"input"' not in script:
                check(name + " (standard input)", run(["--console"], script), (out, err, status))
                check(name + " (-)", run(["--console", "-"], script), (out, err, status))

        check("input on a script from standard input is cancelled",
              run(["--console"], b'[{"input": {"prompt": "p", "title": "t", "default": "d"}}, "!"]'),
              (b"!", b"[t] p (d): ", 0))

        # Without --console the same evaluation runs inside a Qt application.
        # (Qt may note its own set-up on standard error.)
        out, _, status = run([], b'["a", {"set": {"name": "v", "value": "b"}},'
                                 b' {"get": {"name": "v"}}]', platform="offscreen")
        check("without --console, a script that shows no box", (out, status), (b"ab", 0))

        missing = os.path.join(folder, "missing.json")
        check("a missing file", run(["--console", missing]),
              (b"", f"skyvane-script: cannot read {missing}: No such file or directory\n".encode(),
               2))
        check("a folder given as the script", run(["--console", folder]),
              (b"", f"skyvane-script: cannot read {folder}: Is a directory\n".encode(), 2))
        out, err, status = run(["--console", "--bogus"])
        check("an unknown option", (out, err.splitlines(keepends=True)[:2], status),
              (b"", [b"skyvane-script: unknown option --bogus\n", USAGE_LINE], 2))
        out, err, status = run(["--console", missing, missing])
        check("two files", (out, err.splitlines(keepends=True)[:2], status),
              (b"", [b"skyvane-script: only one FILE may be given\n", USAGE_LINE], 2))
        check("without --console and without a display",
              run([], b'["never read"]'),
              (b"", b"skyvane-script: no display for the dialog boxes (neither DISPLAY nor"
                    b" WAYLAND_DISPLAY is set); use --console to answer on the terminal\n", 2))
        check("without --console and with a display that cannot be opened",
              run([], b'["never read"]', env_changes={"DISPLAY": DEAD_DISPLAY}),
              (b"", b'skyvane-script: cannot open the display "' + DEAD_DISPLAY.encode() +
               b'" for the dialog boxes; use --console to answer on the terminal\n', 2))
        out, err, status = run(["--help"])
        check("help", (out.splitlines(keepends=True)[:1], err, status), ([USAGE_LINE], b"", 0))

        # An input over the limit is refused unread, and one that memory
        # cannot hold ends with a line, never with an abort.
        huge = os.path.join(folder, "huge.json")
        with open(huge, "wb") as f:
            f.truncate(MAX_INPUT_BYTES + 1)  # sparse: no room taken on the disk
        check("an input over the limit", run(["--console", huge]),
              (b"", f"skyvane-script: {huge} is larger than {MAX_INPUT_BYTES} bytes, the most"
                    " this program reads\n".encode(), 2))
        if not SANITIZED:
            check("an endless input in little memory",
                  run(["--console", "/dev/zero"], address_space_kb=ADDRESS_SPACE_KB),
                  (b"", b"skyvane-script: not enough memory to read /dev/zero\n", 2))

    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
