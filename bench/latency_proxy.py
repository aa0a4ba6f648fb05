#!/usr/bin/env python3
"""A TCP listener that forwards to a Unix socket, each chunk held back by a
fixed delay in each direction: a database server across a network, for the
history benchmark. Prints the port it listens on, then serves until killed.

    latency_proxy.py --to-unix /tmp/x/.s.PGSQL.5432 --delay-ms 1
"""
import argparse
import asyncio


async def pump(reader, writer, delay):
    """Forwards each chunk `delay` after it arrived; chunks that follow each
    other closely stay close (a link with latency, not a slow one)."""
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def receive():
        try:
            while chunk := await reader.read(65536):
                queue.put_nowait((loop.time() + delay, chunk))
        except ConnectionError:
            pass
        queue.put_nowait((loop.time() + delay, b""))

    receiving = asyncio.create_task(receive())
    try:
        while True:
            due, chunk = await queue.get()
            await asyncio.sleep(max(0.0, due - loop.time()))
            if not chunk:
                break
            writer.write(chunk)
            await writer.drain()
    except ConnectionError:
        pass
    finally:
        receiving.cancel()
        writer.close()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--to-unix", required=True)
    parser.add_argument("--delay-ms", type=float, required=True, help="one way")
    args = parser.parse_args()
    delay = args.delay_ms / 1000.0

    async def serve(client_reader, client_writer):
        server_reader, server_writer = await asyncio.open_unix_connection(args.to_unix)
        await asyncio.gather(pump(client_reader, server_writer, delay),
                             pump(server_reader, client_writer, delay))

    server = await asyncio.start_server(serve, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


asyncio.run(main())
