#!/usr/bin/env python3
"""Prints the system's pending file operations, one per line: "delete PATH" or "move FROM -> TO".

    pending_operations.py EXPORTED_REG_FILE

The file is the Session Manager key as "regedit /E" writes it (UTF-16); the value is read from
its hex(7) form, so that empty strings (deletions) survive.
"""
import re
import sys

text = open(sys.argv[1], 'rb').read().decode('utf-16')
match = re.search(r'"PendingFileRenameOperations"=hex\(7\):((?:[0-9a-f]{2},?\\?\s*)*)', text)
if match:
    data = bytes(int(byte, 16) for byte in re.findall(r'[0-9a-f]{2}', match.group(1)))
    strings = data.decode('utf-16-le').split('\0')
    for source, target in zip(strings[0::2], strings[1::2]):
        if not source:
            break
        print(f'delete {source}' if not target else f'move {source} -> {target}')
