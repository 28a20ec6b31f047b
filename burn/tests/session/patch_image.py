"""Patches one directory record of an ISO 9660 image file in place, found by its name.

    patch_image.py IMAGE TREE NAME FIELD VALUE
TREE: iso or joliet. NAME: the record's identifier without its version, for example "a_b.txt".
FIELD and VALUE:
    length N | past      the record-length byte (past: the last record of NAME's sector made to
                         reach beyond it; NAME itself when it is that record)
    idlength N           the identifier-length byte
    extent N             the extent, both halves
    size N               the data length, both halves
    flags N              the file-flags byte
    rename NEW           a new identifier of the same byte length
    loop                 a directory record made to point at the root's extent
"""
import struct
import sys

SECTOR = 2048


def descriptor_root(image, tree):
    for n in range(16, 40):
        d = image[n * SECTOR:(n + 1) * SECTOR]
        if d[1:6] != b"CD001" or d[0] == 255:
            break
        if (tree == "iso" and d[0] == 1) or (tree == "joliet" and d[0] == 2):
            return struct.unpack_from("<I", d, 158)[0], struct.unpack_from("<I", d, 166)[0]
    sys.exit("no %s tree" % tree)


def records(image, extent, size):
    for sector in range((size + SECTOR - 1) // SECTOR):
        base = (extent + sector) * SECTOR
        at = 0
        while at < SECTOR - 33 and image[base + at]:
            yield base + at
            at += image[base + at]


def name_of(image, at, tree):
    raw = bytes(image[at + 33:at + 33 + image[at + 32]])
    name = raw.decode("utf-16-be" if tree == "joliet" else "latin-1", "replace")
    return name.split(";")[0] if ";" in name else name


def find(image, tree, extent, size, wanted):
    for at in records(image, extent, size):
        if image[at + 32] == 1 and image[at + 33] in (0, 1):
            continue
        if name_of(image, at, tree) == wanted:
            return at
        if image[at + 25] & 2:
            found = find(image, tree, *struct.unpack_from("<I4xI", image, at + 2), wanted)
            if found is not None:
                return found
    return None


def both32(image, at, value):
    struct.pack_into("<I", image, at, value)
    struct.pack_into(">I", image, at + 4, value)


def main():
    path, tree, name, field = sys.argv[1:5]
    value = sys.argv[5] if len(sys.argv) > 5 else None
    image = bytearray(open(path, "rb").read())
    root_extent, root_size = descriptor_root(image, tree)
    at = find(image, tree, root_extent, root_size, name)
    if at is None:
        sys.exit("no record named %s" % name)
    if field == "length" and value == "past":
        base = at - at % SECTOR
        last = max(r for r in records(image, base // SECTOR, SECTOR))
        assert SECTOR - last % SECTOR < 255, "the sector's last record lies too far from its end"
        image[last] = SECTOR - last % SECTOR + 1
        print(name_of(image, last, tree))
    elif field == "length":
        image[at] = int(value)
    elif field == "idlength":
        image[at + 32] = int(value)
    elif field == "extent":
        both32(image, at + 2, int(value))
    elif field == "flags":
        image[at + 25] = int(value)
    elif field == "size":
        both32(image, at + 10, int(value))
    elif field == "rename":
        new = value.encode("utf-16-be" if tree == "joliet" else "latin-1")
        old = name.encode("utf-16-be" if tree == "joliet" else "latin-1")
        assert len(new) == len(old)
        image[at + 33:at + 33 + len(new)] = new
    elif field == "loop":
        both32(image, at + 2, root_extent)
        both32(image, at + 10, root_size)
    else:
        sys.exit("unknown field " + field)
    open(path, "wb").write(image)


main()
