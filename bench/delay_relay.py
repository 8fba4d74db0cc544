#!/usr/bin/env python3
"""TCP relay for the download benchmark: every chunk is passed on DELAY_MS
after it arrived, in each direction, so each round trip (TLS handshakes
included) costs twice that, as on a real network.  Chunks are delayed, not
throttled: a burst arrives as fast as it left, DELAY_MS later.

usage: delay_relay.py DELAY_MS UPSTREAM_PORT_FILE
Prints its own port on the first line.  The upstream port is the second word
of UPSTREAM_PORT_FILE (bench_shop's output), read at each new connection.
"""
import asyncio
import sys
import time


async def pump(reader, writer, delay):
    queue = asyncio.Queue()

    async def deliver():
        while True:
            due, data = await queue.get()
            if data is None:
                break
            wait = due - time.monotonic()
            if wait > 0:
                await asyncio.sleep(wait)
            writer.write(data)
            await writer.drain()
        writer.close()

    sender = asyncio.ensure_future(deliver())
    try:
        while True:
            data = await reader.read(256 * 1024)
            if not data:
                break
            queue.put_nowait((time.monotonic() + delay, data))
    except ConnectionError:
        pass
    queue.put_nowait((0, None))
    try:
        await sender
    except ConnectionError:
        pass


async def main():
    delay = float(sys.argv[1]) / 1000
    port_file = sys.argv[2]

    async def handle(client_reader, client_writer):
        with open(port_file) as f:
            upstream = int(f.read().split()[1])
        try:
            up_reader, up_writer = await asyncio.open_connection("127.0.0.1", upstream)
        except OSError:
            client_writer.close()
            return
        await asyncio.gather(pump(client_reader, up_writer, delay),
                             pump(up_reader, client_writer, delay))

    server = await asyncio.start_server(handle, "127.0.0.1", 0, backlog=256)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    try:
        asyncio.run(main())
    except KeyboardInterrupt:
        pass
