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

    TABLE = "| Name | Signature | Page | Checked |\n|---|---|---|---|\n| `UFooSubsystem::GetBar` | `int GetBar() const` | {page} | {mark} |\n"
    CODE = "int F(UFooSubsystem& S) { return S.GetBar(); }\n"

    def test_a_checked_row_needs_the_page_it_was_read_on_with_its_version(self):
        for page in ("", "Runtime/Foo/UFooSubsystem/GetBar", "no reference page found"):
            with self.subTest(page=page):
                result = run(self.make_tree(self.CODE, self.TABLE.format(page=page, mark="✔")))
                self.assertEqual(result.returncode, 1)
                self.assertIn("row `UFooSubsystem::GetBar` is marked checked but names no page", result.stdout)

    def test_an_unchecked_row_names_a_page_or_says_none_was_found(self):
        result = run(self.make_tree(self.CODE, self.TABLE.format(page="Runtime/Foo/UFooSubsystem", mark="○")))
        self.assertEqual(result.returncode, 1)
        self.assertIn("does not say 'no reference page found'", result.stdout)
        for page in ("Runtime/Foo/UFooSubsystem (5.3)", "no reference page found"):
            with self.subTest(page=page):
                result = run(self.make_tree(self.CODE, self.TABLE.format(page=page, mark="○")))
                self.assertEqual(result.returncode, 0, result.stdout)

    def test_rows_read_on_a_versioned_or_current_page_pass(self):
        for page in ("Runtime/Foo/UFooSubsystem/GetBar (5.3)", "Runtime/Foo/UFooSubsystem (5.2, 5.5)", "Runtime/Foo/UFooSubsystem (current)"):
            with self.subTest(page=page):
                result = run(self.make_tree(self.CODE, self.TABLE.format(page=page, mark="✔ (GetBar)")))
                self.assertEqual(result.returncode, 0, result.stdout)

    def test_the_repository_ledger_holds_every_name_the_module_uses(self):
        result = run(SCRIPT.parents[1])
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
