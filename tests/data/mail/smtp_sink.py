# A loopback SMTP server for the mail tests: every message it accepts is stored as
# NNN.eml (the bytes as received), NNN.rcpt (envelope recipients, one a line) and
# NNN.from. It prints its port once listening and stops when its standard input closes.
import asyncio
import os
import sys

try:
    from aiosmtpd.smtp import SMTP
except ImportError:
    print("NOAIOSMTPD", flush=True)
    sys.exit(0)

folder = sys.argv[1]


class Store:
    def __init__(self):
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(folder, "%03d" % self.count)
        with open(base + ".rcpt", "w") as f:
            f.write("\n".join(envelope.rcpt_tos) + "\n")
        with open(base + ".from", "w") as f:
            f.write(envelope.mail_from + "\n")
        with open(base + ".tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".tmp", base + ".eml")
        return "250 OK"


async def main():
    loop = asyncio.get_running_loop()
    handler = Store()
    server = await loop.create_server(lambda: SMTP(handler), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await loop.run_in_executor(None, sys.stdin.read)
    server.close()


asyncio.run(main())
