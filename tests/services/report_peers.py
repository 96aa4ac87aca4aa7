"""Loopback peers for the report service tests: a finger responder, the data servers' line and
framed protocols, anonymous FTP (pyftpdlib, active mode) and hostile servers.

usage: report_peers.py MODE PORT [FOLDER]
"""
import socket
import sys
import threading
import time

STX, ETX = b"\x02", b"\x03"

FINGER_LIST = (
    "DATE-(UTC)-TIME    LAT      LON     DEP   MAG  Q  COMMENTS\n"
    "03/12/22 19:15:56  35.70N  121.10W    7.6 6.5 Mw A  CENTRAL CALIFORNIA\n"
    "04/09/28 17:15:24  35.81N  120.37W    7.9 6.0 Mw B  PARKFIELD\n"
)


def read_until(conn, end, limit=4096):
    data = b""
    while not data.endswith(end) and len(data) < limit:
        chunk = conn.recv(1)
        if not chunk:
            break
        data += chunk
    return data


def finger(conn):
    query = read_until(conn, b"\r\n").decode("latin-1").strip()
    conn.sendall(("[query %s]\n" % query).encode() + FINGER_LIST.encode())


def line_server(conn):
    request = read_until(conn, b"\n").decode("latin-1").strip()
    lines = ["DATE,TIME,LAT,LON,DEPTH,MAG,TYPE,AGENCY", "# " + request,
             "2003/12/22,19:15:56.3,35.7,-121.1,7.6,6.5,Mw,NC",
             "2004/09/28,17:15:24.0,35.81,-120.37,7.9,6.0,Mw,NC", "."]
    if "ERROR" in request:
        lines = ["ERROR no data for this query"]
    for line in lines:
        conn.sendall(line.encode() + b"\n")
        if len(line) >= 3 and not line.startswith("ERROR"):
            if conn.recv(2) != b"OK":
                return


def framed_message(command, value=""):
    return STX + ("%-9.9s" % command).encode() + value.encode() + ETX


def read_framed(conn):
    data = read_until(conn, ETX)
    return data.lstrip(STX)[:-1].decode("latin-1")


def framed_server(conn):
    got = []
    for reply in ("MINMAGOK", "SDOK", "STOPDATE"):
        got.append(read_framed(conn))
        conn.sendall(framed_message(reply))
    got.append(read_framed(conn))
    records = ["DATE,TIME,LAT,LON,DEPTH,MAG,TYPE,AGENCY\r\n# " + "|".join(got) + "\n",
               "2003/12/22,19:15:56.3,35.7,-121.1,7.6,6.5,Mw,NC\n",
               "2003/12/22,19:15:56.3,35.7,-121.1,7.6,6.5,Mw,NC\n",
               "2004/09/28,17:15:24.0,35.81,-120.37,7.9,6.0,Mw,NC\n"]
    for record in records:
        conn.sendall(STX + record.encode() + ETX)
        if not read_framed(conn).startswith("OKAY"):
            return
    conn.sendall(STX + ETX)


def stall(conn):
    conn.sendall(b"HTTP/1.0 200 OK\r\n\r\npartial line")
    time.sleep(30)


def endless(conn):
    block = b"x" * 65536
    try:
        while True:
            conn.sendall(block)
    except OSError:
        pass


def reset(conn):
    read_until(conn, b"\r\n\r\n")
    conn.sendall(b"HTTP/1.0 200 OK\r\n\r\n" + b"y" * 5000)
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
    conn.close()


def garbage(conn):
    conn.sendall(bytes(range(256)) * 64)


def serve(handler, port):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(8)
    while True:
        conn, _ = server.accept()

        def run(c=conn):
            try:
                handler(c)
            except OSError:
                pass
            finally:
                c.close()

        threading.Thread(target=run, daemon=True).start()


def ftp(port, folder):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.disable(logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(folder)
    handler = FTPHandler
    handler.authorizer = authorizer
    FTPServer(("127.0.0.1", port), handler).serve_forever()


if __name__ == "__main__":
    mode, port = sys.argv[1], int(sys.argv[2])
    if mode == "ftp":
        ftp(port, sys.argv[3])
    else:
        serve({"finger": finger, "line": line_server, "framed": framed_server, "stall": stall,
               "endless": endless, "reset": reset, "garbage": garbage}[mode], port)
