#!/usr/bin/env python3
"""The round-trip corpus: every file of the C++ library headers as LF and as CR LF, and files in
each encoding, with lone CR, mixed line ends, no final line end, NUL bytes. Usage: <out folder>"""
import os
import sys

base = sys.argv[1]
for d in ('lf', 'crlf', 'special'):
    os.makedirs(f'{base}/{d}', exist_ok=True)
i = 0
for root, _, files in sorted(os.walk('/usr/include/c++/12')):
    for f in sorted(files):
        data = open(os.path.join(root, f), 'rb').read()
        name = f'{i:05d}_{f}'
        i += 1
        open(f'{base}/lf/{name}', 'wb').write(data)
        open(f'{base}/crlf/{name}', 'wb').write(data.replace(b'\r\n', b'\n').replace(b'\n', b'\r\n'))
special = {
    'utf8.txt': 'caf\u00e9 \u20ac \U0001F600\r\nline\r\n'.encode(),
    'utf8bom.txt': b'\xef\xbb\xbf' + 'x = "\u00e9";\n'.encode(),
    'utf8bom-empty.txt': b'\xef\xbb\xbf',
    'utf16le.txt': b'\xff\xfe' + 'a\u00e9\U0001F600\r\n'.encode('utf-16-le'),
    'utf16be.txt': b'\xfe\xff' + 'a\u00e9\nb\n'.encode('utf-16-be'),
    'nofinal.cpp': b'int x;\r\nint y;',
    'lonecr.txt': b'a\rb\rc\r',
    'crcrlf.txt': b'a\r\r\nb\r\n',
    'mixed.txt': b'a\r\nb\nc\r\n',
    'nul.bin': b'ab\x00cd\r\n',
    'ansi.txt': b'caf\xe9 na\xefve\r\n',
    'empty.txt': b'',
    'invalid-utf8-bom.txt': b'\xef\xbb\xbfa\xffb\r\n',
}
for k, v in special.items():
    open(f'{base}/special/{k}', 'wb').write(v)
print(f'{i} library files')
