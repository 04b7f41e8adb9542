"""Writes the MIME message that postrel sends for one base64 attachment, already encoded, so that
curl can upload the same bytes: make_message.py FILE OUT."""
import base64
import os
import sys

BOUNDARY = "==========_080815456==_"
src, out = sys.argv[1], sys.argv[2]
name = os.path.basename(src)
with open(out, "wb") as f:
    f.write(("From: bench@example.org\r\nTo: sink@example.org\r\nSubject: Benchmark\r\n"
             "MIME-Version: 1.0\r\n"
             f"Content-Type: multipart/mixed; boundary=\"{BOUNDARY}\"\r\n\r\n"
             f"--{BOUNDARY}\r\nContent-Type: text/plain; charset=\"us-ascii\"\r\n\r\n\r\n"
             f"The attachment follows.\r\n\r\n--{BOUNDARY}\r\n"
             f"Content-Type: application/octet-stream; name=\"{name}\"\r\n"
             "Content-Transfer-Encoding: base64\r\n"
             f"Content-Disposition: attachment; filename=\"{name}\"\r\n\r\n").encode())
    with open(src, "rb") as s:
        while True:
            chunk = s.read(54 * 20000)
            if not chunk:
                break
            for i in range(0, len(chunk), 54):
                f.write(base64.b64encode(chunk[i:i + 54]) + b"\r\n")
    f.write(f"\r\n--{BOUNDARY}--\r\n".encode())
