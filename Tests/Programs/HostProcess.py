"""orvida-livelink as a child process for the program tests: its standard output collected line by line on a
thread of its own, bounded waits on it, and Ctrl-C to end it."""
import signal
import subprocess
import threading
import time


class HostProcess:
    def __init__(self, arguments, stderr=subprocess.PIPE):
        self.process = subprocess.Popen(arguments, stdout=subprocess.PIPE, stderr=stderr, text=True)
        # extend appends each line as it is read, so other threads see the lines so far.
        self.lines = []
        self.reader = threading.Thread(target=lambda: self.lines.extend(self.process.stdout), daemon=True)
        self.reader.start()

    def wait_for(self, condition, seconds=30):
        """The first true result of condition(), polled until the bounded wait ends; None after it."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if result := condition():
                return result
            time.sleep(0.05)
        return None

    def wait_for_line(self, test, seconds=30):
        """The first true result of test over the lines so far and to come; None after the bounded wait."""
        return self.wait_for(lambda: next((result for line in list(self.lines) if (result := test(line))), None), seconds)

    def stop(self):
        """Ctrl-C, then a kill when the host has not ended in 30 s: (whether it ended by itself, its status, its
        standard output, its standard error or "" when not piped)."""
        self.process.send_signal(signal.SIGINT)
        ended = True
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            ended = False
        self.reader.join(timeout=10)
        err = self.process.stderr.read() if self.process.stderr else ""
        return ended, self.process.returncode, "".join(self.lines), err
