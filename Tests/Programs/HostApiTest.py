#!/usr/bin/env python3
"""The host's web API end to end: `orvida-livelink --http 127.0.0.1:0` in a temporary project, driven as the browser
will drive it.

Faults caught: a panel event that does not reach the panel's own handlers (the endpoint not repaired on commit, a
box not unticked, "Ok" making no source); a source the panel made that the client or the snapshot never sees, or
that is not removed; a source that cannot bind dropped from the list, or listed as if it received; a status that
claims datagrams before any came; a scene time written wrongly; a take started and stopped through the API that is
missing from the takes list or cannot be downloaded, a start the Take Recorder refuses answered as started or
without its reason, or a download that reaches outside the recorded takes; a settings change
that is not saved or does not survive a restart; a download compressed, which costs seconds and gains nothing over the
loopback; a malformed request that gets 2xx, the wrong 4xx, or stops the
host from serving; a settings edit that is written but never reaches the source (its subject keeps its name); two
sources of one subject name not said to share it, or still said to after a rename; a source whose connection string
or factory is not written into its settings (the panel's or the command line's), so that a preset cannot make it
again; a preset restored without the saved name and options, on another endpoint, or with the saved options of an
entry that holds none (base-class settings, SavedVersion 0) instead of the fixed ones; a malformed entry that makes
a source, stops the others, or is refused without naming the file and the fault; an event stream that sends nothing, or every tick instead of at most 30 a second; a shut-down
that destroys the sources while the server still runs, or does not end.
Usage: HostApiTest.py <path to orvida-livelink>"""
import http.client
import json
import pathlib
import re
import socket
import subprocess
import sys
import tempfile
import time

from HostProcess import HostProcess

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print(f"FAIL: {what}")
    return condition


class Host:
    def __init__(self, program, project, extra=()):
        self.process = HostProcess([program, "--project", project, "--http", "127.0.0.1:0", "--tick-rate", "120", "--countdown", "0", *extra],
                                   stderr=None)
        # Several lines may come in one read (a preset's sources before the serving line): HostProcess reads them on a
        # thread of its own rather than waiting on the pipe line by line.
        self.lines = self.process.lines
        found = self.process.wait_for_line(lambda line: re.match(r"serving http://127\.0\.0\.1:(\d+)$", line.strip()), 60)
        if not found:
            self.process.stop()
            raise RuntimeError(f"the host printed no serving line: {self.lines}")
        self.port = int(found.group(1))
        self.wait_for(lambda state: True, "the first snapshot")

    def request(self, method, path, body=None, raw=None):
        """(status, parsed JSON or the raw bytes) of one request on a connection of its own."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=60)
        data = raw if raw is not None else (json.dumps(body).encode() if body is not None else None)
        connection.request(method, path, body=data, headers={"Content-Type": "application/json"} if method != "GET" else {})
        response = connection.getresponse()
        content = response.read()
        connection.close()
        if response.getheader("Content-Type", "").startswith("application/json"):
            return response.status, json.loads(content)
        return response.status, content

    def state(self):
        status, state = self.request("GET", "/api/state")
        return state if status == 200 else None

    def wait_for(self, predicate, what):
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            state = self.state()
            if state is not None and predicate(state):
                return state
            time.sleep(0.05)
        check(False, f"waited in vain for {what}")
        return self.state()

    def stop(self):
        """The host's standard output after Ctrl-C, and its exit status."""
        _, status, out, _ = self.process.stop()
        return out, status


def widgets(tree):
    yield tree
    for child in tree["children"]:
        yield from widgets(child)


def panel_widgets(panel):
    """The endpoint's text box, the text and check boxes by the label beside them, and the button."""
    boxes = {}
    for widget in widgets(panel["root"]):
        kinds = [child["kind"] for child in widget["children"]]
        control = next((kind for kind in ("SCheckBox", "SEditableTextBox") if kind in kinds), None)
        if "STextBlock" in kinds and control:
            boxes[widget["children"][kinds.index("STextBlock")]["text"]] = widget["children"][kinds.index(control)]
    button = next(w for w in widgets(panel["root"]) if w["kind"] == "SButton")
    return boxes["Network Address:Port"], boxes, button


