"""A loopback HTTPS server for the bench: answers every GET with one page, keeps
connections alive as a service does, and counts accepted connections, full TLS
handshakes and resumed sessions. Prints "PORT n" once listening; on SIGTERM prints
"connections C handshakes H resumed R"."""
import http.server, signal, socket, socketserver, ssl, sys, threading

cert, key, page = sys.argv[1], sys.argv[2], open(sys.argv[3], "rb").read()
counts = {"connections": 0, "handshakes": 0, "resumed": 0}
lock = threading.Lock()

class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    def setup(self):
        with lock:
            counts["connections"] += 1
        # Headers and body go out in separate writes: without this, Nagle's algorithm holds
        # the body until the client's delayed acknowledgement of the headers.
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.request.do_handshake()
        with lock:
            counts["resumed" if self.request.session_reused else "handshakes"] += 1
        super().setup()
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=UTF-8")
        self.send_header("Content-Length", str(len(page)))
        self.end_headers()
        self.wfile.write(page)
    def log_message(self, *args):
        pass

class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server = Server(("127.0.0.1", 0), Handler)
server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)

def stop(*_):
    print("connections {connections} handshakes {handshakes} resumed {resumed}".format(**counts), flush=True)
    sys.exit(0)
signal.signal(signal.SIGTERM, stop)
print("PORT", server.server_address[1], flush=True)
server.serve_forever()
