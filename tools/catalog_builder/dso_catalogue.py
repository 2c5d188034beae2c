"""Reads stellarium-data's deep-sky catalogue (unpacked nebulae/default/catalog.dat) for
the builder's Python tools: a Qt data stream, big-endian, of a version text, an edition
text and one record per object."""
import struct

# Catalogue fields in stream order: name and kind (u32, f64, i32 or text).
FIELDS = [("id", "I"), ("ra", "d"), ("dec", "d"), ("bmag", "d"), ("vmag", "d"), ("type", "I"), ("morph", "t"),
          ("major", "d"), ("minor", "d"), ("angle", "i"), ("z", "d"), ("z_err", "d"), ("plx", "d"), ("plx_err", "d"),
          ("dist", "d"), ("dist_err", "d"),
          ("NGC", "I"), ("IC", "I"), ("M", "I"), ("C", "I"), ("B", "I"), ("Sh2", "I"), ("VdB", "I"), ("RCW", "I"),
          ("LDN", "I"), ("LBN", "I"), ("Cr", "I"), ("Mel", "I"), ("PGC", "I"), ("UGC", "I"), ("Ced", "t"),
          ("Arp", "I"), ("VV", "I"), ("PK", "t"), ("PNG", "t"), ("SNRG", "t"), ("ACO", "t"), ("HCG", "t"),
          ("ESO", "t"), ("VdBH", "t"), ("DWB", "I"), ("Tr", "I"), ("St", "I"), ("Ru", "I"), ("VdBHa", "I")]
DESIGNATIONS = [name for name, kind in FIELDS[16:]]


def read(data):
    """(header bytes, [(fields, record bytes)]); texts stripped, null texts empty."""
    at = 0

    def text():
        nonlocal at
        n = struct.unpack_from(">I", data, at)[0]
        at += 4
        if n == 0xFFFFFFFF:
            return ""
        s = data[at:at + n].decode("utf-16-be")
        at += n
        return s.strip()

    text()
    text()
    header = data[:at]
    records = []
    while at < len(data):
        start = at
        fields = {}
        for name, kind in FIELDS:
            if kind == "t":
                fields[name] = text()
            else:
                fmt = ">" + kind
                fields[name] = struct.unpack_from(fmt, data, at)[0]
                at += struct.calcsize(fmt)
        records.append((fields, data[start:at]))
    return header, records
