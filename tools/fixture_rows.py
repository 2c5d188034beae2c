"""The text form the tests read their reference values in, shared by the fixture scripts:
'#' lines describing the columns, then one row of words a line. Imported by the scripts
beside it; needs nothing beyond the standard library.
"""

import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def fixture_writer(out_dir):
    """A write(name, header, rows) for the files of one folder under tests/data: header is a
    list of comment lines, rows a list of lists of words already formatted."""

    def write(name, header, rows):
        os.makedirs(out_dir, exist_ok=True)
        path = os.path.join(out_dir, name)
        with open(path, "w", encoding="utf-8") as f:
            for line in header:
                f.write("# " + line + "\n")
            for row in rows:
                f.write(" ".join(row) + "\n")
        print("wrote", os.path.relpath(path, ROOT), len(rows), "rows")

    return write
