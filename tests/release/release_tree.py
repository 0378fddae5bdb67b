#!/usr/bin/env python3
"""The release as the vendor makes it, through scripts/release.sh (registered in
cmake/release_tests.cmake). WORK is the build tree; the test's inputs and outputs sit in it:

    release_tree.py build WORK LOADER       the release-style tree: two publisher keys made here
                                            (WORK/pins/publisher.key is the first), the test
                                            double's i686 DLL as the loader; WORK/out/CorvaneSetup.exe
    release_tree.py reproduce WORK OTHER    the same release built again in OTHER: the same bytes
    release_tree.py sign WORK               the tree of `build` signed with a throw-away CA, in each
                                            way release.sh takes a key, and verified

`build` first checks that release.sh refuses a release without a pin list or a loader.
With ccache, trees as deep in the checkout as the preset's own share its cached objects.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
RELEASE_SH = REPO / "scripts" / "release.sh"
EXE = "CorvaneSetup.exe"


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def openssl(*args):
    subprocess.run(["openssl", *map(str, args)], check=True, capture_output=True, timeout=120)


def make_pin(key):
    """A new RSA key at key; the SHA-256 of its SubjectPublicKeyInfo, as README.md computes it."""
    openssl("genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out", key)
    spki = subprocess.run(["openssl", "pkey", "-in", str(key), "-pubout", "-outform", "DER"],
                          check=True, capture_output=True, timeout=60).stdout
    return hashlib.sha256(spki).hexdigest()


def release_env(work, **extra):
    """release.sh's environment for the release of work (its pins and loader, its tree)."""
    env = dict(os.environ, CORVANE_RELEASE_BUILD_DIR=str(work),
               CORVANE_PUBLISHER_KEY_SHA256=(work / "pins" / "list").read_text().strip(),
               CORVANE_WEBVIEW2_LOADER=(work / "pins" / "loader").read_text().strip())
    if shutil.which("ccache"):  # used when there, never required
        env.setdefault("CMAKE_C_COMPILER_LAUNCHER", "ccache")
        env.setdefault("CMAKE_CXX_COMPILER_LAUNCHER", "ccache")
        env.setdefault("CCACHE_BASEDIR", str(REPO))  # paths relative to the tree: shared between trees
    env.update(extra)
    return env


def release(env, *args, expect_ok=True):
    run = subprocess.run([str(RELEASE_SH), *map(str, args)], env=env, capture_output=True, text=True, timeout=1500)
    if expect_ok and run.returncode != 0:
        fail(f"release.sh {' '.join(map(str, args))} failed:\n{run.stdout[-3000:]}\n{run.stderr[-3000:]}")
    return run


def check_refused_without(work, variable, message):
    env = release_env(work, **{variable: ""})
    out = work / "refused"
    run = release(env, "--unsigned", out, expect_ok=False)
    check(run.returncode != 0 and message in run.stderr, f"without {variable}: exit {run.returncode}, {run.stderr!r}")
    check(not (out / EXE).exists() and not (work / EXE).exists(), f"without {variable}: an exe was made")


def fresh_inputs(work):
    """work's pins and out emptied, and the exe of an earlier build gone; its objects are kept."""
    for folder in ("pins", "out", "signed"):
        shutil.rmtree(work / folder, ignore_errors=True)
    (work / EXE).unlink(missing_ok=True)
    (work / "pins").mkdir(parents=True)


def build(work, loader):
    pins = work / "pins"
    fresh_inputs(work)
    (pins / "list").write_text(";".join([make_pin(pins / "publisher.key"), make_pin(pins / "second.key")]))
    (pins / "loader").write_text(str(Path(loader).resolve()))
    check_refused_without(work, "CORVANE_PUBLISHER_KEY_SHA256", "CORVANE_PUBLISHER_KEY_SHA256 is not set")
    check_refused_without(work, "CORVANE_WEBVIEW2_LOADER", "CORVANE_WEBVIEW2_LOADER is not set")
    release(release_env(work), "--unsigned", work / "out")
    check((work / "out" / EXE).is_file(), "release.sh made no exe")
    # The release path packs the loader it was given as resource 101.
    packed = (work / "resources" / "webview2_loader.lzma").read_bytes()
    check(packed in (work / "out" / EXE).read_bytes(), "the release exe embeds no loader")


def absolute_paths_in(image, folders):
    """Which of folders the image names (as ASCII/UTF-8 or UTF-16LE text)."""
    return [str(f) for f in folders if str(f).encode() in image or str(f).encode("utf-16-le") in image]


