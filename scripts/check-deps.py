#!/usr/bin/env python3
"""Checks that every program the scripts and tests call comes from a package
that scripts/deps.sh installs, itself or as a dependency of one it lists
(recommendations do not count: the list installs without them), or from a
package that every Debian system has (essential or required). Prints what is missing and
exits 1, so that a gap in the list fails on every machine, not only on a
fresh one."""
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def deps_sh(flag):
    out = subprocess.run(["sh", os.path.join(HERE, "deps.sh"), flag], check=True,
                         capture_output=True, text=True).stdout
    return out.split()


def installed_packages():
    """name -> (depends, provides, given) for every installed package; given
    when every Debian system has it (essential, or of priority required)."""
    fmt = "${Package}\t${Status}\t${Essential}${Priority}\t${Provides}\t${Depends}, ${Pre-Depends}\n"
    out = subprocess.run(["dpkg-query", "-W", "-f=" + fmt], check=True,
                         capture_output=True, text=True).stdout
    packages = {}
    for line in out.splitlines():
        name, status, essential, provides, depends = (line.split("\t") + [""] * 5)[:5]
        if not status.endswith("installed") or "not-installed" in status:
            continue
        given = essential.startswith("yes") or essential.endswith("required")
        packages[name] = (depends, [bare(p) for p in provides.split(",") if p.strip()], given)
    return packages


def bare(relation):
    """A package name without version, architecture qualifier or blanks."""
    return re.split(r"[\s(:]", relation.strip(), maxsplit=1)[0]


def closure(roots, packages):
    """Every installed package that the roots bring with their dependencies."""
    providers = {}
    for name, (_, provides, _) in packages.items():
        for virtual in provides:
            providers.setdefault(virtual, []).append(name)
    seen, todo = set(), list(roots)
    while todo:
        name = todo.pop()
        for real in ([name] if name in packages else providers.get(name, [])):
            if real in seen:
                continue
            seen.add(real)
            for group in packages[real][0].split(","):
                # "a | b": whichever alternative is installed serves.
                todo.extend(bare(alt) for alt in group.split("|") if bare(alt))
    return seen


def owner(program):
    """The package that provides the program, following its links
    (alternatives, wrappers), or None when it is not installed."""
    candidates = []
    found = subprocess.run(["sh", "-c", 'command -v "$1"', "-", program],
                           capture_output=True, text=True).stdout.strip()
    candidates += [os.path.join(d, program) for d in ("/usr/bin", "/bin", "/usr/sbin", "/sbin")]
    if found.startswith("/"):
        candidates.append(found)
    for path in candidates:
        step = path
        for _ in range(10):
            if not os.path.lexists(step):
                break
            result = subprocess.run(["dpkg-query", "-S", step], capture_output=True, text=True)
            if result.returncode == 0:
                line = result.stdout.splitlines()[0]
                if not line.startswith("diversion"):
                    return bare(line.split(": ")[0].split(",")[0])
            if not os.path.islink(step):
                break
            step = os.path.join(os.path.dirname(step), os.readlink(step))
    return None


def main():
    listed = deps_sh("--list")
    packages = installed_packages()
    brought = closure(listed, packages)
    problems = []
    for program in deps_sh("--programs"):
        package = owner(program)
        if package is None:
            problems.append(f"{program}: not installed; add the package that provides it to scripts/deps.sh")
        elif package not in brought and not packages.get(package, ("", [], False))[2]:
            problems.append(f"{program}: comes from {package}, which scripts/deps.sh neither lists nor brings")
    for line in problems:
        print("check-deps: " + line, file=sys.stderr)
    if problems:
        return 1
    print(f"check-deps: all {len(deps_sh('--programs'))} programs come from the listed packages")
    return 0


if __name__ == "__main__":
    sys.exit(main())
