#!/usr/bin/env python3
"""A local RDAP service, WHOIS service, registrar and DNS resolver on 127.0.0.1,
for trying a
build of the program that cannot use the test suite's C++ fakes (the Windows
build under Wine). Names that start with "taken" are taken, every other
name (a Chinese name too) is free to register; the resolver shows the taken
names delegated and knows no other. Prints "RDAP_PORT WHOIS_PORT
REGISTRAR_PORT DNS_PORT" once all listen, then serves until it is ended."""
from urllib.parse import unquote_plus

import http.server
import json
import socketserver
import struct
import sys
import threading


def is_free(name):
    return not name.lower().startswith("taken")


class RdapHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        prefix = "/domain/"
        if not self.path.startswith(prefix):
            self.send_error(400)
            return
        name = self.path[len(prefix):]
        if is_free(name):
            status, body = 404, {"errorCode": 404, "title": "Not Found"}
        else:
            status, body = 200, {"objectClassName": "domain", "ldhName": name}
        payload = json.dumps(body).encode()
        self.send_response(status)
        self.send_header("Content-Type", "application/rdap+json")
        self.send_header("Content-Length", str(len(payload)))
        self.end_headers()
        self.wfile.write(payload)

    def log_message(self, *args):
        pass


class RegistrarHandler(http.server.BaseHTTPRequestHandler):
    # Chinese words in GBK, as such services send them: reading the reply
    # needs the GB18030 decoder.
    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0))).decode("ascii")
        name = unquote_plus(body.removeprefix("domainName="))
        avail = "true" if is_free(name) else "false"
        payload = f'{{"avail":{avail},"msg":"{name} 查询成功"}}'.encode("gbk")
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(payload)))
        self.end_headers()
        self.wfile.write(payload)

    def log_message(self, *args):
        pass


class WhoisHandler(socketserver.StreamRequestHandler):
    # Replies as CNNIC words them: the smoke run asks it about .cn names.
    def handle(self):
        name = self.rfile.readline().decode("ascii", "replace").strip()
        if is_free(name):
            reply = "No matching record.\r\n"
        else:
            reply = (f"Domain Name: {name}\r\nDomain Status: ok\r\n"
                     "Sponsoring Registrar: 本地注册商\r\nRegistration Time: 2020-01-01 00:00:00\r\n")
        self.wfile.write(reply.encode("utf-8"))


class DnsHandler(socketserver.BaseRequestHandler):
    # Answers an NS query: two name servers for a taken name, NXDOMAIN else.
    def handle(self):
        query, sock = self.request
        labels, at = [], 12
        while query[at]:
            labels.append(query[at + 1:at + 1 + query[at]].decode("ascii"))
            at += 1 + query[at]
        question = query[12:at + 5]
        (ident,) = struct.unpack(">H", query[:2])
        taken = not is_free(".".join(labels))
        answers = b""
        for server in (b"ns1", b"ns2"):
            target = bytes([len(server)]) + server + b"\x07example\x00"
            answers += struct.pack(">HHHIH", 0xC00C, 2, 1, 300, len(target)) + target
        flags = 0x8180 if taken else 0x8183
        header = struct.pack(">HHHHHH", ident, flags, 1, 2 if taken else 0, 0, 0)
        sock.sendto(header + question + (answers if taken else b""), self.client_address)


class QuietAboutLeavers:
    # A run stopped by Ctrl+C leaves in the middle of a reply: no fault here.
    def handle_error(self, request, client_address):
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


class ThreadingHttp(QuietAboutLeavers, socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


class ThreadingTcp(QuietAboutLeavers, socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    rdap = ThreadingHttp(("127.0.0.1", 0), RdapHandler)
    whois = ThreadingTcp(("127.0.0.1", 0), WhoisHandler)
    registrar = ThreadingHttp(("127.0.0.1", 0), RegistrarHandler)
    dns = socketserver.ThreadingUDPServer(("127.0.0.1", 0), DnsHandler)
    servers = (rdap, whois, registrar, dns)
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    print(*(server.server_address[1] for server in servers), flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