def open_panel(host):
    factory = host.state()["factories"][0]["name"]
    status, reply = host.request("POST", "/api/panels", {"factory": factory})
    check(status == 201, f"opening {factory}'s panel answered {status} {reply}")
    state = host.wait_for(lambda s: s["panel"] is not None and s["panel"]["id"] == reply["panel"], "the open panel in the state")
    return state["panel"]


def add_source(host, endpoint="127.0.0.1:0", subject=None):
    """A source made through the panel: a bad endpoint committed (the panel repairs it), then the endpoint, the subject's name when given, lens
    unticked, Ok."""
    panel = open_panel(host)
    text_box, boxes, button = panel_widgets(panel)
    events = f"/api/panels/{panel['id']}/events"
    status, reply = host.request("POST", events, {"widget": text_box["id"], "event": "text-committed", "value": "not an endpoint"})
    repaired = next(w for w in widgets(reply["panel"]["root"]) if w["id"] == text_box["id"])["text"] if status == 200 else None
    check(repaired == "0.0.0.0:9001", f"a bad endpoint committed reads {repaired!r} ({status}), not the panel's repair 0.0.0.0:9001")
    host.request("POST", events, {"widget": text_box["id"], "event": "text-committed", "value": endpoint})
    if subject is not None:
        host.request("POST", events, {"widget": boxes["Subject Name"]["id"], "event": "text-committed", "value": subject})
    host.request("POST", events, {"widget": boxes["Auto Lens Update"]["id"], "event": "check-changed", "value": False})
    status, reply = host.request("POST", events, {"widget": button["id"], "event": "click"})
    check(status == 201 and "source" in reply, f"Ok answered {status} {reply}, not a new source")
    return reply.get("source")


def message(frame, state):
    record = {"Location": [frame, 2, 3], "Timecode": [frame, 25, 1], "Metadata": ["Scene 4", "API", "7"], "State": state}
    return json.dumps({"OVDCamera": [record]}).encode()


