"""What the tests that run the built programs share: running a program with
no display at all, and counting the checks that fail."""
import os
import resource
import subprocess

# Seconds any one run of a program may take before the test fails.
RUN_TIME_LIMIT = 60


def for_x_client(env):
    """`env` for a program that talks to an X server. Under AddressSanitizer,
    libxkbcommon-x11 copies the server's key names with strndup from buffers
    that hold no terminating NUL, which is correct but trips the strict
    string check, so that check is turned off (as x_session.bash does)."""
    env = dict(env)
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "").replace(
        "strict_string_checks=1", "strict_string_checks=0")
    return env


def run_without_display(command, stdin=b"", platform=None, text=False, env_changes=None,
                        address_space_kb=None):
    """Runs `command` with DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM removed
    (QT_QPA_PLATFORM set to `platform` when given) and the variables of
    `env_changes` set (removed where the value is None), its address space
    limited to `address_space_kb` KiB when given (as by ulimit -v); returns
    its standard output, standard error and exit status."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    if platform:
        env["QT_QPA_PLATFORM"] = platform
    for name, value in (env_changes or {}).items():
        if value is None:
            env.pop(name, None)
        else:
            env[name] = value
    limit = None
    if address_space_kb:
        def limit():
            size = address_space_kb * 1024
            resource.setrlimit(resource.RLIMIT_AS, (size, size))
    done = subprocess.run(command, input=None if text else stdin, capture_output=True,
                          env=env, timeout=RUN_TIME_LIMIT, text=text, preexec_fn=limit)
    return done.stdout, done.stderr, done.returncode


class Checks:
    """Compares results with what they should be and reports every mismatch."""

    def __init__(self):
        self.failures = 0

    def check(self, name, got, want):
        if got != want:
            self.failures += 1
            print(f"FAIL {name}\n  got:  {got!r}\n  want: {want!r}")

    def finish(self):
        """Prints the summary; returns the exit status for the test."""
        print(f"{self.failures} failure(s)" if self.failures else "all checks passed")
        return 1 if self.failures else 0