def reproduce(work, other):
    # The same release in another tree with the same inputs; neither path may show in the bytes.
    fresh_inputs(other)
    shutil.copytree(work / "pins", other / "pins", dirs_exist_ok=True)
    release(release_env(other), "--unsigned", other / "out")
    first, second = (work / "out" / EXE).read_bytes(), (other / "out" / EXE).read_bytes()
    differ = next((i for i, (a, b) in enumerate(zip(first, second)) if a != b), None)
    check(first == second, f"the two builds differ: sizes {len(first)} and {len(second)}, first difference at "
                           f"offset {differ if differ is not None else min(len(first), len(second))}")
    named = absolute_paths_in(first, [REPO, work, other])
    check(not named, f"the executable names build paths: {named}")
    sums = (work / "out" / "SHA256SUMS").read_text()
    check(sums == (other / "out" / "SHA256SUMS").read_text(), "the SHA256SUMS differ")
    print(f"identical: {sums.strip()}")


def make_ca(folder):
    """A throw-away root CA and a code-signing certificate it issued: (ca, cert, key) files."""
    ca_key, ca, key, request, cert = (folder / n for n in ("ca.key", "ca.pem", "signer.key", "signer.csr", "signer.pem"))
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", ca_key, "-out", ca, "-days", "2",
            "-subj", "/CN=Throw-away Release Test Root", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", request, "-subj", "/CN=Corvane Labs (test)")
    extensions = folder / "signer.ext"
    extensions.write_text("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n")
    openssl("x509", "-req", "-in", request, "-CA", ca, "-CAkey", ca_key, "-CAcreateserial", "-out", cert,
            "-days", "2", "-extfile", extensions)
    return ca, cert, key


def check_signed_release(out, ca, how):
    exe = out / EXE
    check(exe.is_file(), f"{how}: no signed exe")
    verify = subprocess.run(["osslsigncode", "verify", "-CAfile", str(ca), "-in", str(exe)],
                            capture_output=True, text=True, timeout=60)
    check(verify.returncode == 0, f"{how}: osslsigncode verify failed:\n{verify.stdout}{verify.stderr}")
    check("Subject: /CN=Corvane Labs (test)" in verify.stdout, f"{how}: signed by someone else:\n{verify.stdout}")
    digest = hashlib.sha256(exe.read_bytes()).hexdigest()
    check((out / "SHA256SUMS").read_text() == f"{digest}  {EXE}\n", f"{how}: SHA256SUMS does not match")


def sign(work):
    with tempfile.TemporaryDirectory(prefix="release-sign-") as folder:
        folder = Path(folder)
        ca, cert, key = make_ca(folder)
        p12 = folder / "signer.p12"
        openssl("pkcs12", "-export", "-inkey", key, "-in", cert, "-out", p12, "-passout", "pass:throw-away")
        external = folder / "hsm-sign.sh"
        external.write_text(f'#!/bin/sh\nexec osslsigncode sign -certs "{cert}" -key "{key}" -h sha256 -in "$1" -out "$2"\n')
        external.chmod(0o700)
        ways = {
            "certificate and key files": dict(CORVANE_SIGN_CERT=str(cert), CORVANE_SIGN_KEY=str(key)),
            "PKCS#12 file": dict(CORVANE_SIGN_PKCS12=str(p12), CORVANE_SIGN_PASSWORD="throw-away"),
            "external command": dict(CORVANE_SIGN_COMMAND=str(external)),
        }
        for how, inputs in ways.items():
            out = work / "signed"
            release(release_env(work, CORVANE_SIGN_CA=str(ca), **inputs), out)
            check_signed_release(out, ca, how)
        # Signing adds the certificate table and nothing else: without it, the unsigned bytes.
        unsigned = folder / "unsigned.exe"
        subprocess.run(["osslsigncode", "remove-signature", "-in", str(out / EXE), "-out", str(unsigned)],
                       check=True, capture_output=True, timeout=60)
        check(unsigned.read_bytes() == (work / "out" / EXE).read_bytes(), "the signed exe is not the built one signed")
        # A signer that is not under the given CA: the run fails and leaves no exe.
        (folder / "other").mkdir()
        other_ca, _, _ = make_ca(folder / "other")
        run = release(release_env(work, CORVANE_SIGN_CA=str(other_ca), **ways["certificate and key files"]),
                      out, expect_ok=False)
        check(run.returncode != 0 and "does not verify" in run.stderr, f"unverified signature: {run.stderr!r}")
        check(not (out / EXE).exists(), "an exe that does not verify was left")
    print("signed and verified three ways")


def main(argv):
    command, work = argv[0], Path(argv[1])
    if command == "build":
        build(work, argv[2])
    elif command == "reproduce":
        reproduce(work, Path(argv[2]))
    elif command == "sign":
        sign(work)
    else:
        fail(f"unknown command {command}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
