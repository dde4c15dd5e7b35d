#!/usr/bin/env python3
"""Kills an update at many moments and checks that nothing is lost.

An update of many small and a few large files, with backups, is run silently and killed, each time
at another moment: right after its n-th "Replacing" or "Backing up" line reaches the log, or after a
random delay. After every kill each product file must be whole, the old version or the new one, and
every backup whole, the old version. Then the same update runs again to its end: every product file
must be new, and the backup folder must hold every old version, also of the files that the killed
run had replaced. Prints the counts and exits 1 when any check failed.

Used by bench/kill_runs.sh (which passes the tools) and, with few kills, by the end-to-end suite.
"""

import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import time

KILLS = int(os.environ.get('KILLS', '60'))
SMALL = int(os.environ.get('SMALL_FILES', '200'))
LARGE = int(os.environ.get('LARGE_FILES', '8'))
LARGE_SIZE = int(os.environ.get('LARGE_SIZE', str(6 << 20)))
SEED = int(os.environ.get('SEED', '20261211'))
wine_run, omnipack, work = sys.argv[1:4]


def winpath(path):
    return 'Z:' + path.replace('/', '\\')


def content(rng, size, text):
    if text:
        words = [bytes(rng.choice(b'abcdefghij') for _ in range(rng.randint(2, 8))) for _ in range(300)]
        out = bytearray()
        while len(out) < size:
            out += b' '.join(rng.choice(words) for _ in range(12)) + b'\r\n'
        return bytes(out[:size])
    return rng.randbytes(size)


def make_versions(rng):
    """Old and new content of every product file, by name."""
    old, new = {}, {}
    for i in range(SMALL):
        name = 's%03d.dat' % i
        old[name] = content(rng, rng.randint(1, 40000), i % 2 == 0)
        new[name] = content(rng, rng.randint(1, 40000), i % 2 == 0)
    for i in range(LARGE):
        name = 'l%d.bin' % i
        old[name] = content(rng, LARGE_SIZE + rng.randint(0, 1 << 20), True)
        new[name] = content(rng, LARGE_SIZE + rng.randint(0, 1 << 20), True)
    return old, new


def build_installer(new, product):
    package = os.path.join(work, 'package')
    shutil.rmtree(package, ignore_errors=True)
    os.makedirs(package)
    for name, data in new.items():
        with open(os.path.join(package, name), 'wb') as out:
            out.write(data)
    names = sorted(new)
    # The large files among the small ones, so that kills land in both.
    lines = ['[Main]', 'Set dir="%s"' % winpath(product), 'SetWorkDir dir', 'SetBackupDir bk=Backup',
             'InstallFiles Files', '', '[Files]'] + ['File ' + n for n in names]
    with open(os.path.join(package, 'ORQSCRIP.OSC'), 'wb') as out:
        out.write('\r\n'.join(lines).encode() + b'\r\n')
    installer = os.path.join(work, 'update.exe')
    subprocess.run([omnipack, 'build', '--main', package, '-o', installer], check=True,
                   stdout=subprocess.DEVNULL)
    return installer


def reset_product(product, old):
    shutil.rmtree(product, ignore_errors=True)
    os.makedirs(product)
    for name, data in old.items():
        with open(os.path.join(product, name), 'wb') as out:
            out.write(data)


def digest(path):
    with open(path, 'rb') as f:
        return hashlib.sha1(f.read()).digest()


def count_lines(log, marker):
    try:
        with open(log, 'rb') as f:
            return f.read().count(marker)
    except OSError:
        return 0


def run_installer(installer, log, moment=None):
    """Runs the update; with a moment, kills it there. Returns the exit code (None when killed)."""
    if os.path.exists(log):
        os.remove(log)
    process = subprocess.Popen([wine_run, installer, '/S', '/LOGFILE', winpath(log)],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if moment is None:
        return process.wait(timeout=600)
    kind, value = moment
    deadline = time.monotonic() + 300
    while process.poll() is None and time.monotonic() < deadline:
        if kind == 'delay' and time.monotonic() >= value:
            break
        if kind != 'delay' and count_lines(log, kind) >= value:
            break
        time.sleep(0.002)
    if process.poll() is not None:
        return process.returncode
    process.send_signal(signal.SIGKILL)
    process.wait()
    return None


def main():
    rng = random.Random(SEED)
    os.makedirs(work, exist_ok=True)
    product = os.path.join(work, 'product')
    backups = os.path.join(product, 'Backup')
    log = os.path.join(work, 'run.log')
    old, new = make_versions(rng)
    old_digest = {n: hashlib.sha1(d).digest() for n, d in old.items()}
    new_digest = {n: hashlib.sha1(d).digest() for n, d in new.items()}
    installer = build_installer(new, product)

    # How long a whole run takes, for the random moments.
    reset_product(product, old)
    start = time.monotonic()
    if run_installer(installer, log) != 0:
        print('kill-runs: the update does not run to its end', file=sys.stderr)
        return 1
    whole_run = time.monotonic() - start

    kills = files_checked = cut_files = cut_backups = finished_early = 0
    stale_after_rerun = lost_backups = left_temporary = 0
    for k in range(KILLS):
        reset_product(product, old)
        choice = k % 3
        if choice == 0:
            moment = (b'Replacing', rng.randint(1, len(new)))
        elif choice == 1:
            moment = (b'Backing up', rng.randint(1, len(new)))
        else:
            moment = ('delay', time.monotonic() + rng.uniform(0.2, whole_run))
        if run_installer(installer, log, moment) is not None:
            finished_early += 1
            continue
        kills += 1
        for name in new:
            files_checked += 1
            path = os.path.join(product, name)
            if not os.path.isfile(path) or digest(path) not in (old_digest[name], new_digest[name]):
                cut_files += 1
                print('  kill %d: %s is neither version' % (k, name))
        for name in os.listdir(backups) if os.path.isdir(backups) else []:
            path = os.path.join(backups, name)
            if name in old_digest and digest(path) != old_digest[name]:
                cut_backups += 1
                print('  kill %d: backup %s is not the old version' % (k, name))
        left_temporary += sum(1 for n in os.listdir(product) if n.lower().startswith('~op'))
        if run_installer(installer, log) != 0:
            stale_after_rerun += 1
            print('  kill %d: the rerun failed' % k)
            continue
        for name in new:
            if digest(os.path.join(product, name)) != new_digest[name]:
                stale_after_rerun += 1
                print('  kill %d: after the rerun %s is not new' % (k, name))
            backup = os.path.join(backups, name)
            if not os.path.isfile(backup) or digest(backup) != old_digest[name]:
                lost_backups += 1
                print('  kill %d: after the rerun the backup of %s is not the old version' % (k, name))

    print('kill-runs: %d kills (%d runs ended before their moment), %d product files checked'
          % (kills, finished_early, files_checked))
    print('kill-runs: cut or mixed files %d, cut backups %d; after the rerun: files not new %d, '
          'backups not the version from before %d' % (cut_files, cut_backups, stale_after_rerun,
                                                        lost_backups))
    print('kill-runs: unfinished new files left beside the product files by the kills: %d'
          % left_temporary)
    return 0 if kills > 0 and cut_files + cut_backups + stale_after_rerun + lost_backups == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
