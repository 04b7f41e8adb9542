"""A real SMTP server for the tests: aiosmtpd on 127.0.0.1 and a free port.

Usage: aiosmtpd_server.py OUTDIR [--cert PEM --key PEM [--starttls | --implicit]]
                                [--auth USER:PASSWORD [--login-only]]
--starttls offers STARTTLS and requires it; --implicit speaks TLS from the first byte; --auth
requires a login with these credentials (over TLS only when TLS is on); --login-only offers AUTH
LOGIN without PLAIN.

Prints the port, then serves until its standard input ends. Every message is parsed with Python's
email package and written to OUTDIR as <n>.eml (as received), <n>.json (envelope, headers, parts)
and <n>-<i>.bin (the decoded payload of part i).
"""
import argparse
import email
import json
import os
import socket
import ssl
import sys
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

warnings.simplefilter("ignore", DeprecationWarning)  # the uu module behind x-uuencode


class Recorder:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        n = self.count
        self.count += 1
        content = envelope.original_content or envelope.content
        with open(os.path.join(self.outdir, f"{n}.eml"), "wb") as f:
            f.write(content)
        msg = email.message_from_bytes(content)
        summary = {
            "helo": session.host_name,
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "headers": [[k, str(v)] for k, v in msg.items()],
            "multipart": msg.is_multipart(),
            "defects": [type(d).__name__ for d in msg.defects],
            "parts": [],
        }
        parts = msg.get_payload() if msg.is_multipart() else [msg]
        for i, part in enumerate(parts):
            payload = part.get_payload(decode=True) or b""
            name = f"{n}-{i}.bin"
            with open(os.path.join(self.outdir, name), "wb") as f:
                f.write(payload)
            summary["parts"].append({
                "content_type": part.get_content_type(),
                "filename": part.get_filename(),
                "encoding": part.get("Content-Transfer-Encoding"),
                "file": name,
                "defects": [type(d).__name__ for d in part.defects],
            })
        with open(os.path.join(self.outdir, f"{n}.json"), "w") as f:
            json.dump(summary, f, indent=1)
        # The same facts as tab-separated lines, easy to read from C++.
        lines = [("helo", summary["helo"]), ("mail_from", summary["mail_from"])]
        lines += [("rcpt", r) for r in summary["rcpt_tos"]]
        lines += [("header", f"{k}: {v}") for k, v in summary["headers"]]
        lines.append(("multipart", str(summary["multipart"])))
        lines += [("defect", d) for d in summary["defects"]]
        for p in summary["parts"]:
            lines.append(("part", f'{p["content_type"]}|{p["filename"]}|{p["encoding"]}|{p["file"]}'))
            lines += [("defect", d) for d in p["defects"]]
        with open(os.path.join(self.outdir, f"{n}.txt"), "w") as f:
            for key, value in lines:
                f.write(f"{key}\t{value}\n")
        return "250 Message accepted for delivery"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("outdir")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--starttls", action="store_true")
    parser.add_argument("--implicit", action="store_true")
    parser.add_argument("--auth")
    parser.add_argument("--login-only", action="store_true")
    args = parser.parse_args()

    options = {"data_size_limit": 64 * 1024 * 1024}
    if args.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
        if args.implicit:
            options["ssl_context"] = context
        else:
            options["tls_context"] = context
            options["require_starttls"] = args.starttls
    if args.auth:
        user, password = args.auth.split(":", 1)

        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = auth_data.login == user.encode() and auth_data.password == password.encode()
            return AuthResult(success=ok, handled=False)  # a refusal is answered with 535

        options["authenticator"] = authenticator
        options["auth_required"] = True
        # With TLS from the first byte the server cannot tell that TLS is on; the test makes sure it is.
        options["auth_require_tls"] = bool(args.cert) and not args.implicit
        if args.login_only:
            options["auth_exclude_mechanism"] = ["PLAIN"]

    port = free_port()
    controller = Controller(Recorder(args.outdir), hostname="127.0.0.1", port=port, **options)
    controller.start()
    print(port, flush=True)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
