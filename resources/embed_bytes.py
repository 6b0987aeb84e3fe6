#!/usr/bin/env python3
"""Writes files as C++ byte arrays, so that the layout carries its pictures in the program.

Usage: embed_bytes.py OUT.cpp NAME=FILE [NAME=FILE ...]
Each NAME becomes `extern const std::uint8_t NAME[]` and `NAME_size` in namespace varnelt.
"""
import sys


def main():
    out_path, pairs = sys.argv[1], sys.argv[2:]
    lines = ["// Generated at build time from the pictures drawn by make_pictures.py.",
             "#include \"resources/layout_pictures.h\"", "", "namespace varnelt {", ""]
    for pair in pairs:
        name, path = pair.split("=", 1)
        data = open(path, "rb").read()
        lines.append("const std::uint8_t %s[] = {" % name)
        for i in range(0, len(data), 20):
            lines.append("  " + ", ".join("0x%02X" % b for b in data[i:i + 20]) + ",")
        lines.append("};")
        lines.append("const std::size_t %s_size = %d;" % (name, len(data)))
        lines.append("")
    lines.append("}  // namespace varnelt")
    with open(out_path, "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
