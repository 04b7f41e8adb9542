"""A real SMTP server for the tests: aiosmtpd on 127.0.0.1 and a free port.

Prints the port, then serves until its standard input ends. Every message is parsed with Python's
email package and written to OUTDIR as <n>.eml (as received), <n>.json (envelope, headers, parts)
and <n>-<i>.bin (the decoded payload of part i).
"""
import email
import json
import os
import socket
import sys
import warnings

from aiosmtpd.controller import Controller

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
    outdir = sys.argv[1]
    port = free_port()
    controller = Controller(Recorder(outdir), hostname="127.0.0.1", port=port,
                            data_size_limit=64 * 1024 * 1024)
    controller.start()
    print(port, flush=True)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
