#!/usr/bin/env python3
"""The API ledger check: a name the module uses from the engine must be in Engine/API.md."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-api-ledger.py"


def run(root):
    return subprocess.run([sys.executable, str(SCRIPT), str(root)], capture_output=True, text=True)


class ApiLedgerCheck(unittest.TestCase):
    def make_tree(self, module_code, ledger):
        root = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()))
        (root / "Engine" / "Source" / "Runtime" / "Foo" / "Public").mkdir(parents=True)
        (root / "Engine" / "Source" / "Runtime" / "Foo" / "Public" / "Foo.h").write_text(
            "class UFooSubsystem { public: int GetBar() const; };\n")
        (root / "Source" / "QuarnLive" / "Private").mkdir(parents=True)
        (root / "Source" / "QuarnLive" / "Private" / "Use.cpp").write_text(module_code)
        (root / "Engine" / "API.md").write_text(ledger)
        return root

    def test_an_engine_name_missing_from_the_ledger_fails_and_is_named(self):
        result = run(self.make_tree("int F(UFooSubsystem& S) { return S.GetBar(); }\n", "| `UFooSubsystem` | ... |\n"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("'GetBar'", result.stdout)
        self.assertNotIn("'UFooSubsystem'", result.stdout)

    def test_names_in_comments_and_strings_are_not_uses(self):
        code = '// GetBar\nconst char* T = "UFooSubsystem GetBar";\n/* UFooSubsystem */\n'
        self.assertEqual(run(self.make_tree(code, "")).returncode, 0)

    def test_a_ledger_holding_every_name_passes(self):
        result = run(self.make_tree("int F(UFooSubsystem& S) { return S.GetBar(); }\n", "`UFooSubsystem::GetBar`\n"))
        self.assertEqual(result.returncode, 0, result.stdout)

    def test_the_repository_ledger_holds_every_name_the_module_uses(self):
        result = run(SCRIPT.parents[1])
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