def check_source_and_take(host):
    guid = add_source(host, subject="API Cam")
    state = host.wait_for(lambda s: any(src["guid"] == guid and src["status"] == "Waiting for data" for src in s["sources"]),
                          "the new source Waiting for data")
    names = [subject["name"] for subject in host.wait_for(lambda s: s["subjects"], "the new source's subject")["subjects"] if subject["source"] == guid]
    check(names == ["API Cam"], f"the source typed 'API Cam' in the panel publishes {names}")
    # The host offers its client to the plug-in as the editor's Live Link module does, so the panel can say so.
    panel = open_panel(host)
    subject_box = panel_widgets(panel)[1]["Subject Name"]
    status, reply = host.request("POST", f"/api/panels/{panel['id']}/events", {"widget": subject_box["id"], "event": "text-changed", "value": "API Cam"})
    notes = [w["text"] for w in widgets(reply["panel"]["root"]) if w["kind"] == "STextBlock" and "exists" in w["text"]] if status == 200 else []
    check(notes == ["A subject named 'API Cam' exists: the engine enables only one subject of a name."], f"the panel's notes for a name in use: {notes} ({status})")
    host.request("DELETE", f"/api/panels/{panel['id']}")
    source = next(src for src in state["sources"] if src["guid"] == guid)
    check(source["options"] == {"autoLens": False, "autoSceneTake": True, "autoRecord": False}, f"the source's options are {source['options']}")
    check(source["state"] == {"text": "Waiting for data", "severity": "notice"}, f"the new source's state is {source['state']}")
    port = int(source["endpoint"].split(":")[1])
    sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)

    # A slate the editor cannot name a take with: the start is refused, and the state says why before it is asked.
    check(host.request("PUT", "/api/take/metadata", {"slate": "API 7"})[0] == 200, "setting a slate with a space")
    refusal = host.wait_for(lambda s: "a space" in s["take"]["refusal"], "the refusal of a slate with a space in the state")["take"]["refusal"]
    status, reply = host.request("POST", "/api/take/start")
    check(status == 409 and reply.get("error") == refusal, f"starting a take with the slate 'API 7' answered {status} {reply}, not 409 {refusal!r}")
    check(host.request("PUT", "/api/take/metadata", {"slate": "API", "take": 7})[0] == 200, "setting the take metadata")
    check(host.request("POST", "/api/take/start") == (200, {"countdownSeconds": 0}), "starting a take")
    host.wait_for(lambda s: s["take"]["recording"] and s["take"]["refusal"] == "", "the take recording")
    frame = 250
    state = host.state()
    deadline = time.monotonic() + 60
    seen_receiving = False
    # Frame 250 at 25 frames a second is ten seconds in: 00:00:10:00, one frame on :01 and so on.
    while time.monotonic() < deadline and not (seen_receiving and any(s["frame"] and s["frame"]["sceneTime"].startswith("00:00:10:") for s in state["subjects"])):
        sender.sendto(message(frame, 0), ("127.0.0.1", port))
        frame += 1
        time.sleep(0.04)
        state = host.state()
        seen_receiving = seen_receiving or any(src["guid"] == guid and src["status"] == "Receiving" and src["state"]["text"].startswith("Receiving")
                                               and src["state"]["severity"] == "ok" for src in state["sources"])
    check(seen_receiving, "the source never read Receiving, with an ok state of the same word, while datagrams came")
    subject = next((s for s in state["subjects"] if s["frame"]), None)
    check(subject is not None and re.fullmatch(r"00:00:1\d:\d\d @ 25/1", subject["frame"]["sceneTime"]), f"the subject's scene time: {subject}")
    check(subject is not None and subject["enabled"] is True, f"the only subject of its name is enabled: {subject}")
    status, reply = host.request("POST", "/api/take/stop")
    check(status == 200, f"stopping the take answered {status} {reply}")
    state = host.wait_for(lambda s: any(t["file"] == "API_007.csv" for t in s["takes"]), "API_007.csv in the takes")
    take = next((t for t in state["takes"] if t["file"] == "API_007.csv"), {})
    check(take.get("frames", 0) > 0 and take.get("sizeBytes", 0) > 0, f"the take's frames and size: {take}")
    status, content = host.request("GET", "/api/takes/API_007.csv")
    check(status == 200 and content.startswith(b"# Slate: API, Take: 7"), f"downloading the take: {status} {str(content)[:60]}")
    # A browser offers brotli; the library's brotli costs seconds a file, so the host must answer uncompressed.
    connection = http.client.HTTPConnection("127.0.0.1", host.port, timeout=60)
    connection.request("GET", "/api/takes/API_007.csv", headers={"Accept-Encoding": "br, gzip, deflate"})
    response = connection.getresponse()
    check(response.getheader("Content-Encoding") is None and response.read() == content, f"the take sent with Content-Encoding {response.getheader('Content-Encoding')}")
    connection.close()
    check(host.request("POST", "/api/take/stop")[0] == 409, "a second stop is refused")
    return guid


def check_unbindable_source(host):
    """A source whose endpoint cannot be bound stays listed with its status until it is removed, as in the editor."""
    # 192.0.2.1 is a documentation address that no machine here has: the bind fails at once and nothing is sent.
    guid = add_source(host, "192.0.2.1:9001")
    state = host.wait_for(lambda s: any(src["guid"] == guid for src in s["sources"]), "the unbindable source in the state")
    source = next((src for src in state["sources"] if src["guid"] == guid), {})
    check(source.get("status") == "Device Not Found", f"the unbindable source reads {source.get('status')!r}")
    check(not any(subject["source"] == guid for subject in state["subjects"]), "the unbindable source has a subject")
    check(host.request("DELETE", f"/api/sources/{guid}")[0] == 200, "removing the unbindable source")


