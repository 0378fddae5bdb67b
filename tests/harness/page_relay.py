"""The page relay (page_relay.mjs) as a scenario drives it: real pages of the bundle in
headless chromium, opened by the programs' WebView2 test double under Wine.

    with Scenario("uninstall_ui", pages=True) as s:          # starts the relay; s.pages is it
        running = s.start(exe)                                # the double of each process connects
        page = s.pages.wait_page("uninstall.html")            # the first such page not yet taken
        page.wait_message("page", {"cmd": "get_install_state"})
        page.click("role=button[name='Continue Uninstall']")  # any Playwright selector
        page.screenshot("feedback")                           # evidence/<scenario>/NN-feedback.png
        page.wait_message("host", {"channel": "installer://terminal"})
        page.close_window()                                   # as the close box: WM_CLOSE to the host

Selectors are Playwright's ("#id", "text=...", "role=button[name='...']"). Messages are
matched as in the double's scripts: a dict is a subset of the parsed message, a string a
substring of its JSON text; each wait_message takes the next match after the previous one of
the same sender. Every call has a time-out and fails with an AssertionError naming the page.
"""
import json
import select
import socket
import subprocess
from pathlib import Path

HERE = Path(__file__).resolve().parent
START_TIMEOUT = 60
ACTION_TIMEOUT = 10
MARGIN = 15  # beyond the relay's own time-out, for an answer still on its way


class PageRelay:
    def __init__(self, prefix, evidence, proxy=None):
        """proxy: the vendor stand-in's address, which then receives the pages' own posts."""
        self.evidence = Path(evidence)
        self.evidence.mkdir(parents=True, exist_ok=True)
        self.log_path = self.evidence / "relay.log"
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(["node", str(HERE / "page_relay.mjs"), "--prefix", str(prefix),
                                          "--evidence", str(self.evidence), *(["--proxy", proxy] if proxy else [])],
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=log)
        port = self._read_port()
        self.address = f"127.0.0.1:{port}"
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=START_TIMEOUT)
        self.reader = self.sock.makefile("r", encoding="utf-8")
        self.next_id = 0
        self._send({"op": "driver"})

    def _read_port(self):
        # The relay prints one line once chromium runs and the port listens.
        ready, _, _ = select.select([self.proc.stdout], [], [], START_TIMEOUT)
        line = self.proc.stdout.readline() if ready else b""
        if line:
            return json.loads(line)["port"]
        self.stop()
        raise RuntimeError(f"the page relay did not start: {self.log_path.read_text(errors='replace')[-2000:]}")

    def _send(self, obj):
        self.sock.sendall((json.dumps(obj) + "\n").encode())

    def request(self, op, timeout, **fields):
        """One request to the relay; its result, or an AssertionError with the relay's text."""
        self.next_id += 1
        self._send({"id": self.next_id, "op": op, "timeout_ms": int(timeout * 1000), **fields})
        self.sock.settimeout(timeout + MARGIN)
        answer = {}
        # Answers to earlier requests that were given up on may still come first.
        while (answer.get("id") or 0) < self.next_id:
            try:
                line = self.reader.readline()
            except socket.timeout:
                raise AssertionError(f"the page relay did not answer {op} within {timeout + MARGIN} s")
            if not line:
                raise AssertionError(f"the page relay went away during {op}: see {self.log_path}")
            answer = json.loads(line)
        if "error" in answer:
            raise AssertionError(answer["error"])
        return answer["result"]

    def wait_page(self, name, timeout=60):
        """The first page of that name not yet taken, once loaded (a navigation opens one)."""
        found = self.request("wait_page", timeout, name=name)
        return RelayPage(self, found["page"], name, found["pid"], found["url"])

    def stop(self):
        if self.proc.poll() is None:
            self.proc.stdin.close()  # the relay closes its browser and ends
            try:
                self.proc.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=10)


class RelayPage:
    def __init__(self, relay, page_id, name, pid, url):
        self.relay, self.id, self.name, self.pid, self.url = relay, page_id, name, pid, url

    def __repr__(self):
        return f"RelayPage({self.name}, pid {self.pid})"

    def _request(self, op, timeout=ACTION_TIMEOUT, **fields):
        return self.relay.request(op, timeout, page=self.id, **fields)

    # -- what a person does ------------------------------------------------------------------
    def click(self, selector, timeout=ACTION_TIMEOUT):
        self._request("click", timeout, selector=selector)

    def fill(self, selector, text, timeout=ACTION_TIMEOUT):
        self._request("fill", timeout, selector=selector, text=text)

    def press(self, selector, key, timeout=ACTION_TIMEOUT):
        self._request("press", timeout, selector=selector, key=key)

    def close_window(self):
        """As a person clicking the host window's close box."""
        self._request("close_window")

    # -- what a person sees ------------------------------------------------------------------
    def wait_for(self, selector, state="visible", timeout=ACTION_TIMEOUT):
        self._request("wait_for", timeout, selector=selector, state=state)

    def text(self, selector, timeout=ACTION_TIMEOUT):
        return self._request("text", timeout, selector=selector)

    def evaluate(self, expression):
        return self._request("evaluate", expression=expression)

    def screenshot(self, name):
        """Saves NN-<name>.png into the scenario's evidence; returns its path."""
        return Path(self._request("screenshot", 30, name=name))

    def wait_closed(self, timeout=ACTION_TIMEOUT):
        """Until the host has left the page (closed the webview, navigated again) or its process
        has gone; returns which."""
        return self._request("wait_closed", timeout)

    # -- what passed between page and host ----------------------------------------------------
    def wait_message(self, sender, match, timeout=ACTION_TIMEOUT):
        """The next message from "page" or "host" that matches, as a parsed object."""
        return self._request("wait_message", timeout, sender=sender, match=match)["data"]

    def messages(self):
        """[(sender, parsed message)] in the order they passed."""
        return [(m["sender"], json.loads(m["json"])) for m in self._request("messages")]

    def requests(self):
        """The page's own web requests (answered 200 {} by the relay, or by the vendor stand-in
        when it is the browser's proxy): method, url, body."""
        return self._request("requests")

    def resources(self):
        """What the host served of a page it serves from memory (the document, its styles,
        scripts, images...), in the order asked: url, context (the runtime's resource context,
        1 for the document) and status, or answered False when no handler put a response."""
        return self._request("resources")

    def errors(self):
        """Uncaught errors of the page's scripts."""
        return self._request("errors")
