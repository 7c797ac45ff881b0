"""Builds the Python package velmorutils with this project's CMake.

setuptools (Debian's python3-setuptools) is the build backend: its build_ext step configures the
CMake project for the interpreter that runs it, builds the module target only, with the library
linked in statically (so the wheel needs no library path and carries no other shared library of
ours), and copies the package CMake assembled into the wheel. The version is the CMake project's.

Environment: VELMORUTILS_CMAKE_ARGS adds arguments to the configure step (e.g. a compiler
launcher); CMAKE_BUILD_PARALLEL_LEVEL sets the build's jobs (default: the usable cores).
"""
import os
import re
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def cmake_version():
    text = (ROOT / "CMakeLists.txt").read_text()
    match = re.search(r"project\(\s*velmorutils\s+VERSION\s+([0-9.]+)", text)
    if not match:
        raise RuntimeError("CMakeLists.txt: no project(velmorutils VERSION x.y.z)")
    return match.group(1)


class CMakeBuild(build_ext):
    """Builds the compiled module with CMake and puts the whole package into the build."""

    def build_extension(self, ext):
        build_dir = Path(self.build_temp).resolve() / "cmake"
        build_dir.mkdir(parents=True, exist_ok=True)
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build_dir),
            "-DCMAKE_BUILD_TYPE=Release",
            f"-DPython_EXECUTABLE={sys.executable}",
            "-DBUILD_SHARED_LIBS=OFF",
            "-DCMAKE_POSITION_INDEPENDENT_CODE=ON",
            "-DVELMORUTILS_BUILD_TESTS=OFF",
            "-DVELMORUTILS_BUILD_BENCH=OFF",
            "-DVELMORUTILS_BUILD_TOOLS=OFF",
            "-DVELMORUTILS_BUILD_PYTHON=ON",
        ] + shlex.split(os.environ.get("VELMORUTILS_CMAKE_ARGS", ""))
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(len(os.sched_getaffinity(0)))
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "velmorutils_python",
                        "-j", jobs], check=True)
        package = build_dir / "python" / "velmorutils"
        if not any(package.glob("_velmorutils*.so")):
            raise RuntimeError(f"CMake did not build the module into {package} (is pybind11-dev "
                               "installed, and python3-dev for this interpreter?)")
        target = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        target.mkdir(parents=True, exist_ok=True)
        for item in package.iterdir():
            if item.is_file():
                shutil.copy2(item, target / item.name)


setup(
    version=cmake_version(),
    packages=["velmorutils"],
    package_dir={"velmorutils": "python/package/velmorutils"},
    package_data={"velmorutils": ["*.pyi", "py.typed"]},
    ext_modules=[Extension("velmorutils._velmorutils", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": "build/setuptools"}},
    zip_safe=False,
)
