#!/usr/bin/env python3
"""The layer check over small trees made for each case: a tree that follows its table
passes, and each way of breaking the table (an upward include, a sibling the table does not
name, a folder outside the table, a table whose siblings go round in a circle) fails with a
line naming the file and the rule, from a sub-folder as from its folder."""
import tempfile
import unittest
from pathlib import Path

import check_layers

TABLE = """# Layers

| Tier | Folder | May also include | Holds |
|---|---|---|---|
| 2 | `app` | | the entry |
| 1 | `install` | | the install |
| 1 | `ui` | `install` | the host |
| 0 | `base` | | helpers |
"""


class LayerCheck(unittest.TestCase):
    def setUp(self):
        self._dir = tempfile.TemporaryDirectory()
        self.src = Path(self._dir.name) / "src"
        self.src.mkdir()
        (self.src / "README.md").write_text(TABLE)
        self.write("base/text.h", "#pragma once\n")
        self.write("install/steps.cpp", '#include "base/text.h"\n#include "install/steps.h"\n')
        self.write("ui/host.cpp", '#include <windows.h>\n#include "install/steps.h"\n#include "unzip.h"\n')
        self.write("app/main.cpp", '#include "ui/host.h"\n#include "base/text.h"\n')

    def tearDown(self):
        self._dir.cleanup()

    def write(self, name, text):
        path = self.src / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)

    def test_a_tree_that_follows_its_table_passes(self):
        self.assertEqual(check_layers.check(self.src), [])

    def test_an_upward_include_fails(self):
        self.write("base/text.cpp", '#include "base/text.h"\n\n#include "install/steps.h"\n')
        problems = check_layers.check(self.src)
        self.assertEqual(len(problems), 1)
        self.assertIn("text.cpp:3: base includes install/", problems[0])
        self.assertIn("an upward include", problems[0])

    def test_a_sibling_the_table_does_not_name_fails(self):
        self.write("install/steps.h", '#include "ui/host.h"\n')
        problems = check_layers.check(self.src)
        self.assertEqual(len(problems), 1)
        self.assertIn("a sibling the table does not allow", problems[0])

    def test_a_folder_outside_the_table_fails(self):
        self.write("extra/thing.cpp", '#include "base/text.h"\n')
        self.write("base/more.cpp", '#include "extra/thing.h"\n')
        problems = check_layers.check(self.src)
        self.assertEqual(len(problems), 2)
        self.assertIn("more.cpp:1: base includes extra/: extra is not a folder of the layer table", problems[0])
        self.assertIn("extra: folder is not in the layer table", problems[1])

    def test_a_sub_folder_keeps_its_folders_row(self):
        self.write("ui/commands/start.cpp", '#include "install/steps.h"\n#include "ui/commands/start.h"\n')
        self.assertEqual(check_layers.check(self.src), [])
        self.write("base/deep/walk.cpp", '#include "ui/commands/start.h"\n')
        self.write("install/deep/step.cpp", '#include "commands/start.h"\n')
        problems = check_layers.check(self.src)
        self.assertEqual(len(problems), 2)
        self.assertIn("walk.cpp:1: base includes ui/: an upward include", problems[0])
        self.assertIn("step.cpp:1: install includes commands/: commands is not a folder", problems[1])

    def test_a_table_whose_siblings_go_round_fails(self):
        (self.src / "README.md").write_text(TABLE.replace("| 1 | `install` | |", "| 1 | `install` | `ui` |"))
        problems = check_layers.check(self.src)
        self.assertEqual(len(problems), 1)
        self.assertIn("in a circle", problems[0])

    def test_a_sibling_in_another_tier_is_no_sibling(self):
        (self.src / "README.md").write_text(TABLE.replace("| 0 | `base` | |", "| 0 | `base` | `install` |"))
        self.assertIn("in another tier", check_layers.check(self.src)[0])

    def test_a_missing_table_fails(self):
        (self.src / "README.md").unlink()
        self.assertIn("missing", check_layers.check(self.src)[0])


if __name__ == "__main__":
    unittest.main()
