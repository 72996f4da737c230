#!/usr/bin/env python3
"""The include graph's checker finds what it is there to find: trees made
for the purpose, each with one include that breaks an arrow or none."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "include_graph.py")


def check(files):
    """Runs the checker on a tree of `files` (path: text); its exit status
    and output."""
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as f:
                f.write(text)
        run = subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True)
        return run.returncode, run.stdout


BASE = {
    "core/errors.h": "#pragma once\n",
    "core/text/codepage.h": '#include "core/errors.h"\n',
    "core/table/cell_table.h": '#include "core/text/codepage.h"\n',
    "core/read/token_reader.h": '#include "core/table/cell_table.h"\n#include "core/interface/file_system.h"\n',
    "core/split/split_writer.h": '#include "core/read/token_reader.h"\n',
    "core/interface/file_system.h": '#include "byte_buffer.h"\n',
    "ui/Mainwindow1.h": '#include "core/split/split_writer.h"\n#include "system/system_services.h"\n',
    "system/system_services.h": '#include "core/text/codepage.h"\n#include "platform/win32/x.h"\n',
}


class IncludeGraphTest(unittest.TestCase):
    def test_a_tree_whose_arrows_run_one_way_passes(self):
        status, out = check(BASE)
        self.assertEqual(status, 0, out)

    def test_each_arrow_back_fails_and_is_named(self):
        cases = [
            ("core/table/cell_table.h", '#include "core/read/token_reader.h"\n',
             "core/table/cell_table.h: includes core/read/, which core/table/ may not use"),
            ("core/text/codepage.h", '#include "core/split/split_writer.h"\n',
             "core/text/codepage.h: includes core/split/, which core/text/ may not use"),
            ("core/errors.h", '#include "core/text/codepage.h"\n',
             "core/errors.h: includes core/text/, which core/ may not use"),
            ("core/read/token_reader.h", '#include "core/split/split_writer.h"\n',
             "core/read/token_reader.h: includes core/split/, which core/read/ may not use"),
            ("core/read/token_reader.h", '#include "ui/Mainwindow1.h"\n',
             "core/read/token_reader.h: includes ui/, which core/ may not use"),
            ("core/misc/thing.h", "#pragma once\n",
             "core/misc/thing.h: lies in core/misc/, which is no room of the core"),
        ]
        for path, extra, expected in cases:
            with self.subTest(path=path, extra=extra):
                files = dict(BASE)
                files[path] = files.get(path, "") + extra
                status, out = check(files)
                self.assertEqual(status, 1, out)
                self.assertIn(expected, out)


if __name__ == "__main__":
    unittest.main()