def check_refusals(host, project, guid):
    """Each malformed request gets its status, and the host keeps answering."""
    panel = open_panel(host)
    text_box, boxes, _ = panel_widgets(panel)
    events = f"/api/panels/{panel['id']}/events"
    config = pathlib.Path(project, "Config", "DefaultGame.ini")
    saved = config.read_text() if config.exists() else ""
    cases = [
        ("POST", "/api/panels", None, b"{not json", 400),
        ("POST", "/api/panels", {"factory": "NoSuchFactory"}, None, 404),
        ("POST", "/api/panels", {"source": "x"}, None, 400),
        ("POST", "/api/panels/999/events", {"widget": text_box["id"], "event": "click"}, None, 404),
        ("POST", events, {"widget": 999999, "event": "click"}, None, 404),
        ("POST", events, {"widget": text_box["id"], "event": "explode"}, None, 400),
        ("POST", events, {"widget": text_box["id"], "event": "click"}, None, 400),
        ("POST", events, {"widget": boxes["Auto Record"]["id"], "event": "check-changed", "value": "yes"}, None, 400),
        ("DELETE", "/api/panels/999", None, None, 404),
        ("DELETE", "/api/sources/no-such-source", None, None, 404),
        ("PUT", "/api/sources/no-such-source/settings", {"autoLens": True}, None, 404),
        ("PUT", f"/api/sources/{guid}/settings", {"SubjectName": "A"}, None, 400),
        ("PUT", f"/api/sources/{guid}/settings", {"autoLens": True, "autoRecord": "yes"}, None, 400),
        ("PUT", f"/api/sources/{guid}/settings", {"subjectName": ""}, None, 400),
        ("PUT", f"/api/sources/{guid}/settings", {"subjectName": "n" * 1024}, None, 400),
        ("PUT", f"/api/sources/{guid}/settings", {}, None, 400),
        ("POST", "/api/preset/save", {}, None, 409),
        ("POST", "/api/preset/load", {}, None, 409),
        ("PUT", "/api/settings", {"NoSuchKey": 1}, None, 400),
        ("PUT", "/api/settings", {"NetworkPortIdByDefault": 65536}, None, 400),
        ("PUT", "/api/settings", {"NetworkPortIdByDefault": -1}, None, 400),
        ("PUT", "/api/settings", {"NetworkServerAddressByDefault": "10.0.0"}, None, 400),
        ("PUT", "/api/settings", {"bAutoLens": "maybe"}, None, 400),
        ("PUT", "/api/settings", {"bAutoLens": False, "bAutoRecord": 2.5}, None, 400),
        ("PUT", "/api/settings", [1, 2], None, 400),
        ("PUT", "/api/settings", None, b'{"bAutoLens": ' + b" " * 70000 + b"true}", 413),
        ("PUT", "/api/take/metadata", {"take": 0}, None, 400),
        ("PUT", "/api/take/metadata", {"slate": 5}, None, 400),
        ("PUT", "/api/take/metadata", {"slate": "A\u0000B"}, None, 400),
        ("PUT", "/api/take/metadata", {"slate": "s" * 257}, None, 400),
        ("POST", "/api/take/panel", {"open": "yes"}, None, 400),
        ("GET", "/api/takes/..%2F..%2FConfig%2FDefaultGame.ini", None, None, 404),
        ("GET", "/api/takes/NoSuchTake.csv", None, None, 404),
        ("GET", "/api/panels", None, None, 405),
        ("DELETE", "/api/state", None, None, 405),
        ("POST", "/api/take/start/now", None, None, 404),
        ("GET", "/api/nothing", None, None, 404),
    ]
    for method, path, body, raw, expected in cases:
        status, reply = host.request(method, path, body, raw)
        has_error = isinstance(reply, dict) and isinstance(reply.get("error"), str) and reply["error"]
        check(status == expected and has_error, f"{method} {path} {body if raw is None else raw[:20]!r} answered {status} {reply}, not {expected} with an error")
        check(host.state() is not None, f"/api/state after {method} {path}")
    check((config.read_text() if config.exists() else "") == saved, "a refused settings change left the project's configuration as it was")
    host.request("DELETE", f"/api/panels/{panel['id']}")


