// tesselo_cases: derives the case identity table from the built-in hints and
// the standard list, and writes it where the program and the README carry it.
//
//   tesselo_cases LIST TABLE README
//     LIST    the standard cases (tools/ll-cases.csv)
//     TABLE   written afresh: the table the program embeds (resources/cases.csv)
//     README  its case table, between the marker lines, written afresh
//   Fails, writing nothing, when a hint or a standard algorithm does not
//   match exactly one case of the other side.

#include "tools/casetable.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Through a temporary file and a rename, so a failed write leaves the old file.
void WriteFile(const std::string& path, const std::string& text)
{
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush())
            throw std::runtime_error("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot replace " + path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tesselo_cases LIST TABLE README\n");
        return 2;
    }
    try {
        const auto rows = cube::DeriveCaseTable(cube::ParseStandardCases(ReadFile(argv[1])));
        const std::string readme = cube::WithReadmeCaseTable(ReadFile(argv[3]), rows);
        WriteFile(argv[2], cube::CaseTableCsv(rows));
        WriteFile(argv[3], readme);
        std::printf("tesselo_cases: %zu cases\n", rows.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tesselo_cases: %s\n", e.what());
        return 1;
    }
    return 0;
}
