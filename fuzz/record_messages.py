#!/usr/bin/env python3
"""Records perceptor messages from the bundled simulator for the seed corpus
of the whole-think-cycle fuzz target.

    fuzz/record_messages.py TOVRA_SIM OUTPUT_DIR [PORT]

Starts TOVRA_SIM in lockstep with two robots of one team (numbers 9 and 10)
and one opponent, drives them through the play modes over the control
channel (before the kick-off, beamed, play on with the ball close, a
teammate's say, lying on the back, a goal) and writes one message that
robot 9 received in each situation to OUTPUT_DIR, one file per message.
"""

import os
import socket
import struct
import subprocess
import sys
import time


def send(sock, text):
    data = text.encode()
    sock.sendall(struct.pack(">I", len(data)) + data)


def receive(sock):
    head = b""
    while len(head) < 4:
        chunk = sock.recv(4 - len(head))
        if not chunk:
            raise EOFError("server closed")
        head += chunk
    (length,) = struct.unpack(">I", head)
    body = b""
    while len(body) < length:
        chunk = sock.recv(length - len(body))
        if not chunk:
            raise EOFError("server closed")
        body += chunk
    return body.decode(errors="replace")


def connect(port):
    for _ in range(100):
        try:
            return socket.create_connection(("127.0.0.1", port))
        except OSError:
            time.sleep(0.05)
    raise RuntimeError("simulator not reachable on port %d" % port)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sim, out = sys.argv[1], sys.argv[2]
    port = int(sys.argv[3]) if len(sys.argv) > 3 else 3957
    os.makedirs(out, exist_ok=True)
    server = subprocess.Popen(
        [sim, "--lockstep", "--port", str(port), "--control-port", str(port + 1),
         "--automatic-kickoff", "--kickoff-wait", "1", "--max-steps", "2000"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        record(port, out)
    finally:
        server.terminate()
        server.wait()


def record(port, out):
    robots = [(9, "KALDA"), (10, "KALDA"), (1, "OTHER")]
    socks = [connect(port) for _ in robots]
    control = connect(port + 1)

    def command(text):
        send(control, text)
        return receive(control)

    def save(name, text):
        with open(os.path.join(out, name), "w") as f:
            f.write(text)

    for s in socks:
        send(s, "(scene rsg/agent/nao/nao.rsg)")
    first = [receive(s) for s in socks]
    save("before_init", first[0])
    for s, (unum, team) in zip(socks, robots):
        send(s, "(init (unum %d)(teamname %s))" % (unum, team))

    seen = {}
    for n in range(1000):
        msgs = [receive(s) for s in socks]
        replies = ["(syn)", "(syn)", "(syn)"]
        mine = msgs[0]
        if "(pm BeforeKickOff)" in mine and "(See" in mine and "before_kickoff" not in seen:
            seen["before_kickoff"] = mine
            replies[0] = "(beam -2 1 0)"
            command("(place right 1 0 1.5 180)")
        elif ("before_kickoff" in seen and "standing_seeing" not in seen and "(See" in mine
              and "(B " in mine and "(P " in mine):
            seen["standing_seeing"] = mine
            command("(playMode PlayOn)")
            command("(ball -1.7 1.1 0.042)")
            replies[1] = "(say pass9)"
        elif "(hear" in mine and "hear_teammate" not in seen:
            seen["hear_teammate"] = mine
        elif ("hear_teammate" in seen and "playon_ball_close" not in seen
              and "(pm PlayOn)" in mine and "(See" in mine and "(B " in mine):
            seen["playon_ball_close"] = mine
            command("(pose left 9 -2 1 0.06 0.7071 0.7071 0 0)")
        elif "playon_ball_close" in seen and "lying_back" not in seen and "(ACC" in mine:
            values = mine.split("(ACC", 1)[1].split("(a ", 1)[1].split(")", 1)[0].split()
            if float(values[1]) > 7:
                seen["lying_back"] = mine
                command("(playMode Goal_Left)")
        elif "(pm Goal_Left)" in mine and "goal_left" not in seen:
            seen["goal_left"] = mine
        for s, reply in zip(socks, replies):
            send(s, reply)
        if len(seen) == 6:
            break
    for name, text in seen.items():
        save(name, text)
    missing = {"before_kickoff", "standing_seeing", "hear_teammate", "playon_ball_close",
               "lying_back", "goal_left"} - set(seen)
    if missing:
        print("not recorded:", ", ".join(sorted(missing)))
    command("(stop)")


if __name__ == "__main__":
    main()
