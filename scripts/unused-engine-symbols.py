#!/usr/bin/env python3
"""Lists the public symbols of the headless engine that have no user.

The engine keeps to what the module, the stand-ins, the host, the benchmarks and their tests
call, and to what its modules call of each other; the engine's own tests do not count as
users. A symbol is a name declared in a Public/ header under Engine/ (function, public member,
macro, type, variable; enumerators and namespaces aside). It has a user when the name stands
as a word in a user's source, in the code the header tool generated for the plug-in's modules
(BUILD_DIR/Generated, so run this after a build), in the inline code of another engine header
(a macro or template that users expand), or in another engine module: a public header is there
for other modules, and the engine modules the plug-in's modules depend on reach it through them.
A module is Engine/Source/<Kind>/<Module>/ or Engine/Plugins/<Plugin>/Source/<Module>/; what
only its own module uses belongs in its Private/ folder or behind private access.
Names are compared, not overloads: an unused overload of a used name goes unnoticed.

Exits 1 when a symbol has no user.
"""

import collections
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD_DIR = os.path.join(ROOT, os.environ.get("BUILD_DIR", "build"))
USERS = ["Source", "Programs", "Benchmarks", "Tests", "Examples"]
ENGINE_TESTS = {"Tests/Core", "Tests/CoreUObject", "Tests/Engine", "Tests/UMG", "Tests/HeaderTool"}
# Names the language or the containers use without spelling them out.
IMPLICIT = {"begin", "end", "GetTypeHash"}
WORD = re.compile(r"\b[A-Za-z_][A-Za-z0-9_]*\b")
COMMENT = re.compile(r"//[^\n]*|/\*.*?\*/", re.S)


def source_files(folder):
	for directory, subdirectories, files in os.walk(folder):
		relative = os.path.relpath(directory, ROOT)
		subdirectories[:] = [d for d in subdirectories if os.path.join(relative, d) not in ENGINE_TESTS]
		for name in files:
			if name.endswith((".h", ".cpp", ".inl")):
				yield os.path.join(directory, name)


def words(path):
	with open(path, encoding="utf-8", errors="replace") as source:
		return WORD.findall(COMMENT.sub(" ", source.read()))


def engine_module(path):
	"""Engine/Source/<Kind>/<Module> or Engine/Plugins/<Plugin>/Source/<Module> holding path."""
	parts = os.path.relpath(path, ROOT).split(os.sep)
	length = 4 if parts[1] == "Source" else 5
	return os.sep.join(parts[:length])


def public_headers():
	engine = os.path.join(ROOT, "Engine")
	return [path for path in source_files(engine) if path.endswith(".h") and "/Public/" in path]


def declarations(headers):
	"""Name -> (declaration count, first place, declaring modules) for every public declaration."""
	output = subprocess.run(
		["ctags", "-x", "--language-force=C++", "--kinds-C++=+p-e-n-l-z-N-U-A", "--fields=+a", "--_xformat=%N\t%a\t%F:%n"] + headers,
		capture_output=True, text=True, check=True).stdout
	declared = {}
	for line in output.splitlines():
		name, access, place = line.split("\t")
		if access in ("private", "protected") or name.startswith(("operator", "~", "__anon")):
			continue
		count, first, modules = declared.get(name, (0, None, set()))
		declared[name] = (count + 1, first or os.path.relpath(place, ROOT), modules | {engine_module(place)})
	return declared


def main():
	headers = public_headers()
	declared = declarations(headers)

	used = set(IMPLICIT)
	folders = [os.path.join(ROOT, folder) for folder in USERS]
	generated = os.path.join(BUILD_DIR, "Generated")
	if os.path.isdir(generated):
		folders += [os.path.join(generated, name) for name in os.listdir(generated) if name.startswith("Quarn")]
	else:
		print(f"note: {generated} is missing; build first so that generated code counts as a user", file=sys.stderr)
	for folder in folders:
		for path in source_files(folder):
			used.update(words(path))

	# Used by an engine header's inline code more often than it is declared there.
	mentions = collections.Counter()
	for path in headers:
		mentions.update(words(path))
	# Name -> the engine modules whose sources mention it.
	users = collections.defaultdict(set)
	for path in source_files(os.path.join(ROOT, "Engine")):
		module = engine_module(path)
		for word in words(path):
			users[word].add(module)
	unused = sorted(
		name for name, (count, _, modules) in declared.items()
		if name not in used and mentions[name] <= count and not any(users[name] - {module} for module in modules))

	if "--list" in sys.argv:
		for name in unused:
			print(f"{name} {declared[name][1]}")
		return 0
	for name in unused:
		print(f"unused public engine symbol: {name} ({declared[name][1]}): remove it, make it private to its module, or use it")
	print(f"{len(unused)} public engine symbols without a user")
	return 1 if unused else 0


if __name__ == "__main__":
	sys.exit(main())
