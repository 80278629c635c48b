"""A loopback HTTP server that answers the way faulty or hostile weather
services do, for the tests that run the real panel program against it.

    server = HostileServer(mode, payload)   # starts listening at once
    url = server.url
    ...
    server.close()

Modes (one answer per connection, whatever the request):
  "endless-chunked"  a 200 whose chunked body never ends
  "endless-raw"      a 200 with no length and no chunks whose body never ends
  "gzip-bomb"        a 200 with Content-Encoding gzip whose few megabytes
                     unpack to several gigabytes
  "cut-close"        `payload` without any length, then the connection is closed
  "cut-reset"        `payload` without any length, then the connection is reset
  "cut-gzip"         `payload` gzipped, the compressed stream cut in half, and
                     the connection closed
  "status"           `payload` is (status line, body): that answer, with its
                     Content-Length
  "redirect"         a 302 whose Location is `payload`
"""
import gzip
import socket
import struct
import threading
import zlib

BLOCK = b"[" * 65536
BOMB_UNPACKED_GIB = 4


def make_gzip_bomb():
    """Gzip data that unpacks to BOMB_UNPACKED_GIB GiB of "[" in a few MiB.
    One MiB is deflated once with its history cut behind it, so that its
    compressed block stands alone and can be repeated; the gzip trailer
    carries the true check sum and length."""
    mib = b"[" * (1 << 20)
    z = zlib.compressobj(9, zlib.DEFLATED, -15)
    block = z.compress(mib) + z.flush(zlib.Z_FULL_FLUSH)
    count = BOMB_UNPACKED_GIB * 1024
    crc = 0
    for _ in range(count):
        crc = zlib.crc32(mib, crc)
    final_empty_block = b"\x03\x00"
    header = b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03"
    trailer = struct.pack("<II", crc, (count * len(mib)) & 0xFFFFFFFF)
    return header + block * count + final_empty_block + trailer


class HostileServer:
    def __init__(self, mode, payload=None):
        self.mode = mode
        self.payload = payload
        self.bomb = make_gzip_bomb() if mode == "gzip-bomb" else None
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(8)
        self.url = f"http://127.0.0.1:{self.sock.getsockname()[1]}/api"
        self.sent = 0
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def close(self):
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()

    def _serve(self):
        while True:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            threading.Thread(target=self._answer, args=(conn,), daemon=True).start()

    def _answer(self, conn):
        try:
            head = b""
            while b"\r\n\r\n" not in head:
                data = conn.recv(4096)
                if not data:
                    return
                head += data
            getattr(self, "_" + self.mode.replace("-", "_"))(conn)
        except OSError:
            pass  # the client went away: that is how every endless answer ends
        finally:
            conn.close()

    def _send(self, conn, data):
        conn.sendall(data)
        self.sent += len(data)

    def _endless_chunked(self, conn):
        self._send(conn, b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
        chunk = b"%x\r\n" % len(BLOCK) + BLOCK + b"\r\n"
        while True:
            self._send(conn, chunk)

    def _endless_raw(self, conn):
        self._send(conn, b"HTTP/1.0 200 OK\r\n\r\n")
        while True:
            self._send(conn, BLOCK)

    def _gzip_bomb(self, conn):
        self._send(conn, b"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: %d\r\n"
                   b"Connection: close\r\n\r\n" % len(self.bomb))
        self._send(conn, self.bomb)

    def _cut_close(self, conn):
        self._send(conn, b"HTTP/1.0 200 OK\r\n\r\n" + self.payload)

    def _cut_reset(self, conn):
        self._send(conn, b"HTTP/1.0 200 OK\r\n\r\n" + self.payload)
        conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))

    def _cut_gzip(self, conn):
        packed = gzip.compress(self.payload)
        self._send(conn, b"HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\n\r\n"
                   + packed[:len(packed) // 2])

    def _status(self, conn):
        status, body = self.payload
        self._send(conn, b"HTTP/1.1 " + status + b"\r\nContent-Length: %d\r\n"
                   b"Connection: close\r\n\r\n" % len(body) + body)

    def _redirect(self, conn):
        self._send(conn, b"HTTP/1.1 302 Found\r\nLocation: " + self.payload
                   + b"\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