def check_events(host):
    """Events arrive, and no more than about 30 a second although the host ticks 120 times a second."""
    connection = http.client.HTTPConnection("127.0.0.1", host.port, timeout=60)
    connection.request("GET", "/api/events")
    response = connection.getresponse()
    check(response.getheader("Content-Type", "").startswith("text/event-stream"), "the event stream's content type")
    events = 0
    start = time.monotonic()
    while time.monotonic() - start < 2.0:
        line = response.readline()
        if not line:
            break
        if line.startswith(b"data: "):
            events += 1
            check(events > 1 or "sources" in json.loads(line[6:]), "an event carries the snapshot")
    elapsed = time.monotonic() - start
    connection.close()
    check(events >= 2, f"{events} events in {elapsed:.2f} s")
    check(events <= 30 * elapsed * 1.25 + 2, f"{events} events in {elapsed:.2f} s: more than 30 a second")


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def source_of(state, guid):
    return next((source for source in state["sources"] if source["guid"] == guid), None)


def check_presets(program, project):
    """A preset saved from one host is restored by the next through --preset, entry by entry."""
    preset = pathlib.Path(project, "stage.json")
    port = free_udp_port()
    host = Host(program, project, ["--preset", str(preset), "--connect", f"127.0.0.1:{port}"])
    try:
        state = host.wait_for(lambda s: len(s["sources"]) == 1, "the --connect source")
        connected = state["sources"][0]["guid"]
        fixed_options = state["sources"][0]["options"]
        panel = add_source(host)
        state = host.wait_for(lambda s: len(s["sources"]) == 2, "the panel's source beside it")
        check(source_of(state, connected)["sameSubjectNameAs"] == [panel], f"two sources of one subject name: {state['sources']}")
        status, reply = host.request("PUT", f"/api/sources/{connected}/settings", {"subjectName": "B Cam", "autoRecord": True})
        check(status == 200, f"the settings edit answered {status} {reply}")
        state = host.wait_for(lambda s: any(subject["source"] == connected and subject["name"] == "B Cam" for subject in s["subjects"]),
                              "the subject published as B Cam")
        check(source_of(state, connected)["sameSubjectNameAs"] == [], "the renamed source still said to share its subject name")
        status, reply = host.request("POST", "/api/preset/save", {})
        check(status == 200 and reply.get("saved") == 2, f"saving the preset answered {status} {reply}")
    finally:
        host.stop()

    saved = json.loads(preset.read_text())
    factory = saved["sources"][0]["factory"]
    other_port = free_udp_port()
    base = {"guid": "0123456789ABCDEF0123456789ABCDEF", "factory": factory, "sourceType": "", "settingsClass": "/Script/LiveLinkInterface.LiveLinkSourceSettings",
            "settings": {"ConnectionString": f"127.0.0.1:{other_port}"}}
    before = dict(saved["sources"][0], guid="00000000000000000000000000000001", settings=dict(saved["sources"][0]["settings"], SavedVersion="0"))
    before["settings"]["ConnectionString"] = "127.0.0.1:0"
    malformed = dict(saved["sources"][1], guid="00000000000000000000000000000002", settings={"bAutoLens": "maybe"})
    saved["sources"] += [base, before, malformed]
    preset.write_text(json.dumps(saved))

    host = Host(program, project, ["--preset", str(preset)])
    try:
        state = host.wait_for(lambda s: len(s["sources"]) == 4, "the four good entries restored")
        restored = source_of(state, connected) or {}
        check(restored.get("settings", {}).get("subjectName") == "B Cam" and restored.get("settings", {}).get("autoRecord") is True,
              f"the restored source's settings: {restored.get('settings')}")
        check(restored.get("options", {}).get("autoRecord") is True and restored.get("endpoint") == f"127.0.0.1:{port}", f"the restored source: {restored}")
        check(source_of(state, panel) is not None, "the panel's source not restored")
        for guid, settings in ((base["guid"], None), (before["guid"], "Orvida - Camera")):
            entry = source_of(state, guid) or {}
            check(entry.get("options") == fixed_options and (entry.get("settings") or {}).get("subjectName") == settings,
                  f"an entry without the source's values restored {entry.get('options')} {entry.get('settings')}, not the fixed options {fixed_options}")
        check(source_of(state, malformed["guid"]) is None, "the malformed entry made a source")
        outcome = state["preset"]["lastOutcome"]
        check(str(preset) in outcome and "bAutoLens" in outcome, f"the malformed entry's refusal: {outcome!r}")
        host.wait_for(lambda s: any(subject["source"] == connected and subject["name"] == "B Cam" for subject in s["subjects"]), "B Cam published again")
        status, reply = host.request("POST", "/api/preset/save", {})
        strings = {entry["guid"]: entry["settings"]["ConnectionString"] for entry in json.loads(preset.read_text())["sources"]}
        check(strings.get(connected) == f"127.0.0.1:{port}" and strings.get(base["guid"]) == f"127.0.0.1:{other_port}",
              f"the connection strings saved again: {strings}")
    finally:
        host.stop()


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as project:
        host = Host(program, project)
        try:
            guid = check_source_and_take(host)
            check_unbindable_source(host)
            check_refusals(host, project, guid)
            check(not any(subject["source"] == guid and subject["name"] != "API Cam" for subject in host.state()["subjects"]),
                  "a refused settings edit renamed the subject")
            check_events(host)
            check(host.request("DELETE", f"/api/sources/{guid}")[0] == 200, "removing the source")
            host.wait_for(lambda s: not s["sources"], "the removed source gone from the state")
            status, reply = host.request("PUT", "/api/settings", {"NetworkPortIdByDefault": 9123, "bAutoRecord": True, "SubjectNameByDefault": "Stage Cam"})
            check(status == 200, f"saving settings answered {status} {reply}")
            config = pathlib.Path(project, "Config", "DefaultGame.ini")
            check(config.exists() and "NetworkPortIdByDefault=9123" in config.read_text(), "the port saved to Config/DefaultGame.ini")
            add_source(host)
        finally:
            output, code = host.stop()
        check(code == 0, f"the host exited with {code}")
        stopped, destroyed = output.find("web server stopped"), output.find("shut down and destroyed")
        check(0 <= stopped < destroyed, f"the server stopped before the source was destroyed:\n{output}")

        # The names given on the command line reach the panel's box, not the endpoint's, each of its own source.
        mismatch = subprocess.run([program, "--project", project, "--source", "127.0.0.1:0", "--subject", "A", "--subject", "B"], capture_output=True,
                                  text=True, timeout=20)
        check(mismatch.returncode == 2 and "2 --subject for 1 --source" in mismatch.stderr, f"two names for one source: {mismatch.returncode} {mismatch.stderr}")
        host = Host(program, project, ["--source", "127.0.0.1:0", "--source", "127.0.0.1:0", "--subject", "CLI Cam", "--subject", "CLI Cam 2"])
        try:
            settings = {s["key"]: s["value"] for s in host.state()["settings"]}
            check(settings.get("NetworkPortIdByDefault") == 9123 and settings.get("bAutoRecord") is True and settings.get("SubjectNameByDefault") == "Stage Cam",
                  f"the settings after a restart: {settings}")
            state = host.wait_for(lambda s: len(s["subjects"]) == 2, "the two --source's subjects")
            names = {subject["source"]: subject["name"] for subject in state["subjects"]}
            published = [names.get(source["guid"]) for source in state["sources"]]
            check(published == ["CLI Cam", "CLI Cam 2"], f"--subject 'CLI Cam' --subject 'CLI Cam 2' made sources that publish {published}")
            shown = panel_widgets(open_panel(host))[1]["Subject Name"]["text"]
            check(shown == "Stage Cam", f"a new panel's Subject Name reads {shown!r}, not the saved default 'Stage Cam'")
        finally:
            host.stop()
    # A project of its own: the one above now names new subjects "Stage Cam" by default.
    with tempfile.TemporaryDirectory() as project:
        check_presets(program, project)
    print("FAIL" if FAILURES else "PASS")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
